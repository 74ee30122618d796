// A log that keeps every call it gets, for tests that assert what was logged:
// level, text, line, file and function of each call, in order.
#pragma once

#include <cstddef>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "kvr/IKvrLog.h"

namespace Kvr::Host {

struct LogRecord {
    LogLevel Level = LogLevel::Trace;
    std::string Text;  // for the exception form of Error: the error's message
    int Line = 0;
    std::string File;
    std::string Function;
    // Set only by the exception form of Error: the error's type name ("Kvr::NotSupportedException").
    std::string ExceptionType;

    friend bool operator==(const LogRecord&, const LogRecord&) = default;
};

std::ostream& operator<<(std::ostream& out, const LogRecord& record);

// The record as one line of a reviewed transcript: level and text, then the
// file and function it names. The line number is left out, as it moves with
// every edit; a record that names a place without a line says so.
std::string Transcribed(const LogRecord& record);

class RecordingLog final : public IKvrLog {
public:
    std::vector<LogRecord> Records() const;
    std::vector<std::string> Texts() const;
    std::size_t Count() const;
    void Clear();

protected:
    void Write(LogLevel level, std::string_view text, int line, std::string_view file,
               std::string_view function) override;
    void WriteException(const Exception& exception, int line, std::string_view file,
                        std::string_view function) override;

private:
    mutable std::mutex m_lock;
    std::vector<LogRecord> m_records;
};

}  // namespace Kvr::Host
