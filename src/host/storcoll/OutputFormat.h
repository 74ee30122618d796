// The output formats of `storcoll collect`, as one table: a format is a name,
// a line of help and a function that prints a whole report. A new format is
// one more entry in OutputFormats() (OutputFormat.cpp) and a file of its own.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Collection.h"
#include "Health.h"

namespace Storcoll {

// Everything a collect run has to show.
struct Report {
    std::vector<MethodOutcome> Outcomes;
    std::vector<DiskHealth> Health;
};

// How the output may look.
struct OutputOptions {
    bool ProtoJson = false;  // protobuf's canonical JSON mapping for the messages (bytes as base64)
    bool Color = false;      // ANSI colours: only on a terminal, and never with NO_COLOR set
    int Width = 80;          // terminal columns the table keeps within
};

using PrintReport = void (*)(const Report& report, const OutputOptions& options, std::ostream& out);

struct OutputFormat {
    std::string_view Name;  // what --format takes
    std::string_view Help;
    PrintReport Print;
};

std::span<const OutputFormat> OutputFormats();

// The format of this name, or null.
const OutputFormat* FindOutputFormat(std::string_view name);

// "table, json, jsonl"
std::string OutputFormatNames();

}  // namespace Storcoll
