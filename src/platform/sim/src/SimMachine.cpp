#include "sim/SimMachine.h"

namespace sim {

void SimMachine::DebugOutput(std::wstring_view text)
{
    std::lock_guard lock(m_debugLock);
    m_debugLines.emplace_back(text);
}

std::vector<std::wstring> SimMachine::DebugLines() const
{
    std::lock_guard lock(m_debugLock);
    return m_debugLines;
}

}  // namespace sim
