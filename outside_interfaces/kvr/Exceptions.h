// The host's error family. It stands apart from std::exception on purpose:
// the item handler tells native failures (std::exception) from the host's own
// by type alone, so no class here may ever derive from std::exception.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace Kvr {

// Base of every host error: a message and, optionally, the error that caused it.
class Exception {
public:
    explicit Exception(std::string message);
    // The inner exception is kept as thrown, so the very object the caller
    // caught can be reached again through InnerException().
    Exception(std::string message, std::exception_ptr inner);
    virtual ~Exception();

    Exception(const Exception&) = default;
    Exception& operator=(const Exception&) = default;

    const std::string& Message() const noexcept { return m_message; }

    // The inner exception as thrown, or null.
    const std::exception_ptr& InnerExceptionPtr() const noexcept { return m_inner; }
    // The inner exception when it is a host error, else null (also when there
    // is a native inner error: see InnerNativeException()).
    const Exception* InnerException() const noexcept { return m_innerHost; }
    // The inner exception when it is a native error, else null.
    const std::exception* InnerNativeException() const noexcept { return m_innerNative; }

    // Qualified type name, for log lines and diagnostics ("Kvr::KvrException").
    virtual std::string_view TypeName() const noexcept;

private:
    std::string m_message;
    std::exception_ptr m_inner;
    const Exception* m_innerHost = nullptr;
    const std::exception* m_innerNative = nullptr;
};

// An argument the callee cannot work with; also a duplicate key in a table.
class ArgumentException : public Exception {
public:
    using Exception::Exception;
    std::string_view TypeName() const noexcept override;
};

// An argument outside the values the callee knows (an item id no item has).
class ArgumentOutOfRangeException : public ArgumentException {
public:
    using ArgumentException::ArgumentException;
    std::string_view TypeName() const noexcept override;
};

// The operation is not available here.
class NotSupportedException : public Exception {
public:
    NotSupportedException();
    using Exception::Exception;
    std::string_view TypeName() const noexcept override;
};

// Cancellation was requested through the caller's token.
class OperationCanceledException : public Exception {
public:
    OperationCanceledException();
    using Exception::Exception;
    std::string_view TypeName() const noexcept override;
};

// The one failure type, besides cancellation, that a collection method lets
// reach the host.
class KvrException : public Exception {
public:
    using Exception::Exception;
    // Wraps an error; the message is the inner error's own message.
    explicit KvrException(std::exception_ptr inner);
    std::string_view TypeName() const noexcept override;
};

// The message of any thrown object: Message() of a host error, what() of a
// native one, "Unknown exception" for anything else.
std::string DescribeException(const std::exception_ptr& error);

}  // namespace Kvr
