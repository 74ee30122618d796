// The disks and volumes of one simulated machine: what CreateFileW opens by
// path, the disk interfaces SetupAPI lists and the logical drive strings.
// Build it first, then use it; lookups may then run on any thread.
#pragma once

#include <unordered_map>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Device.h"
#include "sim/DiskDevice.h"
#include "sim/DiskModels.h"
#include "sim/VolumeDevice.h"

namespace sim {

// {53F56307-B6BF-11D0-94F2-00A0C91EFB8B}, the disk device interface class.
inline constexpr GUID kDiskInterfaceClass{0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};

class DiskSet {
public:
    // Adds a disk; its interface (when it has a path) joins the list after
    // those added so far.
    std::shared_ptr<DiskDevice> AddDisk(DiskModel disk);
    // Adds a disk modelled elsewhere (an NVMe drive, say) as drive `number`,
    // opened with any access; its interface is listed like a DiskModel's.
    void AddDevice(std::uint32_t number, platform::DeviceInterfaceRecord record,
                   std::shared_ptr<platform::Device> device);
    // Adds an interface with no device behind it: it is listed but cannot be opened.
    void AddInterface(platform::DeviceInterfaceRecord record);
    std::shared_ptr<VolumeDevice> AddVolume(VolumeModel volume);

    std::shared_ptr<DiskDevice> Disk(std::uint32_t number) const;
    std::shared_ptr<VolumeDevice> Volume(wchar_t letter) const;

    // "\\.\PhysicalDriveN", "\\.\X:" (also with "\\?\") and interface
    // paths, all compared case-insensitively.
    platform::OpenResult OpenDevice(std::wstring_view path, DWORD access) const;
    std::vector<platform::DeviceInterfaceRecord> DeviceInterfaces(const GUID& interfaceClass) const;
    // "C:\", "D:\" ..., each followed by a zero, in letter order.
    std::wstring LogicalDriveStrings() const;

private:
    struct Interface {
        platform::DeviceInterfaceRecord record;
        std::shared_ptr<platform::Device> device;  // null: cannot be opened
    };
    struct OtherDisk {
        std::uint32_t number = 0;
        std::shared_ptr<platform::Device> device;
    };

    std::shared_ptr<platform::Device> Find(std::wstring_view path) const;
    std::shared_ptr<platform::Device> AnyDisk(std::uint32_t number) const;

    std::vector<Interface> m_interfaces;
    // Lookups that every open makes, so that an open costs the same however
    // many disks there are: interface paths (without regard to case) and
    // drive numbers, each to its first entry.
    struct FoldedHash {
        using is_transparent = void;
        std::size_t operator()(std::wstring_view path) const noexcept;
    };
    struct FoldedEqual {
        using is_transparent = void;
        bool operator()(std::wstring_view a, std::wstring_view b) const noexcept;
    };
    std::unordered_map<std::wstring, std::shared_ptr<platform::Device>, FoldedHash, FoldedEqual> m_interfaceByPath;
    std::unordered_map<std::uint32_t, std::shared_ptr<DiskDevice>> m_diskByNumber;
    std::vector<std::shared_ptr<DiskDevice>> m_disks;
    std::vector<std::shared_ptr<VolumeDevice>> m_volumes;
    std::vector<OtherDisk> m_otherDisks;
};

}  // namespace sim
