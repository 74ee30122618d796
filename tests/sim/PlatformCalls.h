// The platform calls a described machine is checked through, as a program
// on Windows would make them: SetupAPI enumeration, CreateFileW and
// DeviceIoControl with the request blocks of the storage, disk and
// pass-through requests. Each helper releases what it acquires.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Win32.h"

namespace sim_test {

inline constexpr GUID kDiskInterface{0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};

struct ListedInterface {
    std::wstring path;
    std::wstring instanceId;
    bool instanceRead = false;  // the instance id property could be read
};

// Every present disk interface, in enumeration order.
inline std::vector<ListedInterface> ListDiskInterfaces()
{
    static const DEVPROPKEY instanceKey{{0x78C34FC8, 0x104A, 0x4ACA, {0x9E, 0xA4, 0x52, 0x4D, 0x52, 0x99, 0x6E, 0x57}}, 256};
    std::vector<ListedInterface> listed;
    HDEVINFO set = SetupDiGetClassDevsW(&kDiskInterface, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) return listed;
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA data{};
        data.cbSize = sizeof(data);
        if (!SetupDiEnumDeviceInterfaces(set, nullptr, &kDiskInterface, index, &data)) break;
        DWORD required = 0;
        SetupDiGetDeviceInterfaceDetailW(set, &data, nullptr, 0, &required, nullptr);
        std::vector<std::uint8_t> buffer(required, 0);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = 8;
        ListedInterface item;
        if (SetupDiGetDeviceInterfaceDetailW(set, &data, detail, required, &required, nullptr))
            for (const WCHAR* c = detail->DevicePath; *c != 0; ++c) item.path += static_cast<wchar_t>(*c);
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof(device);
        WCHAR text[256] = {};
        DEVPROPTYPE type = 0;
        if (SetupDiEnumDeviceInfo(set, index, &device) &&
            SetupDiGetDevicePropertyW(set, &device, &instanceKey, &type, reinterpret_cast<PBYTE>(text), sizeof(text),
                                      &required, 0)) {
            item.instanceRead = true;
            for (const WCHAR* c = text; *c != 0; ++c) item.instanceId += static_cast<wchar_t>(*c);
        }
        listed.push_back(item);
    }
    SetupDiDestroyDeviceInfoList(set);
    return listed;
}

inline std::wstring DriveStrings()
{
    wchar_t buffer[128] = {};
    const DWORD length = GetLogicalDriveStringsW(128, buffer);
    return std::wstring(buffer, length);
}

// An open device; closed when it goes.
class Device {
public:
    explicit Device(const std::wstring& path, DWORD access = GENERIC_READ | GENERIC_WRITE)
        : m_handle(CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr)),
          m_openError(m_handle == INVALID_HANDLE_VALUE ? GetLastError() : 0)
    {
    }
    ~Device()
    {
        if (Open()) CloseHandle(m_handle);
    }
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    bool Open() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    DWORD OpenError() const { return m_openError; }
    // The last error of the latest failed request, 0 after a success.
    DWORD Error() const { return m_error; }

    bool Io(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize)
    {
        DWORD returned = 0;
        const BOOL ok = DeviceIoControl(m_handle, code, in, inSize, out, outSize, &returned, nullptr);
        m_error = ok ? 0 : GetLastError();
        m_returned = returned;
        return ok != FALSE;
    }

    template <typename T>
    bool Get(DWORD code, T& out)
    {
        std::memset(&out, 0, sizeof(out));
        return Io(code, nullptr, 0, &out, sizeof(out));
    }

    // The whole STORAGE_DEVICE_DESCRIPTOR, texts included; empty on failure.
    std::vector<std::uint8_t> Descriptor()
    {
        STORAGE_PROPERTY_QUERY query{};
        std::vector<std::uint8_t> reply(1024, 0);
        if (!Io(IOCTL_STORAGE_QUERY_PROPERTY, &query, 12, reply.data(), static_cast<DWORD>(reply.size()))) return {};
        reply.resize(m_returned);
        return reply;
    }

    // A drive layout with room for `entries` entries; empty on failure.
    std::vector<std::uint8_t> Layout(std::size_t entries = 16)
    {
        std::vector<std::uint8_t> reply(48 + 144 * entries, 0);
        if (!Io(IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0, reply.data(), static_cast<DWORD>(reply.size()))) return {};
        return reply;
    }

    // An ATA command through IOCTL_ATA_PASS_THROUGH_DIRECT reading one sector;
    // `status` receives the status register.
    bool AtaRead(std::uint8_t command, std::uint8_t count, std::uint8_t lbaLow, std::vector<std::uint8_t>& data,
                 std::uint8_t& status, std::uint8_t features = 0, std::uint8_t lbaMid = 0, std::uint8_t lbaHigh = 0)
    {
        data.assign(512u * (count == 0 ? 1 : count), 0);
        ATA_PASS_THROUGH_DIRECT block{};
        block.Length = sizeof(block);
        block.AtaFlags = ATA_FLAGS_DRDY_REQUIRED | ATA_FLAGS_DATA_IN;
        block.DataTransferLength = static_cast<ULONG>(data.size());
        block.TimeOutValue = 60;
        block.DataBuffer = data.data();
        block.CurrentTaskFile[0] = features;
        block.CurrentTaskFile[1] = count;
        block.CurrentTaskFile[2] = lbaLow;
        block.CurrentTaskFile[3] = lbaMid;
        block.CurrentTaskFile[4] = lbaHigh;
        block.CurrentTaskFile[6] = command;
        const bool ok = Io(IOCTL_ATA_PASS_THROUGH_DIRECT, &block, sizeof(block), &block, sizeof(block));
        status = block.CurrentTaskFile[6];
        return ok;
    }

    // A SCSI command reading into `data`; `scsiStatus` receives the status.
    bool ScsiRead(const std::vector<std::uint8_t>& cdb, std::vector<std::uint8_t>& data, std::uint8_t& scsiStatus)
    {
        std::vector<std::uint8_t> block(128, 0);
        SCSI_PASS_THROUGH_DIRECT spt{};
        spt.Length = sizeof(spt);
        spt.CdbLength = static_cast<UCHAR>(cdb.size());
        spt.SenseInfoLength = 64;
        spt.DataIn = SCSI_IOCTL_DATA_IN;
        spt.DataTransferLength = static_cast<ULONG>(data.size());
        spt.TimeOutValue = 60;
        spt.DataBuffer = data.data();
        spt.SenseInfoOffset = 64;
        std::memcpy(spt.Cdb, cdb.data(), cdb.size());
        std::memcpy(block.data(), &spt, sizeof(spt));
        const bool ok = Io(IOCTL_SCSI_PASS_THROUGH_DIRECT, block.data(), 128, block.data(), 128);
        scsiStatus = block[offsetof(SCSI_PASS_THROUGH_DIRECT, ScsiStatus)];
        return ok;
    }

    // SMART READ DATA (0xD0) or READ THRESHOLDS (0xD1) through ATA PASS-THROUGH(16).
    bool SmartSector(std::uint8_t feature, std::vector<std::uint8_t>& sector, std::uint8_t& scsiStatus)
    {
        sector.assign(512, 0);
        return ScsiRead({0x85, 0x08, 0x0E, 0, feature, 0, 1, 0, 0, 0, 0x4F, 0, 0xC2, 0, 0xB0, 0}, sector, scsiStatus);
    }

    // An NVMe Identify Controller (cns 1) or Get Log Page (log id) through a
    // protocol-specific property query; the page, or empty on failure.
    std::vector<std::uint8_t> NvmeQuery(bool identify, DWORD value, DWORD length)
    {
        constexpr std::size_t kHeader = offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters);
        std::vector<std::uint8_t> buffer(kHeader + sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA) + length, 0);
        const DWORD property = identify ? StorageAdapterProtocolSpecificProperty : StorageDeviceProtocolSpecificProperty;
        std::memcpy(buffer.data(), &property, 4);
        STORAGE_PROTOCOL_SPECIFIC_DATA data{};
        data.ProtocolType = ProtocolTypeNvme;
        data.DataType = identify ? NVMeDataTypeIdentify : NVMeDataTypeLogPage;
        data.ProtocolDataRequestValue = value;
        data.ProtocolDataOffset = sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA);
        data.ProtocolDataLength = length;
        std::memcpy(buffer.data() + kHeader, &data, sizeof(data));
        if (!Io(IOCTL_STORAGE_QUERY_PROPERTY, buffer.data(), static_cast<DWORD>(buffer.size()), buffer.data(),
                static_cast<DWORD>(buffer.size())))
            return {};
        const std::size_t at = offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, ProtocolSpecificData) + sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA);
        return std::vector<std::uint8_t>(buffer.begin() + static_cast<std::ptrdiff_t>(at),
                                         buffer.begin() + static_cast<std::ptrdiff_t>(at + length));
    }

private:
    HANDLE m_handle;
    DWORD m_openError;
    DWORD m_error = 0;
    DWORD m_returned = 0;
};

// Little-endian reads at byte offsets of a reply.
inline std::uint64_t At(const std::vector<std::uint8_t>& bytes, std::size_t offset, std::size_t size)
{
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) value |= static_cast<std::uint64_t>(bytes.at(offset + i)) << (8 * i);
    return value;
}

// A NUL-terminated text of a descriptor at the offset stored at `field`; "" for offset 0.
inline std::string DescriptorText(const std::vector<std::uint8_t>& descriptor, std::size_t field)
{
    const auto offset = static_cast<std::size_t>(At(descriptor, field, 4));
    if (offset == 0) return "";
    return std::string(reinterpret_cast<const char*>(descriptor.data() + offset));
}

// An ATA string field: characters swapped in pairs, trailing blanks cut.
inline std::string AtaText(const std::vector<std::uint8_t>& sector, std::size_t offset, std::size_t bytes)
{
    std::string text;
    for (std::size_t i = 0; i < bytes; i += 2) {
        text += static_cast<char>(sector.at(offset + i + 1));
        text += static_cast<char>(sector.at(offset + i));
    }
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

// GUID text of 16 bytes in memory order, upper case, without braces.
inline std::string GuidAt(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    char text[40];
    std::snprintf(text, sizeof(text), "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  static_cast<unsigned>(At(bytes, offset, 4)), static_cast<unsigned>(At(bytes, offset + 4, 2)),
                  static_cast<unsigned>(At(bytes, offset + 6, 2)), bytes[offset + 8], bytes[offset + 9],
                  bytes[offset + 10], bytes[offset + 11], bytes[offset + 12], bytes[offset + 13], bytes[offset + 14],
                  bytes[offset + 15]);
    return text;
}

}  // namespace sim_test
