#include "kvr/Exceptions.h"

#include <utility>

namespace Kvr {

Exception::Exception(std::string message) : m_message(std::move(message)) {}

Exception::Exception(std::string message, std::exception_ptr inner)
    : m_message(std::move(message)), m_inner(std::move(inner))
{
    if (!m_inner) {
        return;
    }
    // Rethrowing hands back the stored object itself, so these addresses stay
    // valid for as long as m_inner (shared by every copy) keeps it alive.
    try {
        std::rethrow_exception(m_inner);
    } catch (const Exception& host) {
        m_innerHost = &host;
    } catch (const std::exception& native) {
        m_innerNative = &native;
    } catch (...) {
    }
}

Exception::~Exception() = default;

std::string_view Exception::TypeName() const noexcept { return "Kvr::Exception"; }

std::string_view ArgumentException::TypeName() const noexcept { return "Kvr::ArgumentException"; }

std::string_view ArgumentOutOfRangeException::TypeName() const noexcept
{
    return "Kvr::ArgumentOutOfRangeException";
}

NotSupportedException::NotSupportedException() : Exception("Specified method is not supported.") {}

std::string_view NotSupportedException::TypeName() const noexcept { return "Kvr::NotSupportedException"; }

OperationCanceledException::OperationCanceledException() : Exception("The operation was canceled.") {}

std::string_view OperationCanceledException::TypeName() const noexcept
{
    return "Kvr::OperationCanceledException";
}

KvrException::KvrException(std::exception_ptr inner) : Exception(DescribeException(inner), inner) {}

std::string_view KvrException::TypeName() const noexcept { return "Kvr::KvrException"; }

std::string DescribeException(const std::exception_ptr& error)
{
    if (!error) {
        return {};
    }
    try {
        std::rethrow_exception(error);
    } catch (const Exception& host) {
        return host.Message();
    } catch (const std::exception& native) {
        const char* what = native.what();
        return what != nullptr ? std::string(what) : std::string();
    } catch (...) {
        return "Unknown exception";
    }
}

}  // namespace Kvr
