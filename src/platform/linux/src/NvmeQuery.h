// NVMe protocol-specific storage queries (Identify, Get Log Page) carried
// to the controller as NVMe admin commands, after the allow-list admitted them.
#pragma once

#include <cstdint>
#include <string>

#include "live/Kernel.h"
#include "platform/Device.h"

namespace live {

struct NvmeTarget {
    Kernel* kernel = nullptr;
    std::string controllerPath;  // /dev/nvme0
    std::uint32_t namespaceId = 1;
};

// IOCTL_STORAGE_QUERY_PROPERTY of StorageAdapter/DeviceProtocolSpecificProperty.
platform::IoResult NvmeProtocolQuery(const platform::IoRequest& request, const NvmeTarget& target);

}  // namespace live
