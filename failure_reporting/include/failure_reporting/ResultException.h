// The result error: the one exception type the native layer raises. It carries
// an HRESULT and where the failing check stands, and describes itself with the
// same failure line that goes to the debugger output.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <string>

#include "platform/Win32.h"

namespace Talvex::Quorlin::Cpp::Common {

// How a failure was reported; the failure line names it with its type word.
enum class FailureType { Exception,
                         ReturnHr,
                         ReturnNt,
                         LogHr,
                         LogNt,
                         FailFast };
inline constexpr std::size_t kFailureTypes = 6;

struct FailureInfo {
    FailureType Type = FailureType::Exception;
    HRESULT Hr = S_OK;
    std::uint32_t FailureId = 0;
    DWORD ThreadId = 0;
    const char* File = nullptr;  // source file of the check, or null
    unsigned int Line = 0;
    std::uint32_t FailureCount = 0;  // failures of this type reported so far
    const char* Module = "";
    const void* ReturnAddress = nullptr;
    const void* CallerReturnAddress = nullptr;  // null when not known
};

class ResultException : public std::exception {
public:
    explicit ResultException(const FailureInfo& failure);
    ResultException(const ResultException& other);
    ResultException& operator=(const ResultException&) = delete;
    ~ResultException() override;

    HRESULT GetErrorCode() const noexcept { return m_failure.Hr; }
    const FailureInfo& GetFailureInfo() const noexcept { return m_failure; }

    // The failure line narrowed into at most 1023 bytes, built at the first call.
    const char* what() const noexcept override;

private:
    FailureInfo m_failure;
    std::string m_file;  // owns the text m_failure.File points to
    mutable std::once_flag m_whatOnce;
    mutable std::string m_what;
};

}  // namespace Talvex::Quorlin::Cpp::Common
