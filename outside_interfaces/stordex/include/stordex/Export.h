// Symbol visibility of the device query library.
//
// STORDEX_API marks the library's exported functions. The library's own
// target defines STORDEX_BUILDING_LIBRARY (CMake's stordex_EXPORTS is taken as
// the same) so that Windows exports them and every user imports them; define
// STORDEX_STATIC when linking the library statically on Windows.
//
// STORDEX_INTERFACE marks the abstract interfaces. They have no out-of-line
// member, so every shared object emits its own copy of their type
// information; keeping that visible lets the dynamic linker merge the copies,
// which a dynamic_cast across the library boundary needs even when the
// library hides its other symbols.
#pragma once

#if defined(_WIN32)
#if defined(STORDEX_STATIC)
#define STORDEX_API
#elif defined(STORDEX_BUILDING_LIBRARY) || defined(stordex_EXPORTS)
#define STORDEX_API __declspec(dllexport)
#else
#define STORDEX_API __declspec(dllimport)
#endif
#define STORDEX_INTERFACE
#else
#define STORDEX_API __attribute__((visibility("default")))
#define STORDEX_INTERFACE __attribute__((visibility("default")))
#endif
