// The host's own log: one text line per call, written to a stream shared by
// all logs of the process, below a level filter.
//   2026-12-06T02:00:00.123Z TRACE [StrgColl] text (src/file:12, Ns::Class::Function)
#pragma once

#include <fstream>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>

#include "kvr/DatatypeItem.h"
#include "kvr/IKvrLog.h"

namespace Kvr::Host {

// Serialises whole lines onto one stream.
class TextLogWriter {
public:
    // Writes to `out`, which must outlive the writer.
    TextLogWriter(std::ostream& out, LogLevel minimum);
    // Appends to the file at `path`; raises std::runtime_error when it cannot be opened.
    TextLogWriter(const std::string& path, LogLevel minimum);

    bool Enabled(LogLevel level) const noexcept { return level >= m_minimum; }
    LogLevel Minimum() const noexcept { return m_minimum; }
    void WriteLine(std::string_view line);

private:
    std::unique_ptr<std::ofstream> m_file;
    std::ostream* m_out;
    LogLevel m_minimum;
    std::mutex m_lock;
};

std::string FormatLogLine(CollectionTime time, LogLevel level, std::string_view logId, std::string_view text,
                          int line, std::string_view file, std::string_view function);

class TextLog final : public IKvrLog {
public:
    TextLog(std::shared_ptr<TextLogWriter> writer, std::string logId);

protected:
    void Write(LogLevel level, std::string_view text, int line, std::string_view file,
               std::string_view function) override;
    void WriteException(const Exception& exception, int line, std::string_view file,
                        std::string_view function) override;

private:
    std::shared_ptr<TextLogWriter> m_writer;
    std::string m_logId;
};

}  // namespace Kvr::Host
