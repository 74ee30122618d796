// What the table format's sections share: how they name a disk, size and
// counter texts, and the way a section starts.
#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <string>

#include <google/protobuf/wrappers.pb.h>

#include "HexCounter.h"
#include "OutputFormat.h"
#include "TextTable.h"

namespace Storcoll {

// How the table names each disk: "DISK0" from the disk's static info when it
// was collected, else the item id.
class DiskLabels {
public:
    explicit DiskLabels(const Report& report);
    std::string Label(const std::string& itemId) const;

private:
    std::map<std::string, std::string> m_labels;
};

// Everything a section printer needs besides its items.
struct TableContext {
    const Storcoll::Report& Report;
    const OutputOptions& Options;
    const DiskLabels& Labels;
    std::ostream& Out;
};

// A byte count in decimal units as drives are sold: "512.1 GB", "2.0 TB".
std::string SizeText(Counter128 bytes);

// A wrapper's value as text, "-" when unset.
template <class Wrapper>
std::string ValueText(bool set, const Wrapper& wrapper)
{
    return set ? std::to_string(wrapper.value()) : "-";
}

// A line of text above a table, indented like the tables.
void Subheading(const TableContext& context, const std::string& text);

}  // namespace Storcoll
