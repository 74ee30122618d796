#include "failure_reporting/FailureText.h"

#include <fmt/xchar.h>

#include <array>
#include <cstdint>
#include <cstring>

namespace Talvex::Quorlin::Cpp::Common {

namespace {

constexpr DWORD kSystemMessageFlags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;  // 0x1200
constexpr DWORD kUserDefaultLanguage = 0x400;
constexpr DWORD kSystemMessageCapacity = 256;

// Source files and module names are narrow texts of the ANSI code page.
std::wstring Widen(const char* text)
{
    const int length = static_cast<int>(std::strlen(text));
    if (length == 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    const int written = MultiByteToWideChar(CP_ACP, 0, text, length, wide.data(), length);
    if (written <= 0) return std::wstring(text, text + length);
    wide.resize(static_cast<std::size_t>(written));
    return wide;
}

std::wstring SystemMessageText(HRESULT hr)
{
    std::array<wchar_t, kSystemMessageCapacity> buffer{};
    const DWORD length = FormatMessageW(kSystemMessageFlags, nullptr, static_cast<DWORD>(hr), kUserDefaultLanguage,
                                        buffer.data(), kSystemMessageCapacity, nullptr);
    return std::wstring(buffer.data(), length);
}

std::uintptr_t Address(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer); }

}  // namespace

std::wstring_view FailureTypeWord(FailureType type) noexcept
{
    switch (type) {
    case FailureType::Exception: return L"Exception";
    case FailureType::ReturnHr: return L"ReturnHr";
    case FailureType::ReturnNt: return L"ReturnNt";
    case FailureType::LogHr: return L"LogHr";
    case FailureType::LogNt: return L"LogNt";
    case FailureType::FailFast: return L"FailFast";
    }
    return L"Exception";
}

std::wstring FormatFailureText(const FailureInfo& failure)
{
    std::wstring text;
    const std::wstring module = Widen(failure.Module != nullptr ? failure.Module : "");
    if (failure.File != nullptr) {
        text += fmt::format(L"{}({})\\{}!{:016X}: ", Widen(failure.File), failure.Line, module,
                            Address(failure.ReturnAddress));
    } else {
        text += fmt::format(L"{}!{:016X}: ", module, Address(failure.ReturnAddress));
    }
    if (failure.CallerReturnAddress != nullptr)
        text += fmt::format(L"(caller: {:016X}) ", Address(failure.CallerReturnAddress));
    text += fmt::format(L"{}({}) tid({:x}) {:08X} {}", FailureTypeWord(failure.Type), failure.FailureCount,
                        failure.ThreadId, static_cast<std::uint32_t>(failure.Hr), SystemMessageText(failure.Hr));
    // The checks record no message, call context or function, so the line
    // ends with the system text.
    if (text.size() > kMaxFailureTextLength) text.resize(kMaxFailureTextLength);
    return text;
}

std::string NarrowFailureText(std::wstring_view text)
{
    if (text.empty()) return {};
    const int wideLength = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, narrow.data(), needed, nullptr, nullptr);
    if (narrow.size() > kMaxWhatLength) narrow.resize(kMaxWhatLength);
    return narrow;
}

}  // namespace Talvex::Quorlin::Cpp::Common
