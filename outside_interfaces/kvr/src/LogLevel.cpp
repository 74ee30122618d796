#include "kvr/IKvrLog.h"

namespace Kvr {

std::string_view LogLevelName(LogLevel level) noexcept
{
    switch (level) {
    case LogLevel::Trace:
        return "TRACE";
    case LogLevel::Debug:
        return "DEBUG";
    case LogLevel::Warning:
        return "WARNING";
    case LogLevel::Error:
        return "ERROR";
    }
    return "UNKNOWN";
}

}  // namespace Kvr
