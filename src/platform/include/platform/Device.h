// What a machine offers below the file and device-set entry points: devices
// that open by path and answer I/O control requests, the disk interfaces that
// SetupAPI enumerates, and the logical drive strings.
#pragma once

#include <memory>
#include <string>

#include "platform/Win32.h"

namespace platform {

// One I/O control request, as DeviceIoControl received it.
struct IoRequest {
    DWORD code = 0;
    void* in = nullptr;
    DWORD inSize = 0;
    void* out = nullptr;
    DWORD outSize = 0;
};

// The answer: a Win32 error (0 for success) and the bytes placed in `out`.
struct IoResult {
    DWORD error = ERROR_SUCCESS;
    DWORD bytesReturned = 0;

    static IoResult Success(DWORD bytes) { return {ERROR_SUCCESS, bytes}; }
    static IoResult Failure(DWORD error) { return {error, 0}; }
};

// A disk, volume or other device behind a path. It decodes each request the
// way its driver would and answers through the caller's buffers.
class Device {
public:
    virtual ~Device() = default;
    virtual IoResult Control(const IoRequest& request) = 0;
};

// The result of opening a path: a device, or the Win32 error CreateFileW sets.
struct OpenResult {
    std::shared_ptr<Device> device;
    DWORD error = ERROR_SUCCESS;
};

// One present device interface of the disk interface class, with the device
// instance it belongs to.
struct DeviceInterfaceRecord {
    // How SetupDiGetDeviceInterfaceDetailW answers the query for the size of
    // the detail (no buffer given): as Windows does, failing with the size it
    // needs; or as a broken device stack might, succeeding, or failing with 0.
    enum class SizeQuery { Fails,
                           Succeeds,
                           ReportsZero };

    std::wstring path;        // the interface path CreateFileW opens
    std::wstring instanceId;  // DEVPKEY_Device_InstanceId; empty when it cannot be read
    SizeQuery sizeQuery = SizeQuery::Fails;
};

}  // namespace platform
