# Cross build for Windows x64 with Debian's MinGW-w64 (POSIX threads variant);
# the programs and tests it produces run under Wine.
#
#   scripts/windows/setup-deps.sh     # once: compiler, Wine, cross-built deps
#   cmake -S . -B build-win -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64.cmake
#
# The cross-built dependencies come from STORCOLL_WIN_DEPS (a -D value or the
# environment variable; default /var/cache/storcoll-win).

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(STORCOLL_MINGW_TRIPLE x86_64-w64-mingw32)
# The -posix compilers: the -win32 ones lack std::thread and std::mutex.
set(CMAKE_C_COMPILER ${STORCOLL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${STORCOLL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${STORCOLL_MINGW_TRIPLE}-windres)

if(NOT STORCOLL_WIN_DEPS)
  if(DEFINED ENV{STORCOLL_WIN_DEPS} AND NOT "$ENV{STORCOLL_WIN_DEPS}" STREQUAL "")
    set(STORCOLL_WIN_DEPS "$ENV{STORCOLL_WIN_DEPS}")
  else()
    set(STORCOLL_WIN_DEPS /var/cache/storcoll-win)
  endif()
endif()
# try_compile projects read this file again; hand the choice on to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES STORCOLL_WIN_DEPS)

# Libraries, headers and package files come only from the MinGW sysroot and
# the cache; the host's /usr/include and /usr/lib are never seen. Programs are
# looked up on the host, which is how the host's protoc generates the code.
set(CMAKE_FIND_ROOT_PATH
  /usr/${STORCOLL_MINGW_TRIPLE}
  ${STORCOLL_WIN_DEPS}/protobuf
  ${STORCOLL_WIN_DEPS}/googletest
  ${STORCOLL_WIN_DEPS}/headers)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The GCC runtime (libgcc, libstdc++, winpthread) is linked statically into
# every .exe and .dll, so no MinGW runtime DLL has to be copied next to them or
# found by Wine, and the plug-in DLL brings no runtime of its own along. x64
# unwinds with SEH tables and libstdc++ compares type_info by name on Windows,
# so exceptions still cross DLL boundaries; all modules allocate through the
# same msvcrt.dll, so memory may be freed by a module other than the one that
# allocated it. (The cross-built protobuf, by contrast, is a DLL on purpose:
# see scripts/windows/setup-deps.sh.)
#
# A DLL without __declspec(dllexport) exports every symbol it holds, the static
# runtime's and protobuf's included; a program linking two such DLLs then sees
# `_Unwind_Resume` and friends twice. --exclude-libs,ALL keeps what comes from
# static archives private to each DLL, so a DLL exports only its own code.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -Wl,--exclude-libs,ALL")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -Wl,--exclude-libs,ALL")

# Windows has no rpath: a program finds the DLLs it links only beside itself
# (or on PATH). Every .exe and .dll of the build therefore goes to one folder,
# unless the project chose one itself.
if(NOT DEFINED CMAKE_RUNTIME_OUTPUT_DIRECTORY)
  set(CMAKE_RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bin")
endif()

# ctest and gtest_discover_tests run the .exe files through Wine, in the
# prefix that scripts/windows/wine-env.sh prepares, with the cache's DLLs on
# Wine's PATH.
get_filename_component(_storcoll_scripts "${CMAKE_CURRENT_LIST_DIR}/../scripts/windows" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR
  /usr/bin/env "STORCOLL_WIN_DEPS=${STORCOLL_WIN_DEPS}" "${_storcoll_scripts}/wine-run.sh")
unset(_storcoll_scripts)
