#include "CommonCLI/HostText.h"

#include <climits>
#include <cstring>

#include "kvr/Exceptions.h"
#include "platform/Win32.h"

namespace Talvex::Quorlin::Cpp::Common {

namespace {

constexpr const char* kConversionFailed =
    "Conversion from MultiByte to WideChar failed.  Please check the content of the string and/or locale settings.";
constexpr const char* kTooLong = "Size of string exceeds INT_MAX.";

std::string ToUtf8(const std::wstring& wide)
{
    if (wide.empty()) return {};
    const int length = static_cast<int>(wide.size());
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

// Decodes `length` bytes; false when the code page refuses them.
bool Decode(UINT codePage, DWORD flags, const char* text, int length, std::wstring& wide)
{
    const int units = MultiByteToWideChar(codePage, flags, text, length, nullptr, 0);
    if (units <= 0) return false;
    wide.assign(static_cast<std::size_t>(units), L'\0');
    return MultiByteToWideChar(codePage, flags, text, length, wide.data(), units) == units;
}

}  // namespace

std::string MarshalToHostText(std::string_view text)
{
    if (text.empty()) return {};
    if (text.size() > static_cast<std::size_t>(INT_MAX)) throw Kvr::ArgumentOutOfRangeException(kTooLong);
    std::wstring wide;
    if (!Decode(CP_THREAD_ACP, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), wide))
        throw Kvr::ArgumentException(kConversionFailed);
    return ToUtf8(wide);
}

std::string HostTextFromAnsi(const char* text)
{
    if (text == nullptr || *text == '\0') return {};
    const std::size_t length = std::strlen(text);
    std::wstring wide;
    if (length > static_cast<std::size_t>(INT_MAX) ||
        !Decode(CP_ACP, 0, text, static_cast<int>(length), wide))
        return {};
    return ToUtf8(wide);
}

}  // namespace Talvex::Quorlin::Cpp::Common
