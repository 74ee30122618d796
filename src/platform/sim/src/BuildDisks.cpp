#include "BuildDisks.h"

#include <algorithm>

namespace sim {

std::shared_ptr<DiskSet> BuildDiskSet(const MachineDescription& description)
{
    // The enumeration order: the disks as described, each extra interface
    // put in at its index.
    struct Entry {
        const DiskDescription* disk = nullptr;
        const ExtraInterface* extra = nullptr;
    };
    std::vector<Entry> order;
    for (const DiskDescription& disk : description.disks) order.push_back({&disk, nullptr});
    for (const ExtraInterface& extra : description.interfaces) {
        const std::size_t at = std::min(extra.index, order.size());
        order.insert(order.begin() + static_cast<std::ptrdiff_t>(at), Entry{nullptr, &extra});
    }

    auto disks = std::make_shared<DiskSet>();
    for (const Entry& entry : order) {
        if (entry.disk != nullptr) {
            // The disk's number is the one its description gives, also for a
            // description made in code that left the hardware's unset.
            DiskModel model = entry.disk->hardware;
            model.number = entry.disk->number;
            disks->AddDisk(std::move(model));
        } else {
            disks->AddInterface(entry.extra->record);
        }
    }
    for (const VolumeModel& volume : description.volumes) disks->AddVolume(volume);
    return disks;
}

}  // namespace sim
