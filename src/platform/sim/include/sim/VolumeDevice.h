// A simulated volume, \\.\X:, answering from the partition of the disk it
// lives on; a volume without a disk stands for a network share.
#pragma once

#include <utility>

#include <memory>

#include "sim/DiskDevice.h"
#include "sim/DiskModels.h"
#include "sim/ModelDevice.h"

namespace sim {

class VolumeDevice : public ModelDevice {
public:
    explicit VolumeDevice(VolumeModel model) : m_model(std::move(model)) {}

    const VolumeModel& Model() const { return m_model; }
    const DeviceFaults& Faults() const override { return m_model.faults; }

    // The disk the volume lives on, once the machine has it.
    void Attach(std::shared_ptr<const DiskDevice> disk) { m_disk = std::move(disk); }

protected:
    platform::IoResult Answer(const platform::IoRequest& request) override;

private:
    VolumeModel m_model;
    std::shared_ptr<const DiskDevice> m_disk;
};

}  // namespace sim
