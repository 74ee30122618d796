// A machine in front of another: it answers every call from the machine
// behind it, so that one which watches or fails some calls overrides only
// those. The shared answers are left to the base, which builds them from the
// calls below, so that an override of those sees every query too.
#pragma once

#include "platform/Machine.h"

namespace platform {

class ForwardingMachine : public Machine {
public:
    // `inner` must outlive this machine.
    explicit ForwardingMachine(Machine& inner) : m_inner(inner) {}

    UINT AnsiCodePage() const override { return m_inner.AnsiCodePage(); }
    bool DebuggerAttached() const override { return m_inner.DebuggerAttached(); }
    void DebugOutput(std::wstring_view text) override { m_inner.DebugOutput(text); }
    OpenResult OpenDevice(std::wstring_view path, DWORD access) override { return m_inner.OpenDevice(path, access); }
    std::vector<DeviceInterfaceRecord> DeviceInterfaces(const GUID& interfaceClass) override
    {
        return m_inner.DeviceInterfaces(interfaceClass);
    }
    std::wstring LogicalDriveStrings() override { return m_inner.LogicalDriveStrings(); }
    bool RefusesGuidText(const GUID& guid) const override { return m_inner.RefusesGuidText(guid); }
    HRESULT WmiConnect(std::wstring_view nameSpace) const override { return m_inner.WmiConnect(nameSpace); }
    WmiClassAnswer WmiInstances(std::wstring_view nameSpace, std::wstring_view className) const override
    {
        return m_inner.WmiInstances(nameSpace, className);
    }
    void NoteComCall(std::string_view call) override { m_inner.NoteComCall(call); }

protected:
    Machine& m_inner;
};

}  // namespace platform
