// Any text as a WQL query, read as the WMI service reads it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Wql.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Each byte pair is one UTF-16 code unit, as the service receives text.
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    const platform::wql::Select select = platform::wql::ReadSelect(text);
    if (SUCCEEDED(select.result) && select.className.empty()) __builtin_trap();
    return 0;
}
