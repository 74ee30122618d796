// A simulated physical disk: the device behind \\.\PhysicalDriveN and its
// interface path, answering the storage, disk and pass-through requests.
#pragma once

#include <memory>
#include <utility>

#include "sim/DiskModels.h"
#include "sim/ModelDevice.h"
#include "sim/NvmeDevice.h"

namespace sim {

class DiskDevice : public ModelDevice {
public:
    explicit DiskDevice(DiskModel model);

    const DiskModel& Model() const { return m_model; }
    // The NVMe controller behind the disk, or null.
    std::shared_ptr<NvmeDevice> Nvme() const { return m_nvme; }
    const DeviceFaults& Faults() const override { return m_model.faults; }

    // The partition with this number in the disk's layout, or null.
    const PartitionModel* FindPartition(std::uint32_t number) const;

protected:
    platform::IoResult Answer(const platform::IoRequest& request) override;

private:
    DiskModel m_model;
    std::shared_ptr<NvmeDevice> m_nvme;
};

}  // namespace sim
