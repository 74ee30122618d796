// --format prom: a collect run as Prometheus metrics (PromMetrics.h), the
// health verdicts included.
#pragma once

#include <ostream>
#include <string>

#include "OutputFormat.h"

namespace Storcoll {

std::string PromText(const Report& report);

void PrintProm(const Report& report, const OutputOptions& options, std::ostream& out);

}  // namespace Storcoll
