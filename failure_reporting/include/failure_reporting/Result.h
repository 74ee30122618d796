// The checks of the native layer. Each records the source location of the
// check; the raising forms never return.
//
//   RAISE_HR(hr)            raise the given HRESULT
//   RAISE_LAST_ERROR()      raise GetLastError() as an HRESULT
//   RAISE_IF_FAILED(hr)     raise hr when it is a failure, else yield it
//   LOG_HR(hr)              report hr as a failure without raising
#pragma once

#include "failure_reporting/ResultException.h"

#ifndef STORCOLL_MODULE_NAME
#define STORCOLL_MODULE_NAME "storcoll"
#endif

namespace Talvex::Quorlin::Cpp::Common::Result {

struct CheckSite {
    const char* File;
    unsigned int Line;
    const char* Module;
};

[[noreturn]] void RaiseHr(const CheckSite& site, HRESULT hr);
[[noreturn]] void RaiseLastError(const CheckSite& site);
HRESULT RaiseIfFailed(const CheckSite& site, HRESULT hr);
void LogHr(const CheckSite& site, HRESULT hr) noexcept;

// The number of failures reported so far by this module, of one type.
std::uint32_t FailureCount(FailureType type) noexcept;

}  // namespace Talvex::Quorlin::Cpp::Common::Result

#define STORCOLL_CHECK_SITE \
    ::Talvex::Quorlin::Cpp::Common::Result::CheckSite { __FILE__, static_cast<unsigned int>(__LINE__), STORCOLL_MODULE_NAME }
#define RAISE_HR(hr) ::Talvex::Quorlin::Cpp::Common::Result::RaiseHr(STORCOLL_CHECK_SITE, (hr))
#define RAISE_LAST_ERROR() ::Talvex::Quorlin::Cpp::Common::Result::RaiseLastError(STORCOLL_CHECK_SITE)
#define RAISE_IF_FAILED(hr) ::Talvex::Quorlin::Cpp::Common::Result::RaiseIfFailed(STORCOLL_CHECK_SITE, (hr))
#define LOG_HR(hr) ::Talvex::Quorlin::Cpp::Common::Result::LogHr(STORCOLL_CHECK_SITE, (hr))
