// --format json: one document,
//   {"collections": [{"method", "messageType", "items": [...] | null} |
//                    {"method", "messageType", "error": {...}}, ...],
//    "health": [{"itemId", "verdict", "reasons", ...}, ...]}
#pragma once

#include "ItemJson.h"
#include "OutputFormat.h"

namespace Storcoll {

// A method's entry in "collections".
Json MethodToJson(const MethodOutcome& outcome, bool protoJson);

void PrintJson(const Report& report, const OutputOptions& options, std::ostream& out);

}  // namespace Storcoll
