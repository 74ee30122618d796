#include "Common/Utilities.h"

#include <climits>

#include "failure_reporting/Result.h"
#include "platform/Win32.h"

namespace Talvex::Quorlin::Cpp::Common {

namespace {

int CheckedLength(std::size_t length)
{
    if (length > static_cast<std::size_t>(INT_MAX)) RAISE_HR(HRESULT_FROM_WIN32(ERROR_ARITHMETIC_OVERFLOW));
    return static_cast<int>(length);
}

}  // namespace

std::string WideToUtf8(const wchar_t* text, std::size_t length)
{
    if (length == 0) return {};
    const int count = CheckedLength(length);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, count, nullptr, 0, nullptr, nullptr);
    if (bytes == 0) RAISE_LAST_ERROR();
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    if (WideCharToMultiByte(CP_UTF8, 0, text, count, utf8.data(), bytes, nullptr, nullptr) == 0) RAISE_LAST_ERROR();
    return utf8;
}

std::string WideToUtf8(const std::wstring& text) { return WideToUtf8(text.data(), text.size()); }

std::wstring Utf8ToWide(const std::string& text)
{
    if (text.empty()) return {};
    const int count = CheckedLength(text.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), count, nullptr, 0);
    if (units == 0) RAISE_LAST_ERROR();
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    if (MultiByteToWideChar(CP_UTF8, 0, text.data(), count, wide.data(), units) == 0) RAISE_LAST_ERROR();
    return wide;
}

std::string WideToUtf8OrEmpty(const std::wstring& text) noexcept
{
    try {
        return WideToUtf8(text);
    } catch (...) {
        return {};
    }
}

std::wstring Utf8ToWideOrEmpty(const std::string& text) noexcept
{
    try {
        return Utf8ToWide(text);
    } catch (...) {
        return {};
    }
}

}  // namespace Talvex::Quorlin::Cpp::Common
