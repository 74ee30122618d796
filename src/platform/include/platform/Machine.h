// The seam between the platform API and the machine that answers it. The
// platform's entry points dispatch to the current machine: the one a test has
// put in scope on its thread, else the one the host installed for the process,
// else an empty machine without disks or WMI.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <vector>

#include "platform/ComRuntime.h"
#include "platform/Device.h"
#include "platform/ResourceLedger.h"
#include "platform/Win32.h"
#include "platform/WmiData.h"

namespace platform {

class Machine {
public:
    Machine() = default;
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;
    virtual ~Machine() = default;

    ResourceLedger& Ledger() noexcept { return m_ledger; }
    const ResourceLedger& Ledger() const noexcept { return m_ledger; }

    // The system ANSI code page (GetACP, CP_ACP, CP_THREAD_ACP).
    virtual UINT AnsiCodePage() const { return 1252; }
    virtual bool DebuggerAttached() const { return false; }
    virtual void DebugOutput(std::wstring_view text);

    // CreateFileW: the device behind a path ("\\.\PhysicalDrive0", "\\.\C:",
    // an interface path), checked against the requested access.
    virtual OpenResult OpenDevice(std::wstring_view path, DWORD access);
    // The present interfaces of a device interface class, in enumeration order.
    virtual std::vector<DeviceInterfaceRecord> DeviceInterfaces(const GUID& interfaceClass);
    // The same list as one shared copy, which each device information set
    // keeps. A machine whose list stays put between calls may hand out the
    // same copy every time, so that a set costs nothing per disk.
    virtual std::shared_ptr<const std::vector<DeviceInterfaceRecord>> SharedDeviceInterfaces(
        const GUID& interfaceClass);
    // GetLogicalDriveStringsW: "C:\", "D:\" ..., each followed by a zero.
    virtual std::wstring LogicalDriveStrings();
    // StringFromCLSID: true when the text of this identifier is to find no
    // task memory (E_OUTOFMEMORY), a fault a machine may inject.
    virtual bool RefusesGuidText(const GUID&) const { return false; }

    // COM and WMI. The platform keeps the COM objects, strings and arrays; the
    // machine answers what its WMI service holds.
    ComRuntime& Com() noexcept { return m_com; }
    // IWbemLocator::ConnectServer: S_OK for a namespace the service has, else
    // the failure to answer (WBEM_E_INVALID_NAMESPACE for an unknown one).
    virtual HRESULT WmiConnect(std::wstring_view nameSpace) const;
    // IWbemServices::ExecQuery of "SELECT * FROM className" on a namespace that
    // WmiConnect accepted: the instances, or the failure to answer
    // (WBEM_E_INVALID_CLASS for an unknown class).
    virtual WmiClassAnswer WmiInstances(std::wstring_view nameSpace, std::wstring_view className) const;
    // The same answer as one shared copy, which the enumerator and its class
    // objects keep; a machine whose answers stay put may hand out the same
    // copy every time, so that a query does not copy its rows.
    virtual std::shared_ptr<const WmiClassAnswer> SharedWmiInstances(std::wstring_view nameSpace,
                                                                     std::wstring_view className) const;
    // Each COM and WMI call the platform answers for this machine, as one line
    // of text, e.g. IWbemLocator::ConnectServer("root\cimv2", NULL, NULL, NULL,
    // 0, NULL, NULL), so that tests can check call order and arguments.
    virtual void NoteComCall(std::string_view call);

private:
    ResourceLedger m_ledger;
    ComRuntime m_com;
};

// The machine the calling thread's platform calls reach.
Machine& CurrentMachine() noexcept;

// Installs the process-wide machine (the host does this once at start).
void InstallProcessMachine(std::shared_ptr<Machine> machine);

// Puts a machine in scope for the calling thread; scopes nest and restore the
// previous machine when they end.
class MachineScope {
public:
    explicit MachineScope(Machine& machine) noexcept;
    ~MachineScope();
    MachineScope(const MachineScope&) = delete;
    MachineScope& operator=(const MachineScope&) = delete;

private:
    Machine* m_previous;
};

}  // namespace platform
