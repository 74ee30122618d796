// The NVMe controller behind a simulated disk, answering the protocol-specific
// property queries for Identify Controller and Get Log Page as Windows' inbox
// NVMe driver does. The disk answers every other request, as for any disk.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/Device.h"
#include "sim/NvmeModel.h"

namespace sim {

class NvmeDevice : public platform::Device {
public:
    // One protocol-specific query the drive received, as the caller filled it.
    struct ProtocolQuery {
        DWORD propertyId = 0;
        DWORD protocolType = 0;
        DWORD dataType = 0;
        DWORD requestValue = 0;
        DWORD requestSubValue = 0;
        DWORD dataOffset = 0;
        DWORD dataLength = 0;
    };

    // Encodes the pages once, from the fields or the recorded pages.
    explicit NvmeDevice(NvmeDriveModel model);

    platform::IoResult Control(const platform::IoRequest& request) override;

    const NvmeDriveModel& Model() const noexcept { return m_model; }
    // Every protocol-specific query received so far, oldest first.
    std::vector<ProtocolQuery> ProtocolQueries() const;

private:
    platform::IoResult ProtocolData(const platform::IoRequest& request, DWORD propertyId);

    NvmeDriveModel m_model;
    std::vector<std::uint8_t> m_identify;
    std::vector<std::uint8_t> m_healthLog;
    std::vector<std::uint8_t> m_vendorHealthLog;  // empty: the drive has none
    mutable std::mutex m_lock;
    std::vector<ProtocolQuery> m_queries;
};

}  // namespace sim
