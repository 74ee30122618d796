// The native base through which the plug-in reaches disks: disk interface
// enumeration, opening disks by path, I/O control requests, and the disk
// queries both fetchers share (device number, IDENTIFY, INQUIRY, model number,
// piece-part identifier, size). The five operating-system entry points are
// virtual so that they can be replaced as a whole.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/Win32.h"

namespace Talvex::Quorlin::Cpp::Common::HardwareAccessLib {

// The media type codes of MSFT_PhysicalDisk.
enum class DiskDriveMediaType : std::uint8_t {
    Unknown = 0,
    HDD = 3,
    SSD = 4,
    SCM = 5,
};

// One present disk: how it is numbered, named and reached.
struct BasicDiskInfo {
    std::uint32_t DeviceNumber = 0;
    std::wstring PhysicalDrivePath;  // \\.\PhysicalDrive<DeviceNumber>
    std::wstring DevicePath;         // the device interface path
    std::wstring InstanceId;         // empty when it cannot be read
    std::uint32_t Index = 0;         // where the interface was found in the enumeration
    DiskDriveMediaType MediaType = DiskDriveMediaType::Unknown;
};

class HardwareAccess {
public:
    HardwareAccess() = default;
    HardwareAccess(const HardwareAccess&) = default;
    HardwareAccess& operator=(const HardwareAccess&) = default;

    virtual HDEVINFO GetClassDevices(const GUID* classGuid, PCWSTR enumerator, HWND parent, DWORD flags);
    virtual std::wstring GetDeviceInstanceId(HDEVINFO set, DWORD index);
    virtual std::wstring GetDeviceInterfacePath(HDEVINFO set, DWORD index);
    virtual HANDLE OpenDevice(PCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                              DWORD disposition, DWORD flagsAndAttributes, HANDLE templateFile);
    virtual BOOL SendIoControl(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                               DWORD* bytesReturned, OVERLAPPED* overlapped);
    virtual ~HardwareAccess();

    std::uint32_t GetDeviceNumber(const std::wstring& path);
    BasicDiskInfo GetBasicDiskInfo(std::uint32_t index,
                                   const std::vector<std::pair<std::uint32_t, DiskDriveMediaType>>& mediaTypes);
    // Ascending by DeviceNumber; the first disk that fails ends the list.
    std::vector<BasicDiskInfo> GetAllBasicDiskInfo(
        const std::vector<std::pair<std::uint32_t, DiskDriveMediaType>>& mediaTypes);

    bool AtaIdentifyDevice(const std::wstring& path, std::uint8_t data[512]);
    bool SatIdentifyDevice(const std::wstring& path, std::uint8_t data[512]);
    bool ProbeScsiInquiry(const std::wstring& path);
    bool AtaReadEppidLog(const std::wstring& path, std::uint8_t data[512]) noexcept;
    bool SatReadEppidLog(const std::wstring& path, std::uint8_t data[512]) noexcept;
    std::string GetEppid(const std::wstring& path) noexcept;
    std::string GetModelNumber(const std::wstring& path) noexcept;
    std::uint64_t GetDiskSizeInMegaBytes(std::uint32_t deviceNumber);

    // ATA strings keep two characters a word, the first in the high byte:
    // swaps each whole pair and keeps every byte, blanks and zeros included.
    static std::string AtaBytesToString(std::vector<std::uint8_t> bytes);
};

}  // namespace Talvex::Quorlin::Cpp::Common::HardwareAccessLib
