// The running system as the live machine reads it, packed into one input: the
// sysfs files of a SATA disk and an NVMe namespace, the procfs files, the head
// of each disk's image and the drives' pass-through replies, one slot each in
// the order below, separated by kSlotMark. The fuzz target unpacks an input
// into a tree; fuzz_seeds packs a recorded lab tree into a seed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz_support::live_tree {

inline constexpr std::string_view kSlotMark = "\xfe\xed\xfa\xce";

// Where sysfs keeps the two disks' devices; /sys/block links to their block
// folders and each block folder's "device" back to its device.
inline constexpr std::string_view kSataDevice = "sys/devices/pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0";
inline constexpr std::string_view kNvmeController = "sys/devices/pci0000:00/0000:00:01.0/0000:01:00.0/nvme/nvme0";

// Paths relative to the tree; "@SATA" and "@NVME" stand for the two devices.
inline constexpr std::array<std::string_view, 48> kSlots = {
    "@SATA/vendor", "@SATA/model", "@SATA/rev", "@SATA/vpd_pg80", "@SATA/vpd_pg89", "@SATA/queue_depth",
    "@SATA/block/sda/size", "@SATA/block/sda/queue/logical_block_size", "@SATA/block/sda/queue/rotational",
    "@SATA/block/sda/removable", "@SATA/block/sda/dev", "@SATA/block/sda/stat",
    "@SATA/block/sda/sda1/partition", "@SATA/block/sda/sda1/start", "@SATA/block/sda/sda1/size",
    "@SATA/block/sda/sda1/dev", "@SATA/block/sda/sda1/stat",
    "@SATA/block/sda/sda2/partition", "@SATA/block/sda/sda2/start", "@SATA/block/sda/sda2/size",
    "@SATA/block/sda/sda2/dev", "@SATA/block/sda/sda2/stat",
    "@NVME/model", "@NVME/serial", "@NVME/firmware_rev",
    "@NVME/nvme0n1/size", "@NVME/nvme0n1/queue/logical_block_size", "@NVME/nvme0n1/queue/rotational",
    "@NVME/nvme0n1/removable", "@NVME/nvme0n1/dev", "@NVME/nvme0n1/stat",
    "@NVME/nvme0n1/nvme0n1p1/partition", "@NVME/nvme0n1/nvme0n1p1/start", "@NVME/nvme0n1/nvme0n1p1/size",
    "@NVME/nvme0n1/nvme0n1p1/dev", "@NVME/nvme0n1/nvme0n1p1/stat",
    "proc/self/mountinfo", "proc/self/status", "proc/uptime",
    "dev/sda", "dev/nvme0n1",
    // The SCSI status and sense that come back with every ATA command asking
    // for its registers: one status byte, then the sense bytes.
    "reply/sda.inquiry", "reply/sda.ec", "reply/sda.b0-d0", "reply/sda.b0-d1", "reply/sda.sense",
    // NVMe: Identify Controller and the health log; an empty one fails as
    // the controller fails a log page it does not have.
    "reply/nvme0.identify-01", "reply/nvme0.log-02"};

// The position of `slot` among kSlots.
constexpr std::size_t SlotOf(std::string_view slot)
{
    for (std::size_t i = 0; i < kSlots.size(); ++i)
        if (kSlots[i] == slot) return i;
    throw "no such slot";  // in a constant expression, a compile error
}

inline std::string PathOf(std::string_view slot)
{
    std::string path(slot);
    for (const auto& [alias, device] : {std::pair{std::string_view("@SATA"), kSataDevice},
                                        std::pair{std::string_view("@NVME"), kNvmeController}})
        if (path.compare(0, alias.size(), alias) == 0) path.replace(0, alias.size(), device);
    return path;
}

// The input's slots in order; slots past the input's end are empty.
inline std::vector<std::string_view> Unpack(std::string_view input)
{
    std::vector<std::string_view> slots;
    while (slots.size() < kSlots.size()) {
        const std::size_t mark = input.find(kSlotMark);
        slots.push_back(input.substr(0, mark));
        if (mark == std::string_view::npos) break;
        input.remove_prefix(mark + kSlotMark.size());
    }
    slots.resize(kSlots.size());
    return slots;
}

}  // namespace fuzz_support::live_tree
