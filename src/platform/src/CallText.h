// How the platform writes a COM or WMI call for Machine::NoteComCall: the
// function, then its arguments as C would show them (NULL, decimal numbers,
// hexadecimal flags, quoted texts, GUIDs in braces).
#pragma once

#include <cstdio>
#include <string>

#include "platform/Win32.h"

namespace platform::calltext {

inline std::string Pointer(const void* pointer) { return pointer == nullptr ? "NULL" : "ptr"; }

inline std::string Hex(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
    return text;
}

// A text in double quotes, characters outside ASCII as '?'; NULL for none.
inline std::string Quoted(const wchar_t* text)
{
    if (text == nullptr) return "NULL";
    std::string quoted = "\"";
    for (; *text != L'\0'; ++text) quoted += (*text > 0 && *text < 0x7F) ? static_cast<char>(*text) : '?';
    return quoted + "\"";
}

inline std::string Guid(const GUID& guid)
{
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

}  // namespace platform::calltext
