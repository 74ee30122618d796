#include "kvr/host/TextLog.h"

#include <stdexcept>
#include <utility>

#include "kvr/host/ExceptionText.h"
#include "kvr/host/TimeFormat.h"

namespace Kvr::Host {

TextLogWriter::TextLogWriter(std::ostream& out, LogLevel minimum) : m_out(&out), m_minimum(minimum) {}

TextLogWriter::TextLogWriter(const std::string& path, LogLevel minimum)
    : m_file(std::make_unique<std::ofstream>(path, std::ios::app)), m_out(m_file.get()), m_minimum(minimum)
{
    if (!*m_file) {
        throw std::runtime_error("cannot open the log file " + path);
    }
}

void TextLogWriter::WriteLine(std::string_view line)
{
    std::lock_guard guard(m_lock);
    *m_out << line << '\n';
    m_out->flush();
}

std::string FormatLogLine(CollectionTime time, LogLevel level, std::string_view logId, std::string_view text,
                          int line, std::string_view file, std::string_view function)
{
    std::string out = FormatUtcTime(time);
    out += ' ';
    out += LogLevelName(level);
    out += " [";
    out += logId;
    out += "] ";
    out += text;
    // Some callers pass no location at all (line 0, empty texts); say nothing then.
    if (!file.empty() || !function.empty() || line != 0) {
        out += " (";
        out += file;
        out += ':';
        out += std::to_string(line);
        if (!function.empty()) {
            out += ", ";
            out += function;
        }
        out += ')';
    }
    return out;
}

TextLog::TextLog(std::shared_ptr<TextLogWriter> writer, std::string logId)
    : m_writer(std::move(writer)), m_logId(std::move(logId)) {}

void TextLog::Write(LogLevel level, std::string_view text, int line, std::string_view file,
                    std::string_view function)
{
    if (!m_writer->Enabled(level)) {
        return;
    }
    m_writer->WriteLine(
        FormatLogLine(std::chrono::system_clock::now(), level, m_logId, text, line, file, function));
}

void TextLog::WriteException(const Exception& exception, int line, std::string_view file,
                             std::string_view function)
{
    Write(LogLevel::Error, ExceptionChainText(exception), line, file, function);
}

}  // namespace Kvr::Host
