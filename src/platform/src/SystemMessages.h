// Windows' US-English system message texts for the statuses the system can
// raise, as FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM) gives them.
#pragma once

#include <optional>
#include <string_view>

#include "platform/Win32.h"

namespace platform {

std::optional<std::wstring_view> SystemMessage(DWORD messageId);

}  // namespace platform
