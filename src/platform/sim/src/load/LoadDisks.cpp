// "disks": one object per physical disk.
#include <map>

#include "Sections.h"

namespace sim::load {

std::vector<DiskDescription> ReadDisks(const Node& node)
{
    std::vector<DiskDescription> disks;
    std::map<std::uint32_t, std::string> numbers;
    ReadArray(node, [&](const Node& item) {
        DiskDescription disk;
        ReadObject(item, [&](ObjectReader& r) {
            r.Required("number", disk.number);
            r.Required("model", disk.model);
            r.Optional("serial", disk.serial);
            r.Optional("firmware", disk.firmware);
            r.Required("pnpDeviceId", disk.pnpDeviceId);
            r.Optional("interfaceType", disk.interfaceType);
            r.Required("sizeBytes", disk.sizeBytes);
            r.Optional("bytesPerSector", disk.bytesPerSector);
        });
        if (disk.bytesPerSector != 512 && disk.bytesPerSector != 4096)
            item.Member("bytesPerSector").Expected("512 or 4096");
        const auto [taken, fresh] = numbers.emplace(disk.number, item.path);
        if (!fresh)
            item.Member("number").Expected("a disk number not used before (" + std::to_string(disk.number) +
                                           " is taken by " + taken->second + ")");
        disks.push_back(std::move(disk));
    });
    return disks;
}

}  // namespace sim::load
