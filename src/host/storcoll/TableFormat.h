// --format table: a report for people. One section per collection method,
// each laid out for its data type, then the health verdict of every disk.
#pragma once

#include "OutputFormat.h"

namespace Storcoll {

void PrintTable(const Report& report, const OutputOptions& options, std::ostream& out);

}  // namespace Storcoll
