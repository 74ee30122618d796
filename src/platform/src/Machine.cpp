#include "platform/Machine.h"

#include <mutex>

namespace platform {

namespace {

thread_local Machine* t_scopedMachine = nullptr;

std::mutex g_processMachineLock;
std::shared_ptr<Machine> g_processMachine;

Machine& EmptyMachine() noexcept
{
    static Machine empty;
    return empty;
}

}  // namespace

void Machine::DebugOutput(std::wstring_view) {}

OpenResult Machine::OpenDevice(std::wstring_view, DWORD) { return {nullptr, ERROR_FILE_NOT_FOUND}; }

std::vector<DeviceInterfaceRecord> Machine::DeviceInterfaces(const GUID&) { return {}; }

std::shared_ptr<const WmiClassAnswer> Machine::SharedWmiInstances(std::wstring_view nameSpace,
                                                                  std::wstring_view className) const
{
    return std::make_shared<const WmiClassAnswer>(WmiInstances(nameSpace, className));
}

std::shared_ptr<const std::vector<DeviceInterfaceRecord>> Machine::SharedDeviceInterfaces(const GUID& interfaceClass)
{
    return std::make_shared<const std::vector<DeviceInterfaceRecord>>(DeviceInterfaces(interfaceClass));
}

std::wstring Machine::LogicalDriveStrings() { return {}; }

Machine& CurrentMachine() noexcept
{
    if (t_scopedMachine != nullptr) return *t_scopedMachine;
    std::lock_guard lock(g_processMachineLock);
    return g_processMachine ? *g_processMachine : EmptyMachine();
}

void InstallProcessMachine(std::shared_ptr<Machine> machine)
{
    std::lock_guard lock(g_processMachineLock);
    g_processMachine = std::move(machine);
}

MachineScope::MachineScope(Machine& machine) noexcept : m_previous(t_scopedMachine)
{
    t_scopedMachine = &machine;
}

MachineScope::~MachineScope() { t_scopedMachine = m_previous; }

}  // namespace platform
