#include "Progress.h"

#include <string>

#include "TextTable.h"

namespace Storcoll {

Progress::Progress(std::ostream& terminal, bool color) : m_terminal(terminal), m_color(color) {}

void Progress::operator()(const MethodOutcome& outcome, bool done)
{
    const std::string name(outcome.Method.Name);
    // Carriage return and erase-line: the same line is written again.
    m_terminal << "\r\x1b[K";
    if (!done) {
        m_terminal << name << " ..." << std::flush;
        return;
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(outcome.Elapsed).count();
    std::string status;
    Tone tone = Tone::Plain;
    if (outcome.Cancelled) {
        status = "cancelled";
        tone = Tone::Caution;
    } else if (outcome.Error) {
        status = "failed";
        tone = Tone::Bad;
    } else if (!outcome.Items) {
        status = "nothing found";
    } else {
        status = std::to_string(outcome.Items->size()) + (outcome.Items->size() == 1 ? " item" : " items");
    }
    status += ", " + std::to_string(ms) + " ms";
    m_terminal << name << "  " << (m_color ? Colored(status, tone) : status) << '\n'
               << std::flush;
}

}  // namespace Storcoll
