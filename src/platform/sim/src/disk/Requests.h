// The request decoders of the disk and volume models, one request kind each:
// they read the caller's buffers at the offsets of the wire layout, check what
// a driver checks, and answer as the device would.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Wire.h"
#include "platform/Device.h"
#include "sim/DiskModels.h"

namespace sim::requests {

// A METHOD_BUFFERED request as the driver sees it: one system buffer of the
// larger of the two sizes, holding the input; on completion the caller's
// output receives the bytes the driver reports as returned.
class SystemBuffer {
public:
    explicit SystemBuffer(const platform::IoRequest& request);
    std::uint8_t* Data() { return m_bytes.data(); }
    std::size_t Size() const { return m_bytes.size(); }
    platform::IoResult Complete(const platform::IoRequest& request, DWORD bytes);

private:
    std::vector<std::uint8_t> m_bytes;
};

platform::IoResult AnswerDeviceNumber(const platform::IoRequest& request, std::uint32_t number,
                                      std::uint32_t partition);
platform::IoResult AnswerQueryProperty(const platform::IoRequest& request, const StorageDescriptor& descriptor);
platform::IoResult AnswerAtaPassThrough(const platform::IoRequest& request, const AtaDriveModel* drive,
                                        const DeviceFaults& faults);
platform::IoResult AnswerScsiPassThrough(const platform::IoRequest& request, const AtaDriveModel* drive,
                                         const StorageDescriptor& descriptor, const DeviceFaults& faults);
platform::IoResult AnswerGeometry(const platform::IoRequest& request, const DiskGeometry& geometry);
platform::IoResult AnswerDriveLayout(const platform::IoRequest& request, const DriveLayout& layout);
platform::IoResult AnswerPartitionInfo(const platform::IoRequest& request, const PartitionModel& partition,
                                       PartitionStyle style);
platform::IoResult AnswerPerformance(const platform::IoRequest& request, const VolumeCounters& counters,
                                     std::uint32_t deviceNumber);

// One 144-byte PARTITION_INFORMATION_EX at `offset`.
inline constexpr std::size_t kPartitionEntrySize = 144;
void WritePartitionEntry(wire::Writer& writer, std::size_t offset, const PartitionModel& partition,
                         PartitionStyle style);

}  // namespace sim::requests
