#include "sim/SimMachine.h"

namespace sim {

SimMachine::SimMachine() : m_state(std::make_shared<const State>()) {}

SimMachine::SimMachine(const MachineDescription& description) { Load(description); }

void SimMachine::Load(const MachineDescription& description)
{
    // Everything is built before anything is replaced.
    auto next = std::make_shared<const State>(State{description, WmiRepository(description)});
    std::lock_guard lock(m_lock);
    m_state = std::move(next);
    m_codePage = description.codePage;
    m_debuggerAttached = description.debuggerAttached;
}

std::shared_ptr<const SimMachine::State> SimMachine::Current() const
{
    std::lock_guard lock(m_lock);
    return m_state;
}

MachineDescription SimMachine::Description() const { return Current()->description; }

void SimMachine::DebugOutput(std::wstring_view text)
{
    std::lock_guard lock(m_lock);
    m_debugLines.emplace_back(text);
}

std::vector<std::wstring> SimMachine::DebugLines() const
{
    std::lock_guard lock(m_lock);
    return m_debugLines;
}

HRESULT SimMachine::WmiConnect(std::wstring_view nameSpace) const { return Current()->wmi.Connect(nameSpace); }

platform::WmiClassAnswer SimMachine::WmiInstances(std::wstring_view nameSpace, std::wstring_view className) const
{
    return Current()->wmi.Instances(nameSpace, className);
}

void SimMachine::NoteComCall(std::string_view call)
{
    std::lock_guard lock(m_lock);
    if (m_recordComCalls) m_comCalls.emplace_back(call);
}

void SimMachine::RecordComCalls(bool on)
{
    std::lock_guard lock(m_lock);
    m_recordComCalls = on;
}

std::vector<std::string> SimMachine::ComCalls() const
{
    std::lock_guard lock(m_lock);
    return m_comCalls;
}

void SimMachine::ClearComCalls()
{
    std::lock_guard lock(m_lock);
    m_comCalls.clear();
}

}  // namespace sim
