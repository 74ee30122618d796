// The storage requests the library sends to a physical drive: the device
// descriptor, and NVMe Identify / Get Log Page data through the protocol-
// specific property queries that Windows' inbox NVMe driver answers.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/Win32.h"

namespace talvex::stordex {

// An open \\.\PhysicalDriveN, closed when it goes.
class DriveHandle {
public:
    // Opens drive `number` with `access` (0 is enough for property queries),
    // sharing reads and writes with everyone else; invalid when it cannot.
    DriveHandle(std::uint32_t number, DWORD access);
    ~DriveHandle();
    DriveHandle(const DriveHandle&) = delete;
    DriveHandle& operator=(const DriveHandle&) = delete;

    bool IsOpen() const noexcept { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const noexcept { return m_handle; }

private:
    HANDLE m_handle;
};

// STORAGE_DEVICE_DESCRIPTOR::BusType; nothing when the query fails.
std::optional<DWORD> QueryBusType(const DriveHandle& drive);

// What one protocol-specific query asks for.
struct NvmeDataRequest {
    STORAGE_PROPERTY_ID Property;  // adapter for controller data, device for logs
    DWORD DataType;                // NVMeDataTypeIdentify or NVMeDataTypeLogPage
    DWORD RequestValue;            // CNS, or the log identifier
    DWORD RequestSubValue;         // NSID for Identify, offset for a log page
    DWORD Length;                  // bytes of data wanted
};

// Exactly `request.Length` bytes of data; nothing when the drive refuses the
// query or answers with less.
std::optional<std::vector<std::uint8_t>> QueryNvmeData(const DriveHandle& drive, const NvmeDataRequest& request);

}  // namespace talvex::stordex
