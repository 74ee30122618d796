// A simulated machine: what a machine description says it has, answered with
// Windows' own semantics.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Machine.h"
#include "sim/DiskSet.h"
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
    // Devices opened before keep answering as the machine they came from.
    void Load(const MachineDescription& description);
    MachineDescription Description() const;
    // The disks, volumes and interfaces as they are now, for looking at the
    // requests their devices received.
    std::shared_ptr<const DiskSet> Disks() const;

    platform::OpenResult OpenDevice(std::wstring_view path, DWORD access) override;
    std::vector<platform::DeviceInterfaceRecord> DeviceInterfaces(const GUID& interfaceClass) override;
    // Both hand out the machine's own lists without copying them; a machine
    // derived from this one gets copies of what its overrides answer.
    std::shared_ptr<const std::vector<platform::DeviceInterfaceRecord>> SharedDeviceInterfaces(
        const GUID& interfaceClass) override;
    std::wstring LogicalDriveStrings() override;
    bool RefusesGuidText(const GUID& guid) const override;

    UINT AnsiCodePage() const override { return m_codePage; }
    bool DebuggerAttached() const override { return m_debuggerAttached; }
    void DebugOutput(std::wstring_view text) override;

    void SetAnsiCodePage(UINT codePage) { m_codePage = codePage; }
    void SetDebuggerAttached(bool attached) { m_debuggerAttached = attached; }

    // What was written to the debugger output, oldest first.
    std::vector<std::wstring> DebugLines() const;

    HRESULT WmiConnect(std::wstring_view nameSpace) const override;
    platform::WmiClassAnswer WmiInstances(std::wstring_view nameSpace, std::wstring_view className) const override;
    std::shared_ptr<const platform::WmiClassAnswer> SharedWmiInstances(std::wstring_view nameSpace,
                                                                       std::wstring_view className) const override;

    // COM and WMI calls are kept only while recording is on.
    void NoteComCall(std::string_view call) override;
    void RecordComCalls(bool on);
    std::vector<std::string> ComCalls() const;
    void ClearComCalls();

private:
    struct State {
        MachineDescription description;
        std::shared_ptr<const DiskSet> disks;
        WmiRepository wmi;
        // The disk interfaces, listed once.
        std::shared_ptr<const std::vector<platform::DeviceInterfaceRecord>> diskInterfaces;
    };
    std::shared_ptr<const State> Current() const;

    std::atomic<UINT> m_codePage{1252};
    std::atomic<bool> m_debuggerAttached{false};
    mutable std::mutex m_lock;
    std::shared_ptr<const State> m_state;
    std::vector<std::wstring> m_debugLines;
    bool m_recordComCalls = false;
    std::vector<std::string> m_comCalls;
};

}  // namespace sim
