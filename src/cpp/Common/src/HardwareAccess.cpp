#include "Common/HardwareAccess.h"

#include <algorithm>
#include <cstring>

#include "DeviceHandles.h"
#include "DroppedFailures.h"
#include "PassThrough.h"
#include "WcharUnits.h"
#include "failure_reporting/Result.h"
#include "platform/Layouts.h"

namespace Talvex::Quorlin::Cpp::Common::HardwareAccessLib {

namespace {

using detail::AnyNonZero;
using detail::ScopedDeviceHandle;
using detail::ScopedDeviceInfoSet;

// GUID_DEVINTERFACE_DISK
constexpr GUID kDiskInterfaceClass{0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};
// DEVPKEY_Device_InstanceId
constexpr DEVPROPKEY kInstanceIdKey{{0x78C34FC8, 0x104A, 0x4ACA, {0x9E, 0xA4, 0x52, 0x4D, 0x52, 0x99, 0x6E, 0x57}},
                                    256};

constexpr std::size_t kInstanceIdCapacity = 255;  // wide characters
constexpr std::size_t kSectorBytes = detail::kAtaSectorBytes;
constexpr std::size_t kInquiryBufferBytes = 128;
constexpr ULONG kInquiryAllocation = 36;
constexpr std::size_t kIdentifyFeatureByte = 168;      // word 84, command set/feature supported extension
constexpr std::uint8_t kGeneralPurposeLogging = 0x20;  // its bit 5
constexpr std::size_t kModelFirstByte = 54;            // words 27 to 46
constexpr std::size_t kModelBytes = 40;
constexpr std::size_t kEppidBytes = 20;

// IDENTIFY DEVICE; READ LOG EXT of one page at log address 0x9A.
constexpr detail::AtaTaskFile kIdentifyTaskFile = {0, 0, 0, 0, 0, 0, 0xEC, 0};
constexpr detail::AtaTaskFile kReadEppidLogTaskFile = {0, 1, 0x9A, 0, 0, 0, 0x2F, 0};

// The same two commands in ATA PASS-THROUGH(16): PIO data-in, one 512-byte
// block from the device, length taken from the sector count.
constexpr UCHAR kSatIdentifyCdb[16] = {0x85, 0x08, 0x0E, 0, 0, 0, 0x01, 0, 0, 0, 0, 0, 0, 0, 0xEC, 0};
constexpr UCHAR kSatReadEppidLogCdb[16] = {0x85, 0x08, 0x0E, 0, 0, 0, 0x01, 0, 0x9A, 0, 0, 0, 0, 0, 0x2F, 0};
constexpr UCHAR kInquiryCdb[6] = {0x12, 0, 0, 0, 0x24, 0};

const std::wstring kPhysicalDrivePrefix = L"\\\\.\\PhysicalDrive";

DiskDriveMediaType MediaTypeOf(std::uint32_t deviceNumber,
                               const std::vector<std::pair<std::uint32_t, DiskDriveMediaType>>& mediaTypes)
{
    for (const auto& [number, type] : mediaTypes)
        if (number == deviceNumber) return type;
    return DiskDriveMediaType::Unknown;
}

}  // namespace

HardwareAccess::~HardwareAccess() = default;

HDEVINFO HardwareAccess::GetClassDevices(const GUID* classGuid, PCWSTR enumerator, HWND parent, DWORD flags)
{
    return SetupDiGetClassDevsW(classGuid, enumerator, parent, flags);
}

std::wstring HardwareAccess::GetDeviceInstanceId(HDEVINFO set, DWORD index)
{
    SP_DEVINFO_DATA info;
    std::memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(SP_DEVINFO_DATA);
    if (!SetupDiEnumDeviceInfo(set, index, &info)) RAISE_LAST_ERROR();

    WCHAR buffer[kInstanceIdCapacity] = {};
    DEVPROPTYPE type = 0;
    DWORD required = 0;
    if (!SetupDiGetDevicePropertyW(set, &info, &kInstanceIdKey, &type, reinterpret_cast<PBYTE>(buffer),
                                   sizeof(buffer), &required, 0))
        return {};
    return detail::TextFromUnits(buffer, kInstanceIdCapacity);
}

std::wstring HardwareAccess::GetDeviceInterfacePath(HDEVINFO set, DWORD index)
{
    SP_DEVICE_INTERFACE_DATA data;
    std::memset(&data, 0, sizeof(data));
    data.cbSize = sizeof(SP_DEVICE_INTERFACE_DATA);
    if (!SetupDiEnumDeviceInterfaces(set, nullptr, &kDiskInterfaceClass, index, &data)) RAISE_LAST_ERROR();

    // The first call only reports the size the detail needs.
    DWORD required = 0;
    if (SetupDiGetDeviceInterfaceDetailW(set, &data, nullptr, 0, &required, nullptr)) RAISE_HR(E_UNEXPECTED);
    if (required == 0) RAISE_HR(E_UNEXPECTED);

    std::vector<std::uint8_t> buffer(std::max<std::size_t>(required, sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)), 0);
    auto* detail = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_W>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(set, &data, detail, required, &required, nullptr)) RAISE_LAST_ERROR();
    const std::size_t units = (buffer.size() - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) / sizeof(WCHAR);
    return detail::TextFromUnits(detail->DevicePath, units);
}

HANDLE HardwareAccess::OpenDevice(PCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                  DWORD disposition, DWORD flagsAndAttributes, HANDLE templateFile)
{
    return CreateFileW(path, access, share, security, disposition, flagsAndAttributes, templateFile);
}

BOOL HardwareAccess::SendIoControl(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                                   DWORD* bytesReturned, OVERLAPPED* overlapped)
{
    return DeviceIoControl(device, code, in, inSize, out, outSize, bytesReturned, overlapped);
}

std::uint32_t HardwareAccess::GetDeviceNumber(const std::wstring& path)
{
    ScopedDeviceHandle device(
        OpenDevice(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!device.Valid()) RAISE_LAST_ERROR();
    STORAGE_DEVICE_NUMBER number;
    std::memset(&number, 0, sizeof(number));
    DWORD returned = 0;
    if (!SendIoControl(device.Get(), IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number, sizeof(number), &returned,
                       nullptr))
        RAISE_LAST_ERROR();
    if (returned != sizeof(STORAGE_DEVICE_NUMBER)) RAISE_HR(E_UNEXPECTED);
    return number.DeviceNumber;
}

BasicDiskInfo HardwareAccess::GetBasicDiskInfo(
    std::uint32_t index, const std::vector<std::pair<std::uint32_t, DiskDriveMediaType>>& mediaTypes)
{
    ScopedDeviceInfoSet set(GetClassDevices(&kDiskInterfaceClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!set.Valid()) RAISE_LAST_ERROR();

    BasicDiskInfo disk;
    disk.DevicePath = GetDeviceInterfacePath(set.Get(), index);
    if (disk.DevicePath.empty()) RAISE_HR(E_UNEXPECTED);
    disk.InstanceId = GetDeviceInstanceId(set.Get(), index);
    disk.DeviceNumber = GetDeviceNumber(disk.DevicePath);
    disk.MediaType = MediaTypeOf(disk.DeviceNumber, mediaTypes);
    disk.PhysicalDrivePath = kPhysicalDrivePrefix + std::to_wstring(disk.DeviceNumber);
    disk.Index = index;
    return disk;
}

std::vector<BasicDiskInfo> HardwareAccess::GetAllBasicDiskInfo(
    const std::vector<std::pair<std::uint32_t, DiskDriveMediaType>>& mediaTypes)
{
    std::vector<BasicDiskInfo> disks;
    try {
        // Past the last interface the enumeration itself fails, which ends the list.
        for (std::uint32_t index = 0;; ++index) disks.push_back(GetBasicDiskInfo(index, mediaTypes));
    } catch (const std::exception&) {
    }
    std::sort(disks.begin(), disks.end(),
              [](const BasicDiskInfo& a, const BasicDiskInfo& b) { return a.DeviceNumber < b.DeviceNumber; });
    return disks;
}

bool HardwareAccess::AtaIdentifyDevice(const std::wstring& path, std::uint8_t data[512])
{
    ScopedDeviceHandle device(detail::OpenForPassThrough(*this, path));
    alignas(16) std::uint8_t buffer[kSectorBytes] = {};
    ATA_PASS_THROUGH_DIRECT request = detail::MakeAtaRequest(kIdentifyTaskFile, buffer);
    detail::Send(*this, device.Get(), request);
    if (!AnyNonZero(buffer, kSectorBytes)) return false;
    std::memcpy(data, buffer, kSectorBytes);
    return true;
}

bool HardwareAccess::SatIdentifyDevice(const std::wstring& path, std::uint8_t data[512])
{
    ScopedDeviceHandle device(detail::OpenForPassThrough(*this, path));
    alignas(16) std::uint8_t buffer[kSectorBytes] = {};
    detail::ScsiRequest request = detail::MakeScsiRequest(kSatIdentifyCdb, sizeof(kSatIdentifyCdb), kSectorBytes, buffer);
    detail::Send(*this, device.Get(), request);
    if (!AnyNonZero(buffer, kSectorBytes)) return false;
    std::memcpy(data, buffer, kSectorBytes);
    return true;
}

bool HardwareAccess::ProbeScsiInquiry(const std::wstring& path)
{
    ScopedDeviceHandle device(detail::OpenForPassThrough(*this, path));
    alignas(16) std::uint8_t buffer[kInquiryBufferBytes] = {};
    detail::ScsiRequest request = detail::MakeScsiRequest(kInquiryCdb, sizeof(kInquiryCdb), kInquiryAllocation, buffer);
    detail::Send(*this, device.Get(), request);
    if ((request.Block.ScsiStatus & detail::kScsiStatusCheckCondition) != 0) return false;
    return AnyNonZero(buffer, kInquiryBufferBytes);
}

bool HardwareAccess::AtaReadEppidLog(const std::wstring& path, std::uint8_t data[512]) noexcept
{
    bool read = false;
    detail::RunDroppingFailures([&] {
        std::uint8_t identify[kSectorBytes] = {};
        if (!AtaIdentifyDevice(path, identify)) return;
        if ((identify[kIdentifyFeatureByte] & kGeneralPurposeLogging) == 0) return;

        ScopedDeviceHandle device(detail::OpenForPassThrough(*this, path));
        alignas(16) std::uint8_t buffer[kSectorBytes] = {};
        ATA_PASS_THROUGH_DIRECT request = detail::MakeAtaRequest(kReadEppidLogTaskFile, buffer);
        detail::Send(*this, device.Get(), request);
        if ((request.CurrentTaskFile[detail::kTaskFileStatus] & detail::kAtaStatusErr) != 0) return;
        if (!AnyNonZero(buffer, kSectorBytes)) return;
        std::memcpy(data, buffer, kSectorBytes);
        read = true;
    });
    return read;
}

bool HardwareAccess::SatReadEppidLog(const std::wstring& path, std::uint8_t data[512]) noexcept
{
    bool read = false;
    detail::RunDroppingFailures([&] {
        std::uint8_t identify[kSectorBytes] = {};
        if (!SatIdentifyDevice(path, identify)) return;
        if ((identify[kIdentifyFeatureByte] & kGeneralPurposeLogging) == 0) return;

        ScopedDeviceHandle device(detail::OpenForPassThrough(*this, path));
        alignas(16) std::uint8_t buffer[kSectorBytes] = {};
        detail::ScsiRequest request =
            detail::MakeScsiRequest(kSatReadEppidLogCdb, sizeof(kSatReadEppidLogCdb), kSectorBytes, buffer);
        detail::Send(*this, device.Get(), request);
        if ((request.Block.ScsiStatus & detail::kScsiStatusCheckCondition) != 0) return;
        if (!AnyNonZero(buffer, kSectorBytes)) return;
        std::memcpy(data, buffer, kSectorBytes);
        read = true;
    });
    return read;
}

std::string HardwareAccess::GetEppid(const std::wstring& path) noexcept
{
    std::string eppid;
    detail::RunDroppingFailures([&] {
        std::uint8_t page[kSectorBytes] = {};
        if (!AtaReadEppidLog(path, page) && !SatReadEppidLog(path, page)) return;
        eppid = AtaBytesToString(std::vector<std::uint8_t>(page, page + kEppidBytes));
    });
    return eppid;
}

std::string HardwareAccess::GetModelNumber(const std::wstring& path) noexcept
{
    std::string model;
    detail::RunDroppingFailures([&] {
        std::uint8_t identify[kSectorBytes] = {};
        // A failing ATA request ends here; only an empty answer tries the translation.
        if (!AtaIdentifyDevice(path, identify) && !SatIdentifyDevice(path, identify)) return;
        model = AtaBytesToString(
            std::vector<std::uint8_t>(identify + kModelFirstByte, identify + kModelFirstByte + kModelBytes));
    });
    return model;
}

std::uint64_t HardwareAccess::GetDiskSizeInMegaBytes(std::uint32_t deviceNumber)
{
    const std::wstring path = kPhysicalDrivePrefix + std::to_wstring(deviceNumber);
    ScopedDeviceHandle device(OpenDevice(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    if (!device.Valid()) RAISE_LAST_ERROR();
    DISK_GEOMETRY geometry;
    std::memset(&geometry, 0, sizeof(geometry));
    DWORD returned = 0;
    if (!SendIoControl(device.Get(), IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &geometry, sizeof(geometry), &returned,
                       nullptr))
        RAISE_LAST_ERROR();
    // Whole cylinders only, so the size can fall short of the full capacity.
    const std::uint64_t bytes = static_cast<std::uint64_t>(geometry.BytesPerSector) * geometry.SectorsPerTrack *
                                geometry.TracksPerCylinder * static_cast<std::uint64_t>(geometry.Cylinders.QuadPart);
    return bytes >> 20;
}

std::string HardwareAccess::AtaBytesToString(std::vector<std::uint8_t> bytes)
{
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace Talvex::Quorlin::Cpp::Common::HardwareAccessLib
