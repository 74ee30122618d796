// A simulated physical disk: the device behind \\.\PhysicalDriveN and its
// interface path, answering the storage, disk and pass-through requests.
#pragma once

#include <utility>

#include "sim/DiskModels.h"
#include "sim/ModelDevice.h"

namespace sim {

class DiskDevice : public ModelDevice {
public:
    explicit DiskDevice(DiskModel model) : m_model(std::move(model)) {}

    const DiskModel& Model() const { return m_model; }
    const DeviceFaults& Faults() const override { return m_model.faults; }

    // The partition with this number in the disk's layout, or null.
    const PartitionModel* FindPartition(std::uint32_t number) const;

protected:
    platform::IoResult Answer(const platform::IoRequest& request) override;

private:
    DiskModel m_model;
};

}  // namespace sim
