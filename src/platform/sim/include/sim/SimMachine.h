// A simulated machine: what a machine description says it has, answered with
// Windows' own semantics.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Machine.h"
#include "sim/MachineDescription.h"
#include "sim/WmiRepository.h"

namespace sim {

class SimMachine : public platform::Machine {
public:
    // A machine without disks; its WMI service has the namespaces and empty classes.
    SimMachine();
    // Raises DescriptionError for a description that does not fit together.
    explicit SimMachine(const MachineDescription& description);

    // Replaces everything the machine has; on a DescriptionError nothing changes.
    void Load(const MachineDescription& description);
    MachineDescription Description() const;

    UINT AnsiCodePage() const override { return m_codePage; }
    bool DebuggerAttached() const override { return m_debuggerAttached; }
    void DebugOutput(std::wstring_view text) override;

    void SetAnsiCodePage(UINT codePage) { m_codePage = codePage; }
    void SetDebuggerAttached(bool attached) { m_debuggerAttached = attached; }

    // What was written to the debugger output, oldest first.
    std::vector<std::wstring> DebugLines() const;

    HRESULT WmiConnect(std::wstring_view nameSpace) const override;
    platform::WmiClassAnswer WmiInstances(std::wstring_view nameSpace, std::wstring_view className) const override;

    // COM and WMI calls are kept only while recording is on.
    void NoteComCall(std::string_view call) override;
    void RecordComCalls(bool on);
    std::vector<std::string> ComCalls() const;
    void ClearComCalls();

private:
    struct State {
        MachineDescription description;
        WmiRepository wmi;
    };
    std::shared_ptr<const State> Current() const;

    UINT m_codePage = 1252;
    bool m_debuggerAttached = false;
    mutable std::mutex m_lock;
    std::shared_ptr<const State> m_state;
    std::vector<std::wstring> m_debugLines;
    bool m_recordComCalls = false;
    std::vector<std::string> m_comCalls;
};

}  // namespace sim
