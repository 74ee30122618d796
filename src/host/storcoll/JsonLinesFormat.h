// --format jsonl: one JSON object per line, for log shippers. Each line has a
// "kind": "item" (method, messageType, itemId, time, data), "error" (method,
// messageType, error), "none" (a method that found nothing: method,
// messageType) or "health" (a disk's verdict, as in the json format).
#pragma once

#include "OutputFormat.h"

namespace Storcoll {

void PrintJsonLines(const Report& report, const OutputOptions& options, std::ostream& out);

}  // namespace Storcoll
