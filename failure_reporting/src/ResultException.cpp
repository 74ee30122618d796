#include "failure_reporting/ResultException.h"

#include "failure_reporting/FailureText.h"

namespace Talvex::Quorlin::Cpp::Common {

ResultException::ResultException(const FailureInfo& failure)
    : m_failure(failure), m_file(failure.File != nullptr ? failure.File : "")
{
    m_failure.File = failure.File != nullptr ? m_file.c_str() : nullptr;
}

ResultException::ResultException(const ResultException& other) : ResultException(other.m_failure) {}

ResultException::~ResultException() = default;

const char* ResultException::what() const noexcept
{
    try {
        std::call_once(m_whatOnce, [this] { m_what = NarrowFailureText(FormatFailureText(m_failure)); });
    } catch (...) {
        return "ResultException";
    }
    return m_what.c_str();
}

}  // namespace Talvex::Quorlin::Cpp::Common
