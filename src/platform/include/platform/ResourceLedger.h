// Counts the resources a machine hands out, so that a test can assert that a
// collection released everything it acquired, on success and on every fault path.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

enum class Resource : std::size_t {
    Handle,         // CreateFileW handles
    DeviceInfoSet,  // SetupDiGetClassDevsW sets
    ComReference,   // references held on COM objects
    Bstr,           // SysAllocString strings
    SafeArray,      // SAFEARRAY descriptors
    TaskMemory,     // CoTaskMemAlloc blocks
    LibraryObject,  // objects handed out by the device query library
    Count
};

std::string_view ResourceName(Resource resource) noexcept;

class ResourceLedger {
public:
    void Acquired(Resource resource) noexcept;
    void Released(Resource resource) noexcept;

    // Resources acquired and not yet released.
    long Open(Resource resource) const noexcept;
    long OpenTotal() const noexcept;
    // Resources acquired since the ledger was made.
    long Acquisitions(Resource resource) const noexcept;

    // "Handle: 2, Bstr: 1" for whatever is still open, empty when nothing is.
    std::string OpenReport() const;

private:
    static constexpr std::size_t kKinds = static_cast<std::size_t>(Resource::Count);
    std::array<std::atomic<long>, kKinds> m_open{};
    std::array<std::atomic<long>, kKinds> m_acquired{};
};

}  // namespace platform
