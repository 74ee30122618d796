#include "failure_reporting/Result.h"

#include <array>
#include <atomic>
#include <cstdlib>

#include "failure_reporting/FailureText.h"

namespace Talvex::Quorlin::Cpp::Common::Result {

namespace {

std::atomic<std::uint32_t> g_failureSequence{0};
std::array<std::atomic<std::uint32_t>, kFailureTypes> g_failureCounts{};

std::atomic<std::uint32_t>& CountOf(FailureType type) { return g_failureCounts[static_cast<std::size_t>(type)]; }

// Numbers the failure, counts it under its type and writes its line to the
// debugger output when a debugger is attached.
void Publish(FailureInfo& failure) noexcept
{
    failure.FailureId = g_failureSequence.fetch_add(1) + 1;
    failure.FailureCount = CountOf(failure.Type).fetch_add(1) + 1;
    failure.ThreadId = GetCurrentThreadId();
    if (IsDebuggerPresent()) {
        try {
            OutputDebugStringW(FormatFailureText(failure).c_str());
        } catch (...) {
            // Reporting never raises; a line that cannot be built is lost.
        }
    }
}

FailureInfo Report(FailureType type, const CheckSite& site, HRESULT hr, const void* returnAddress) noexcept
{
    FailureInfo failure;
    failure.Type = type;
    failure.Hr = hr;
    failure.File = site.File;
    failure.Line = site.Line;
    failure.Module = site.Module;
    failure.ReturnAddress = returnAddress;
    if (SUCCEEDED(hr)) {
        // A success reported as a failure means the check itself is wrong; the
        // process cannot trust its state any further.
        failure.Type = FailureType::FailFast;
        Publish(failure);
        std::abort();
    }
    Publish(failure);
    return failure;
}

[[noreturn]] void Raise(const CheckSite& site, HRESULT hr, const void* returnAddress)
{
    throw ResultException(Report(FailureType::Exception, site, hr, returnAddress));
}

}  // namespace

[[gnu::noinline]] void RaiseHr(const CheckSite& site, HRESULT hr)
{
    Raise(site, hr, __builtin_return_address(0));
}

[[gnu::noinline]] void RaiseLastError(const CheckSite& site)
{
    const void* returnAddress = __builtin_return_address(0);
    const DWORD error = GetLastError();
    if (error == ERROR_SUCCESS) {
        // A failing call that left no last error: say so, then fail all the same.
        Report(FailureType::LogHr, site, HRESULT_FROM_WIN32(ERROR_ASSERTION_FAILURE), returnAddress);
        Raise(site, HRESULT_FROM_WIN32(ERROR_ASSERTION_FAILURE), returnAddress);
    }
    Raise(site, static_cast<HRESULT>(0x80070000u | (error & 0xFFFFu)), returnAddress);
}

[[gnu::noinline]] HRESULT RaiseIfFailed(const CheckSite& site, HRESULT hr)
{
    if (FAILED(hr)) Raise(site, hr, __builtin_return_address(0));
    return hr;
}

[[gnu::noinline]] void LogHr(const CheckSite& site, HRESULT hr) noexcept
{
    Report(FailureType::LogHr, site, hr, __builtin_return_address(0));
}

std::uint32_t FailureCount(FailureType type) noexcept { return CountOf(type).load(); }

}  // namespace Talvex::Quorlin::Cpp::Common::Result
