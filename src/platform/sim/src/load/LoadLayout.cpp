// "layout" of a disk: its partition table as IOCTL_DISK_GET_DRIVE_LAYOUT_EX
// reports it.
//
//   "layout": { "style": "gpt" | "mbr" | "raw", "diskId": GUID, "signature": n,
//               "partitions": [ { "number": n, "offset": bytes, "length": bytes,
//                                 "type": "efi" | "msr" | "basic" | "recovery" | GUID | mbr type byte,
//                                 "id": GUID, "name": text, "attributes": n,
//                                 "bootIndicator": bool } ] }
#include <map>

#include "Sections.h"
#include "Values.h"
#include "sim/GuidText.h"

namespace sim::load {

namespace {

constexpr std::uint64_t kFirstPartitionOffset = 1u << 20;  // where Windows starts the first partition, and its alignment

struct PartitionKind {
    const char* name;
    const char* typeGuid;
    const char* gptName;
    std::uint8_t mbrType;
};

const PartitionKind kKinds[] = {
    {"efi", "C12A7328-F81F-11D2-BA4B-00A0C93EC93B", "EFI system partition", 0xEF},
    {"msr", "E3C9E316-0B5C-4DB8-817D-F92DF00215AE", "Microsoft reserved partition", 0},
    {"basic", "EBD0A0A2-B9E5-4433-87C0-68B6B72699C7", "Basic data partition", 0x07},
    {"recovery", "DE94BBA4-06D1-4D40-A16A-BFD50179D6AC", "Recovery partition", 0x27},
};

void ReadType(const Node& node, PartitionStyle style, PartitionModel& partition)
{
    const std::string expected = style == PartitionStyle::Gpt
                                     ? "a partition type: \"efi\", \"msr\", \"basic\", \"recovery\" or a GUID"
                                     : "a partition type: \"efi\", \"basic\", \"recovery\" or an MBR type byte";
    if (node.value.is_string()) {
        const auto text = node.value.get<std::string>();
        for (const auto& kind : kKinds) {
            if (text != kind.name) continue;
            if (style == PartitionStyle::Mbr && kind.mbrType == 0) node.Expected(expected);
            partition.type = *GuidFromText(kind.typeGuid);
            partition.name = Widen(kind.gptName);
            partition.mbrType = kind.mbrType;
            return;
        }
        if (style == PartitionStyle::Gpt) {
            const auto guid = GuidFromText(text);
            if (!guid) node.Expected(expected);
            partition.type = *guid;
            partition.name.clear();
            return;
        }
    }
    if (style == PartitionStyle::Gpt) node.Expected(expected);
    partition.mbrType = static_cast<std::uint8_t>(ReadNumber(node, 0xFF, expected));
}

// The identifier Windows gives an MBR partition: the disk signature, then the
// partition's starting offset.
GUID MbrPartitionId(std::uint32_t signature, std::uint64_t offset)
{
    GUID id{};
    id.Data1 = signature;
    for (int i = 0; i < 8; ++i) id.Data4[i] = static_cast<std::uint8_t>(offset >> (8 * i));
    return id;
}

}  // namespace

GUID DerivedGuid(const std::string& seed)
{
    // FNV-1a over the seed, twice with different tails, shaped as a random GUID.
    auto hash = [&](char tail) {
        std::uint64_t h = 0xCBF29CE484222325ull;
        for (char c : seed + tail) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
        return h;
    };
    const std::uint64_t a = hash('a');
    const std::uint64_t b = hash('b');
    GUID guid{};
    guid.Data1 = static_cast<std::uint32_t>(a >> 32);
    guid.Data2 = static_cast<std::uint16_t>(a >> 16);
    guid.Data3 = static_cast<std::uint16_t>((a & 0x0FFF) | 0x4000);
    for (int i = 0; i < 8; ++i) guid.Data4[i] = static_cast<std::uint8_t>(b >> (8 * i));
    guid.Data4[0] = static_cast<std::uint8_t>((guid.Data4[0] & 0x3F) | 0x80);
    return guid;
}

namespace {

PartitionStyle ReadStyle(const Node& node)
{
    static const std::pair<const char*, PartitionStyle> styles[] = {
        {"gpt", PartitionStyle::Gpt}, {"mbr", PartitionStyle::Mbr}, {"raw", PartitionStyle::Raw}};
    if (node.value.is_string())
        for (const auto& [name, style] : styles)
            if (node.value.get<std::string>() == name) return style;
    node.Expected("\"gpt\", \"mbr\" or \"raw\"");
    return PartitionStyle::Raw;
}

// The disk-wide keys of the style, over what Windows would have made up.
void ReadDiskKeys(ObjectReader& r, const LayoutContext& disk, DriveLayout& layout)
{
    layout.diskId = DerivedGuid(disk.seed + "#disk");
    layout.signature = DerivedGuid(disk.seed + "#signature").Data1;
    if (layout.style == PartitionStyle::Gpt) {
        r.Optional("diskId", [&](const Node& n) { layout.diskId = ReadGuid(n); });
        layout.startingUsableOffset = 2ull * disk.bytesPerSector + 16384;
        const std::uint64_t reserved = layout.startingUsableOffset + 16384 + disk.bytesPerSector;
        layout.usableLength = disk.sizeBytes > reserved ? disk.sizeBytes - reserved : 0;
    }
    if (layout.style == PartitionStyle::Mbr) {
        r.Optional("signature", [&](const Node& n) {
            layout.signature = static_cast<std::uint32_t>(ReadNumber(n, 0xFFFFFFFF, "an unsigned 32-bit integer"));
        });
        r.Optional("checksum", [&](const Node& n) {
            layout.checksum = static_cast<std::uint32_t>(ReadNumber(n, 0xFFFFFFFF, "an unsigned 32-bit integer"));
        });
    }
}

// One entry of "partitions" as given; `idGiven` tells whether it named its id.
PartitionModel ReadPartition(const Node& item, PartitionStyle style, std::uint32_t number, std::uint64_t offset,
                             bool& idGiven)
{
    PartitionModel partition;
    partition.number = number;
    partition.startingOffset = offset;
    partition.type = *GuidFromText(kKinds[2].typeGuid);
    partition.name = Widen(kKinds[2].gptName);
    idGiven = false;
    ReadObject(item, [&](ObjectReader& p) {
        p.Optional("number", [&](const Node& n) {
            Read(n, partition.number);
            if (partition.number == 0) n.Expected("a partition number from 1");
        });
        p.Optional("offset", partition.startingOffset);
        p.Required("length", partition.length);
        p.Optional("type", [&](const Node& n) { ReadType(n, style, partition); });
        p.Optional("id", [&](const Node& n) {
            partition.id = ReadGuid(n);
            idGiven = true;
        });
        if (style == PartitionStyle::Gpt) {
            p.Optional("name", [&](const Node& n) {
                std::string name;
                Read(n, name);
                partition.name = Widen(name);
                if (partition.name.size() > 36) n.Expected("a name of at most 36 characters");
            });
            p.Optional("attributes", [&](const Node& n) {
                partition.attributes = ReadNumber(n, UINT64_MAX, "an unsigned 64-bit integer");
            });
        } else {
            p.Optional("bootIndicator", partition.bootIndicator);
        }
    });
    return partition;
}

// Refuses a partition that is not on whole sectors, runs past the disk or
// overlaps one read before it.
void CheckPlacement(const Node& list, const Node& item, const PartitionModel& partition, const DriveLayout& layout,
                    const LayoutContext& disk)
{
    if (partition.startingOffset % disk.bytesPerSector != 0)
        RefuseKey(item, "offset", "expected an offset in whole sectors of " + std::to_string(disk.bytesPerSector) + " bytes");
    if (partition.startingOffset > disk.sizeBytes || partition.length > disk.sizeBytes - partition.startingOffset)
        RefuseKey(item, "length", "expected a partition that ends within the disk's " + std::to_string(disk.sizeBytes) + " bytes");
    for (std::size_t k = 0; k < layout.partitions.size(); ++k) {
        const PartitionModel& other = layout.partitions[k];
        if (partition.startingOffset < other.startingOffset + other.length &&
            other.startingOffset < partition.startingOffset + partition.length)
            RefuseKey(item, "offset", "expected a partition that overlaps no other (it overlaps " + list.path + "[" + std::to_string(k) + "])");
    }
}

// What Windows fills in itself: identifiers not given, and for MBR the hidden
// sectors in place of a name and type GUID.
void CompletePartition(PartitionModel& partition, bool idGiven, const DriveLayout& layout, const LayoutContext& disk)
{
    const bool gpt = layout.style == PartitionStyle::Gpt;
    if (!idGiven)
        partition.id = gpt ? DerivedGuid(disk.seed + "#partition" + std::to_string(partition.number))
                           : MbrPartitionId(layout.signature, partition.startingOffset);
    if (layout.style == PartitionStyle::Mbr) {
        partition.name.clear();
        partition.type = GUID{};
        partition.hiddenSectors = static_cast<std::uint32_t>(partition.startingOffset / disk.bytesPerSector);
    }
}

void ReadPartitions(const Node& list, const LayoutContext& disk, DriveLayout& layout)
{
    if (layout.style == PartitionStyle::Raw) list.Expected("no partitions on a raw disk");
    std::map<std::uint32_t, std::string> numbers;
    std::uint64_t next = kFirstPartitionOffset;
    ReadArray(list, [&](const Node& item) {
        bool idGiven = false;
        PartitionModel partition =
            ReadPartition(item, layout.style, static_cast<std::uint32_t>(layout.partitions.size() + 1), next, idGiven);
        const auto [taken, fresh] = numbers.emplace(partition.number, item.path);
        if (!fresh)
            RefuseKey(item, "number", "expected a partition number not used before (" + std::to_string(partition.number) + " is taken by " + taken->second + ")");
        CheckPlacement(list, item, partition, layout, disk);
        CompletePartition(partition, idGiven, layout, disk);
        // Windows starts partitions on whole mebibytes.
        const std::uint64_t end = partition.startingOffset + partition.length;
        next = (end + kFirstPartitionOffset - 1) / kFirstPartitionOffset * kFirstPartitionOffset;
        layout.partitions.push_back(std::move(partition));
    });
}

}  // namespace

DriveLayout ReadLayout(const Node& node, const LayoutContext& disk)
{
    DriveLayout layout;
    // The style decides which keys a layout takes, so it is needed first.
    if (node.value.is_object() && !node.value.contains("style"))
        RefuseKey(node, "style", "missing, expected \"gpt\", \"mbr\" or \"raw\"");
    ReadObject(node, [&](ObjectReader& r) {
        r.Required(
            "style", [&](const Node& n) { layout.style = ReadStyle(n); }, "\"gpt\", \"mbr\" or \"raw\"");
        ReadDiskKeys(r, disk, layout);
        r.Optional("partitions", [&](const Node& list) { ReadPartitions(list, disk, layout); });
    });
    return layout;
}

}  // namespace sim::load
