// Whether a test of the Windows build runs under Wine rather than Windows, for
// the few answers in which Wine is known to differ from Windows.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

inline bool RunningUnderWine()
{
#ifdef _WIN32
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}
