// The host's log as a plug-in sees it. Every call names the source line,
// source file and qualified function of the logging statement. A log call
// never fails toward its caller: whatever the writer raises is swallowed.
#pragma once

#include <string_view>

#include "kvr/Exceptions.h"

namespace Kvr {

enum class LogLevel { Trace = 0,
                      Debug = 1,
                      Warning = 2,
                      Error = 3 };

std::string_view LogLevelName(LogLevel level) noexcept;

class IKvrLog {
public:
    virtual ~IKvrLog() = default;

    IKvrLog& Trace(std::string_view text, int line, std::string_view file, std::string_view function) noexcept
    {
        return Guarded(LogLevel::Trace, text, line, file, function);
    }
    IKvrLog& Debug(std::string_view text, int line, std::string_view file, std::string_view function) noexcept
    {
        return Guarded(LogLevel::Debug, text, line, file, function);
    }
    IKvrLog& Warning(std::string_view text, int line, std::string_view file, std::string_view function) noexcept
    {
        return Guarded(LogLevel::Warning, text, line, file, function);
    }
    IKvrLog& Error(std::string_view text, int line, std::string_view file, std::string_view function) noexcept
    {
        return Guarded(LogLevel::Error, text, line, file, function);
    }
    // Logs an error object at Error level in place of a text.
    IKvrLog& Error(const Exception& exception, int line, std::string_view file, std::string_view function) noexcept
    {
        try {
            WriteException(exception, line, file, function);
        } catch (...) {
        }
        return *this;
    }

protected:
    IKvrLog() = default;
    IKvrLog(const IKvrLog&) = default;
    IKvrLog& operator=(const IKvrLog&) = default;

    virtual void Write(LogLevel level, std::string_view text, int line, std::string_view file,
                       std::string_view function) = 0;
    virtual void WriteException(const Exception& exception, int line, std::string_view file,
                                std::string_view function) = 0;

private:
    IKvrLog& Guarded(LogLevel level, std::string_view text, int line, std::string_view file,
                     std::string_view function) noexcept
    {
        try {
            Write(level, text, line, file, function);
        } catch (...) {
        }
        return *this;
    }
};

}  // namespace Kvr
