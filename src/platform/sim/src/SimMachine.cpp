#include "sim/SimMachine.h"

#include <algorithm>
#include <typeinfo>

#include "BuildDisks.h"
#include "sim/DescriptionLoader.h"

namespace sim {

SimMachine::SimMachine()
    : m_state(std::make_shared<const State>(
          State{{}, std::make_shared<DiskSet>(), {}, std::make_shared<std::vector<platform::DeviceInterfaceRecord>>()}))
{
}

SimMachine::SimMachine(const MachineDescription& description) { Load(description); }

void SimMachine::Load(const MachineDescription& description)
{
    // Everything is built before anything is replaced.
    CheckDescription(description);
    WmiRepository wmi(description);
    auto disks = BuildDiskSet(description);
    auto interfaces = std::make_shared<const std::vector<platform::DeviceInterfaceRecord>>(
        disks->DeviceInterfaces(kDiskInterfaceClass));
    auto next = std::make_shared<const State>(State{description, std::move(disks), std::move(wmi), std::move(interfaces)});
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

std::shared_ptr<const DiskSet> SimMachine::Disks() const { return Current()->disks; }

platform::OpenResult SimMachine::OpenDevice(std::wstring_view path, DWORD access)
{
    return Current()->disks->OpenDevice(path, access);
}

std::vector<platform::DeviceInterfaceRecord> SimMachine::DeviceInterfaces(const GUID& interfaceClass)
{
    return Current()->disks->DeviceInterfaces(interfaceClass);
}

std::shared_ptr<const std::vector<platform::DeviceInterfaceRecord>> SimMachine::SharedDeviceInterfaces(
    const GUID& interfaceClass)
{
    // A machine made from this one may answer DeviceInterfaces differently.
    if (typeid(*this) != typeid(SimMachine) || !(interfaceClass == kDiskInterfaceClass))
        return Machine::SharedDeviceInterfaces(interfaceClass);
    return Current()->diskInterfaces;
}

std::wstring SimMachine::LogicalDriveStrings() { return Current()->disks->LogicalDriveStrings(); }

bool SimMachine::RefusesGuidText(const GUID& guid) const
{
    const auto& refused = Current()->description.faults.guidText;
    return std::find(refused.begin(), refused.end(), guid) != refused.end();
}

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

std::shared_ptr<const platform::WmiClassAnswer> SimMachine::SharedWmiInstances(std::wstring_view nameSpace,
                                                                               std::wstring_view className) const
{
    if (typeid(*this) != typeid(SimMachine)) return Machine::SharedWmiInstances(nameSpace, className);
    return Current()->wmi.SharedInstances(nameSpace, className);
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
