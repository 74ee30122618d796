// Kernel32 and CRT entry points of the Linux build.
#include <unistd.h>
#include <sys/syscall.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <cwctype>
#include <string>

#include "CodePages.h"
#include "SystemMessages.h"
#include "platform/Machine.h"
#include "platform/Win32.h"

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;

int Fail(DWORD error)
{
    t_lastError = error;
    return 0;
}

// Copies `count` converted units to the caller's buffer, or only counts them
// when the buffer has no room declared (count query).
template <typename Unit, typename Source>
int Deliver(const Source& converted, Unit* out, int capacity)
{
    if (converted.size() > static_cast<std::size_t>(INT_MAX)) return Fail(ERROR_ARITHMETIC_OVERFLOW);
    const int needed = static_cast<int>(converted.size());
    if (capacity == 0) return needed;
    if (needed > capacity) return Fail(ERROR_INSUFFICIENT_BUFFER);
    for (int i = 0; i < needed; ++i) out[i] = static_cast<Unit>(converted[i]);
    return needed;
}

}  // namespace

DWORD GetLastError() { return t_lastError; }
void SetLastError(DWORD error) { t_lastError = error; }

UINT GetACP() { return platform::CurrentMachine().AnsiCodePage(); }
UINT GetOEMCP() { return 437; }

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCCH multiByte, int multiByteCount, LPWSTR wide,
                        int wideCount)
{
    if (multiByte == nullptr || multiByteCount == 0 || multiByteCount < -1 || wideCount < 0 ||
        (wide == nullptr && wideCount != 0) || (wide != nullptr && static_cast<const void*>(wide) == multiByte))
        return Fail(ERROR_INVALID_PARAMETER);
    const auto page = platform::codepages::Resolve(codePage);
    if (!page) return Fail(ERROR_INVALID_PARAMETER);
    const DWORD allowed = *page == CP_UTF8 ? MB_ERR_INVALID_CHARS : (MB_ERR_INVALID_CHARS | MB_PRECOMPOSED);
    if ((flags & ~allowed) != 0) return Fail(ERROR_INVALID_FLAGS);

    const std::size_t count = multiByteCount == -1 ? std::strlen(multiByte) + 1 : static_cast<std::size_t>(multiByteCount);
    const auto decoded = platform::codepages::Decode(*page, multiByte, count);
    if (decoded.invalid && (flags & MB_ERR_INVALID_CHARS) != 0) return Fail(ERROR_NO_UNICODE_TRANSLATION);
    return Deliver(decoded.text, wide, wideCount);
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH wide, int wideCount, LPSTR multiByte,
                        int multiByteCount, LPCCH defaultChar, LPBOOL usedDefaultChar)
{
    if (wide == nullptr || wideCount == 0 || wideCount < -1 || multiByteCount < 0 ||
        (multiByte == nullptr && multiByteCount != 0))
        return Fail(ERROR_INVALID_PARAMETER);
    const auto page = platform::codepages::Resolve(codePage);
    if (!page) return Fail(ERROR_INVALID_PARAMETER);
    // UTF-8 has no default character; since Windows 10 1709 passing one, or
    // asking whether it was used, is accepted and changes nothing.
    const bool utf8 = *page == CP_UTF8;
    if (utf8) {
        if ((flags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS)) != 0) return Fail(ERROR_INVALID_FLAGS);
    } else if ((flags & ~static_cast<DWORD>(WC_NO_BEST_FIT_CHARS)) != 0) {
        return Fail(ERROR_INVALID_FLAGS);
    }

    const std::size_t count = wideCount == -1 ? std::wcslen(wide) + 1 : static_cast<std::size_t>(wideCount);
    std::u32string points(count, U'\0');
    for (std::size_t i = 0; i < count; ++i) points[i] = static_cast<char32_t>(wide[i]);
    const auto encoded = platform::codepages::Encode(*page, points.data(), points.size(),
                                                     defaultChar != nullptr && !utf8 ? *defaultChar : '?');
    if (encoded.invalid && (flags & WC_ERR_INVALID_CHARS) != 0) return Fail(ERROR_NO_UNICODE_TRANSLATION);
    const int result = Deliver(encoded.bytes, multiByte, multiByteCount);
    if (result != 0 && usedDefaultChar != nullptr) *usedDefaultChar = encoded.usedDefault ? TRUE : FALSE;
    return result;
}

DWORD FormatMessageW(DWORD flags, LPCVOID, DWORD messageId, DWORD, LPWSTR buffer, DWORD size, va_list*)
{
    // Only system message texts are kept; the system never asks for others.
    if ((flags & FORMAT_MESSAGE_FROM_SYSTEM) == 0 || (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0 ||
        buffer == nullptr)
        return static_cast<DWORD>(Fail(ERROR_INVALID_PARAMETER));
    const auto text = platform::SystemMessage(messageId);
    if (!text) return static_cast<DWORD>(Fail(ERROR_MR_MID_NOT_FOUND));
    if (text->size() + 1 > size) return static_cast<DWORD>(Fail(ERROR_INSUFFICIENT_BUFFER));
    std::wmemcpy(buffer, text->data(), text->size());
    buffer[text->size()] = L'\0';
    return static_cast<DWORD>(text->size());
}

void OutputDebugStringW(LPCWSTR text)
{
    if (text != nullptr) platform::CurrentMachine().DebugOutput(text);
}

BOOL IsDebuggerPresent() { return platform::CurrentMachine().DebuggerAttached() ? TRUE : FALSE; }

DWORD GetCurrentThreadId() { return static_cast<DWORD>(::syscall(SYS_gettid)); }

long long _wtoi64(const wchar_t* text)
{
    // The CRT's reading: leading blanks, an optional sign, the longest run of
    // digits; past the range it saturates.
    if (text == nullptr) return 0;
    while (std::iswspace(static_cast<wint_t>(*text))) ++text;
    bool negative = false;
    if (*text == L'+' || *text == L'-') negative = *text++ == L'-';
    unsigned long long magnitude = 0;
    bool overflow = false;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        const unsigned digit = static_cast<unsigned>(*text - L'0');
        if (magnitude > (ULLONG_MAX - digit) / 10)
            overflow = true;
        else
            magnitude = magnitude * 10 + digit;
    }
    if (negative) {
        if (overflow || magnitude > static_cast<unsigned long long>(LLONG_MAX) + 1) return LLONG_MIN;
        return static_cast<long long>(0 - magnitude);
    }
    if (overflow || magnitude > static_cast<unsigned long long>(LLONG_MAX)) return LLONG_MAX;
    return static_cast<long long>(magnitude);
}
