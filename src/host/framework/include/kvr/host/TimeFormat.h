// Time stamps as the host writes them: ISO 8601, UTC, milliseconds,
// "2026-12-06T02:00:00.123Z".
#pragma once

#include <string>

#include "kvr/DatatypeItem.h"

namespace Kvr::Host {

std::string FormatUtcTime(CollectionTime time);

}  // namespace Kvr::Host
