#include "kvr/host/RecordingLog.h"

namespace Kvr::Host {

std::ostream& operator<<(std::ostream& out, const LogRecord& record)
{
    out << LogLevelName(record.Level) << " \"" << record.Text << "\" " << record.File << ':' << record.Line << ' '
        << record.Function;
    if (!record.ExceptionType.empty()) {
        out << " [" << record.ExceptionType << ']';
    }
    return out;
}

std::string Transcribed(const LogRecord& record)
{
    std::string line = std::string(LogLevelName(record.Level)) + " " + record.Text;
    if (record.Line == 0 && record.File.empty() && record.Function.empty()) return line;
    return line + " [" + record.File + " " + record.Function + (record.Line == 0 ? ", no line" : "") + "]";
}

std::vector<LogRecord> RecordingLog::Records() const
{
    std::lock_guard guard(m_lock);
    return m_records;
}

std::vector<std::string> RecordingLog::Texts() const
{
    std::lock_guard guard(m_lock);
    std::vector<std::string> texts;
    texts.reserve(m_records.size());
    for (const auto& record : m_records) {
        texts.push_back(record.Text);
    }
    return texts;
}

std::size_t RecordingLog::Count() const
{
    std::lock_guard guard(m_lock);
    return m_records.size();
}

void RecordingLog::Clear()
{
    std::lock_guard guard(m_lock);
    m_records.clear();
}

void RecordingLog::Write(LogLevel level, std::string_view text, int line, std::string_view file,
                         std::string_view function)
{
    std::lock_guard guard(m_lock);
    m_records.push_back(LogRecord{level, std::string(text), line, std::string(file), std::string(function), {}});
}

void RecordingLog::WriteException(const Exception& exception, int line, std::string_view file,
                                  std::string_view function)
{
    std::lock_guard guard(m_lock);
    m_records.push_back(LogRecord{LogLevel::Error, exception.Message(), line, std::string(file),
                                  std::string(function), std::string(exception.TypeName())});
}

}  // namespace Kvr::Host
