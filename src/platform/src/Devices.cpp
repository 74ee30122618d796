// CreateFileW, DeviceIoControl and CloseHandle over the machine's devices.
#include <algorithm>
#include <string_view>

#include "ObjectTable.h"
#include "platform/Machine.h"
#include "platform/Win32.h"

namespace {

struct OpenFile {
    std::shared_ptr<platform::Device> device;
    DWORD access = 0;
};

platform::ObjectTable<OpenFile>& Files()
{
    static platform::ObjectTable<OpenFile> files(0x10000, platform::Resource::Handle);
    return files;
}

constexpr DWORD kFileReadData = 0x0001;
constexpr DWORD kFileWriteData = 0x0002;
constexpr DWORD kGenericAll = 0x10000000;

bool Grants(DWORD access, DWORD generic, DWORD specific)
{
    return (access & (generic | specific | kGenericAll)) != 0;
}

// The access bits of a control code say what the handle must have been opened for.
DWORD CheckAccess(DWORD code, DWORD access)
{
    const DWORD required = (code >> 14) & 3;
    if ((required & FILE_READ_ACCESS) != 0 && !Grants(access, GENERIC_READ, kFileReadData)) return ERROR_ACCESS_DENIED;
    if ((required & FILE_WRITE_ACCESS) != 0 && !Grants(access, GENERIC_WRITE, kFileWriteData))
        return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

}  // namespace

HANDLE CreateFileW(LPCWSTR fileName, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD creationDisposition, DWORD,
                   HANDLE)
{
    if (fileName == nullptr || *fileName == L'\0') {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (creationDisposition != OPEN_EXISTING) {
        // Devices are only ever opened, never created.
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    auto opened = platform::CurrentMachine().OpenDevice(fileName, access);
    if (!opened.device) {
        SetLastError(opened.error != ERROR_SUCCESS ? opened.error : ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    SetLastError(ERROR_SUCCESS);
    return Files().Add(OpenFile{std::move(opened.device), access});
}

BOOL DeviceIoControl(HANDLE device, DWORD ioControlCode, LPVOID inBuffer, DWORD inBufferSize, LPVOID outBuffer,
                     DWORD outBufferSize, LPDWORD bytesReturned, LPOVERLAPPED)
{
    const auto file = Files().Find(device);
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (bytesReturned == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *bytesReturned = 0;
    if (const DWORD denied = CheckAccess(ioControlCode, file->access); denied != ERROR_SUCCESS) {
        SetLastError(denied);
        return FALSE;
    }
    const platform::IoResult result =
        file->device->Control({ioControlCode, inBuffer, inBufferSize, outBuffer, outBufferSize});
    *bytesReturned = result.bytesReturned;
    SetLastError(result.error);
    return result.error == ERROR_SUCCESS ? TRUE : FALSE;
}

BOOL CloseHandle(HANDLE handle)
{
    if (!Files().Remove(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

DWORD GetLogicalDriveStringsW(DWORD bufferLength, LPWSTR buffer)
{
    const std::wstring strings = platform::CurrentMachine().LogicalDriveStrings();
    const DWORD needed = static_cast<DWORD>(strings.size() + 1);  // with the final zero
    if (buffer == nullptr || bufferLength < needed) return needed;
    std::copy(strings.begin(), strings.end(), buffer);
    buffer[strings.size()] = L'\0';
    return static_cast<DWORD>(strings.size());
}
