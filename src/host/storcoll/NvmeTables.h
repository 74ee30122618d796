// The table format's sections for the NVMe data types: the health log and the
// identify controller data, field by field in units a person reads.
#pragma once

#include <span>

#include "TableText.h"

namespace Storcoll {

void PrintNvmeHealth(const TableContext& context, std::span<const Kvr::GenericItem> items);
void PrintNvmeIdentify(const TableContext& context, std::span<const Kvr::GenericItem> items);

}  // namespace Storcoll
