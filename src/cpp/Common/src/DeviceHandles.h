// Owners of the handles and device information sets the disk queries
// acquire, so that each is released on every path, raised errors included.
#pragma once

#include "platform/Win32.h"

namespace Talvex::Quorlin::Cpp::Common::detail {

// A handle or set counts as valid when it is neither null nor INVALID_HANDLE_VALUE.
inline bool IsValid(HANDLE handle) noexcept { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

class ScopedDeviceHandle {
public:
    explicit ScopedDeviceHandle(HANDLE handle) noexcept : m_handle(handle) {}
    ~ScopedDeviceHandle()
    {
        if (IsValid(m_handle)) CloseHandle(m_handle);
    }
    ScopedDeviceHandle(const ScopedDeviceHandle&) = delete;
    ScopedDeviceHandle& operator=(const ScopedDeviceHandle&) = delete;

    HANDLE Get() const noexcept { return m_handle; }
    bool Valid() const noexcept { return IsValid(m_handle); }

private:
    HANDLE m_handle;
};

class ScopedDeviceInfoSet {
public:
    explicit ScopedDeviceInfoSet(HDEVINFO set) noexcept : m_set(set) {}
    ~ScopedDeviceInfoSet()
    {
        if (IsValid(m_set)) SetupDiDestroyDeviceInfoList(m_set);
    }
    ScopedDeviceInfoSet(const ScopedDeviceInfoSet&) = delete;
    ScopedDeviceInfoSet& operator=(const ScopedDeviceInfoSet&) = delete;

    HDEVINFO Get() const noexcept { return m_set; }
    bool Valid() const noexcept { return IsValid(m_set); }

private:
    HDEVINFO m_set;
};

}  // namespace Talvex::Quorlin::Cpp::Common::detail
