#include "SystemMessages.h"

#include <array>
#include <utility>

namespace platform {

namespace {

// Win32 error codes; HRESULTs of the Win32 facility share these texts.
constexpr std::array<std::pair<DWORD, std::wstring_view>, 32> kWin32Messages{{
    {0, L"The operation completed successfully.\r\n"},
    {1, L"Incorrect function.\r\n"},
    {2, L"The system cannot find the file specified.\r\n"},
    {3, L"The system cannot find the path specified.\r\n"},
    {5, L"Access is denied.\r\n"},
    {6, L"The handle is invalid.\r\n"},
    {8, L"Not enough memory resources are available to process this command.\r\n"},
    {13, L"The data is invalid.\r\n"},
    {14, L"Not enough memory resources are available to complete this operation.\r\n"},
    {21, L"The device is not ready.\r\n"},
    {22, L"The device does not recognize the command.\r\n"},
    {23, L"Data error (cyclic redundancy check).\r\n"},
    {31, L"A device attached to the system is not functioning.\r\n"},
    {32, L"The process cannot access the file because it is being used by another process.\r\n"},
    {50, L"The request is not supported.\r\n"},
    {87, L"The parameter is incorrect.\r\n"},
    {121, L"The semaphore timeout period has expired.\r\n"},
    {122, L"The data area passed to a system call is too small.\r\n"},
    {123, L"The filename, directory name, or volume label syntax is incorrect.\r\n"},
    {234, L"More data is available.\r\n"},
    {259, L"No more data is available.\r\n"},
    {534, L"Arithmetic result exceeded 32 bits.\r\n"},
    {668, L"An assertion failure has occurred.\r\n"},
    {1004, L"Invalid flags.\r\n"},
    {1113, L"No mapping for the Unicode character exists in the target multi-byte code page.\r\n"},
    {1117, L"The request could not be performed because of an I/O device error.\r\n"},
    {1167, L"The device is not connected.\r\n"},
    {1168, L"Element not found.\r\n"},
    {1784, L"The supplied user buffer is not valid for the requested operation.\r\n"},
    {1785, L"The disk media is not recognized. It may not be formatted.\r\n"},
    {1460, L"This operation returned because the timeout period expired.\r\n"},
    {1450, L"Insufficient system resources exist to complete the requested service.\r\n"},
}};

// HRESULTs outside the Win32 facility.
constexpr std::array<std::pair<DWORD, std::wstring_view>, 14> kHresultMessages{{
    {0x80004001, L"Not implemented\r\n"},
    {0x80004002, L"No such interface supported\r\n"},
    {0x80004003, L"Invalid pointer\r\n"},
    {0x80004004, L"Operation aborted\r\n"},
    {0x80004005, L"Unspecified error\r\n"},
    {0x8000FFFF, L"Catastrophic failure\r\n"},
    {0x80010106, L"Cannot change thread mode after it is set.\r\n"},
    {0x80010119,
     L"Security must be initialized before any interfaces are marshalled or unmarshalled. It cannot be changed "
     L"once initialized.\r\n"},
    {0x800401F0, L"CoInitialize has not been called.\r\n"},
    {0x80040154, L"Class not registered\r\n"},
    {0x80040110, L"Class does not support aggregation (or class object is remote)\r\n"},
    {0x8002000B, L"Invalid index.\r\n"},
    {0x80020005, L"Type mismatch.\r\n"},
    {0x80020008, L"Bad variable type.\r\n"},
}};

template <std::size_t N>
std::optional<std::wstring_view> Find(const std::array<std::pair<DWORD, std::wstring_view>, N>& table, DWORD id)
{
    for (const auto& [code, text] : table)
        if (code == id) return text;
    return std::nullopt;
}

}  // namespace

std::optional<std::wstring_view> SystemMessage(DWORD messageId)
{
    if (messageId <= 0xFFFF) return Find(kWin32Messages, messageId);
    if ((messageId & 0xFFFF0000u) == 0x80070000u) return Find(kWin32Messages, messageId & 0xFFFF);
    return Find(kHresultMessages, messageId);
}

}  // namespace platform
