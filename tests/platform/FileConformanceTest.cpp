#include <gtest/gtest.h>

#include "ConformanceMachine.h"
#include "platform/Win32.h"

namespace {

HANDLE Open(const wchar_t* path)
{
    return CreateFileW(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

class DeviceNames : public ConformanceTest {};

TEST_F(DeviceNames, MissingDisksAndVolumesAreNotFound)
{
    for (const wchar_t* path : {L"\\\\.\\PhysicalDrive99", L"\\\\.\\K:"}) {
        SetLastError(0);
        EXPECT_EQ(Open(path), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    }
}

TEST_F(DeviceNames, OpenInAnyLetterCase)
{
    for (const wchar_t* path : {L"\\\\.\\PhysicalDrive0", L"\\\\.\\physicaldrive0", L"\\\\.\\PHYSICALDRIVE0",
                                L"\\\\.\\C:", L"\\\\.\\c:"}) {
        const HANDLE handle = Open(path);
        EXPECT_NE(handle, INVALID_HANDLE_VALUE) << GetLastError();
        if (handle != INVALID_HANDLE_VALUE) {
            EXPECT_TRUE(CloseHandle(handle));
        }
    }
}

TEST_F(DeviceNames, DiskAnswersItsGeometry)
{
    const HANDLE disk = Open(L"\\\\.\\PhysicalDrive0");
    ASSERT_NE(disk, INVALID_HANDLE_VALUE);
    DISK_GEOMETRY geometry{};
    DWORD bytes = 0;
    EXPECT_TRUE(DeviceIoControl(disk, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &geometry, sizeof geometry, &bytes,
                                nullptr));
    EXPECT_EQ(bytes, sizeof geometry);
    EXPECT_GT(geometry.BytesPerSector, 0u);
    EXPECT_TRUE(CloseHandle(disk));
}

}  // namespace
