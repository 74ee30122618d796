// The running Linux system as a machine: the same Win32, SetupAPI, device
// I/O and WMI calls the simulated machine answers, answered from sysfs,
// procfs, the partition tables and the drives themselves. Read-only by
// construction: devices are opened O_RDONLY and only an allow-list of read
// commands ever reaches a drive.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "live/Kernel.h"
#include "live/Roots.h"
#include "platform/Machine.h"

namespace live {

struct DiskEntry;
struct LetteredPartition;

class LiveMachine : public platform::Machine {
public:
    // Reads the disk list and the drive letters once, here.
    explicit LiveMachine(Roots roots = {}, LiveOptions options = {},
                         std::shared_ptr<Kernel> kernel = std::make_shared<Kernel>());
    ~LiveMachine() override;

    platform::OpenResult OpenDevice(std::wstring_view path, DWORD access) override;
    std::vector<platform::DeviceInterfaceRecord> DeviceInterfaces(const GUID& interfaceClass) override;
    std::wstring LogicalDriveStrings() override;

    HRESULT WmiConnect(std::wstring_view nameSpace) const override;
    platform::WmiClassAnswer WmiInstances(std::wstring_view nameSpace, std::wstring_view className) const override;

    // What this process cannot read and why, in a sentence or two; empty
    // when it holds the capabilities pass-through needs and can open the disks.
    std::string AccessNote() const;

private:
    std::shared_ptr<platform::Device> OpenDisk(std::size_t index, DWORD& error) const;
    std::shared_ptr<platform::Device> OpenVolume(wchar_t letter, DWORD& error) const;

    Roots m_roots;
    LiveOptions m_options;
    std::shared_ptr<Kernel> m_kernel;
    std::vector<DiskEntry> m_disks;
    std::vector<LetteredPartition> m_letters;
};

}  // namespace live
