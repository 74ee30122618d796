// "disks": one object per physical disk. The disk's own keys say what
// Win32_DiskDrive shows; the hardware keys say what the device answers. Every
// hardware default is derived from the disk's other keys here, so that the
// description a machine is built from is complete.
#include <cctype>
#include <map>

#include "Sections.h"
#include "Values.h"

namespace sim::load {

namespace {

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

MediaType ReadMediaType(const Node& node)
{
    static const std::pair<const char*, MediaType> names[] = {
        {"HDD", MediaType::Hdd}, {"SSD", MediaType::Ssd}, {"SCM", MediaType::Scm}, {"Unspecified", MediaType::Unspecified}};
    if (node.value.is_string()) {
        std::string text = node.value.get<std::string>();
        for (const auto& [name, type] : names) {
            std::string upperName = name, upperText = text;
            for (char& c : upperName) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            for (char& c : upperText) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (upperName == upperText) return type;
        }
    }
    node.Expected("\"HDD\", \"SSD\", \"SCM\" or \"Unspecified\"");
}

DiskGeometry ReadGeometry(const Node& node, const DiskDescription& disk)
{
    DiskGeometry geometry;
    geometry.bytesPerSector = disk.bytesPerSector;
    bool cylindersGiven = false;
    ReadObject(node, [&](ObjectReader& r) {
        r.Optional("cylinders", [&](const Node& n) {
            geometry.cylinders = static_cast<std::int64_t>(ReadNumber(n, INT64_MAX, "a signed 64-bit integer from 0"));
            cylindersGiven = true;
        });
        r.Optional("tracksPerCylinder", geometry.tracksPerCylinder);
        r.Optional("sectorsPerTrack", geometry.sectorsPerTrack);
        r.Optional("bytesPerSector", geometry.bytesPerSector);
        r.Optional("mediaType", geometry.mediaType);
        for (const char* key : {"tracksPerCylinder", "sectorsPerTrack", "bytesPerSector"})
            if (node.value.contains(key) && node.value.at(key) == 0) node.Member(key).Expected("a number above 0");
    });
    if (!cylindersGiven) geometry.cylinders = DefaultGeometry(disk.sizeBytes, geometry).cylinders;
    return geometry;
}

DiskPerformance ReadPerformance(const Node& node)
{
    DiskPerformance perf;
    ReadObject(node, [&](ObjectReader& r) {
        r.Optional("percentIdleTime", perf.percentIdleTime);
        r.Optional("percentDiskReadTime", perf.percentDiskReadTime);
        r.Optional("percentDiskWriteTime", perf.percentDiskWriteTime);
        r.Optional("diskReadBytesPersec", perf.diskReadBytesPersec);
        r.Optional("diskWriteBytesPersec", perf.diskWriteBytesPersec);
    });
    return perf;
}

STORAGE_BUS_TYPE DefaultBusType(const DiskDescription& disk)
{
    if (disk.hardware.nvme) return BusTypeNvme;
    std::string type = disk.interfaceType;
    for (char& c : type) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (type == "USB") return BusTypeUsb;
    if (disk.hardware.ata) return BusTypeSata;
    return BusTypeScsi;
}

MediaType DefaultMediaType(const DiskDescription& disk)
{
    if (disk.hardware.nvme) return MediaType::Ssd;
    if (!disk.hardware.ata) return MediaType::Unspecified;
    const AtaIdentity& id = disk.hardware.ata->identity;
    const auto given = id.words.find(217);
    const std::uint16_t rotation = given != id.words.end() ? given->second : id.word217;
    if (rotation == 1) return MediaType::Ssd;
    return rotation > 1 && rotation != 0xFFFF ? MediaType::Hdd : MediaType::Unspecified;
}

}  // namespace

DiskGeometry DefaultGeometry(std::uint64_t sizeBytes, DiskGeometry shape)
{
    const std::uint64_t cylinder =
        static_cast<std::uint64_t>(shape.tracksPerCylinder) * shape.sectorsPerTrack * shape.bytesPerSector;
    shape.cylinders = cylinder == 0 ? 0 : static_cast<std::int64_t>(sizeBytes / cylinder);
    return shape;
}

std::wstring DefaultInterfacePath(const std::string& pnpDeviceId)
{
    std::wstring path = Lower(Widen(pnpDeviceId));
    for (wchar_t& c : path)
        if (c == L'\\') c = L'#';
    return L"\\\\?\\" + path + L"#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";
}

std::wstring WmiLetterCase(const std::wstring& instanceId)
{
    // WMI's storage provider writes the device part in mixed case
    // ("Disk&Ven_X&Prod_Y") and the instance part in lower case.
    std::wstring text = instanceId;
    const auto first = text.find(L'\\');
    if (first == std::wstring::npos) return text;
    const auto second = text.find(L'\\', first + 1);
    const std::size_t deviceEnd = second == std::wstring::npos ? text.size() : second;
    auto recase = [&](std::size_t at, std::wstring_view upper, std::wstring_view mixed) {
        if (at + upper.size() <= deviceEnd && text.compare(at, upper.size(), upper) == 0)
            text.replace(at, upper.size(), mixed);
    };
    recase(first + 1, L"DISK", L"Disk");
    for (std::size_t at = first + 1; at < deviceEnd; ++at) {
        if (text[at] != L'&') continue;
        recase(at + 1, L"VEN_", L"Ven_");
        recase(at + 1, L"PROD_", L"Prod_");
        recase(at + 1, L"REV_", L"Rev_");
    }
    if (second != std::wstring::npos) text = text.substr(0, second) + Lower(text.substr(second));
    return text;
}

namespace {

// The keys whose default depends on others, as given (or not).
struct GivenKeys {
    std::optional<std::wstring> interfacePath, instanceId, wmiName;
    std::optional<STORAGE_BUS_TYPE> busType;
    NvmeDiskKeys nvme;
    std::optional<std::string> vendor, product, revision;
    std::optional<DiskGeometry> geometry;
    std::optional<MediaType> mediaType;
};

void ReadDiskKeys(const Node& item, ObjectReader& r, DiskDescription& disk, GivenKeys& given)
{
    DiskModel& hw = disk.hardware;
    r.Required("number", disk.number);
    r.Required("model", disk.model);
    r.Optional("serial", disk.serial);
    r.Optional("firmware", disk.firmware);
    r.Required("pnpDeviceId", disk.pnpDeviceId);
    r.Optional("interfaceType", disk.interfaceType);
    r.Required("sizeBytes", disk.sizeBytes);
    r.Optional("bytesPerSector", [&](const Node& n) {
        Read(n, disk.bytesPerSector);
        if (disk.bytesPerSector != 512 && disk.bytesPerSector != 4096) n.Expected("512 or 4096");
    });
    const auto text = [](std::optional<std::wstring>& out) {
        return [&out](const Node& n) {
            std::string value;
            Read(n, value);
            out = Widen(value);
        };
    };
    r.Optional("interfacePath", [&](const Node& n) {
        if (n.value.is_null()) return void(given.interfacePath = std::wstring());
        text(given.interfacePath)(n);
        if (given.interfacePath->empty()) n.Expected("an interface path, or null for a disk without one");
    });
    r.Optional("instanceId", text(given.instanceId));
    r.Optional("wmiInstanceName", text(given.wmiName));
    r.Optional("busType", [&](const Node& n) { given.busType = ReadBusType(n); });
    const auto narrow = [](std::optional<std::string>& out) {
        return [&out](const Node& n) { Read(n, out.emplace()); };
    };
    r.Optional("vendor", narrow(given.vendor));
    r.Optional("product", narrow(given.product));
    r.Optional("revision", narrow(given.revision));
    r.Optional("geometry", [&](const Node& n) { given.geometry = ReadGeometry(n, disk); });
    r.Optional("mediaType", [&](const Node& n) { given.mediaType = ReadMediaType(n); });
    if (item.value.contains("ata") && item.value.contains("nvme"))
        item.Member("nvme").Expected("either \"ata\" or \"nvme\", not both");
    r.Optional("ata", [&](const Node& n) { hw.ata = ReadAta(n, disk); });
    r.Optional("nvme", [&](const Node& n) { hw.nvme = ReadNvme(n, disk, given.nvme); });
    r.Optional("layout", [&](const Node& n) {
        hw.layout = ReadLayout(n, LayoutContext{disk.sizeBytes, disk.bytesPerSector, disk.pnpDeviceId});
    });
    r.Optional("faults", [&](const Node& n) { hw.faults = ReadFaults(n); });
    r.Optional("perf", [&](const Node& n) { disk.perf = ReadPerformance(n); });
}

// Refuses a number used before and two bus types that disagree.
void CheckDisk(const Node& item, const DiskDescription& disk, const GivenKeys& given,
               std::map<std::uint32_t, std::string>& numbers)
{
    const auto [taken, fresh] = numbers.emplace(disk.number, item.path);
    if (!fresh)
        item.Member("number").Expected("a disk number not used before (" + std::to_string(disk.number) +
                                       " is taken by " + taken->second + ")");
    if (given.busType && given.nvme.busType && *given.busType != *given.nvme.busType)
        item.Member("nvme").Member("busType").Expected("the disk's own bus type, " + std::to_string(*given.busType));
}

// Fills what was not given from what was.
void ApplyDefaults(DiskDescription& disk, const GivenKeys& given)
{
    DiskModel& hw = disk.hardware;
    hw.number = disk.number;
    hw.interfacePath = given.interfacePath.value_or(DefaultInterfacePath(disk.pnpDeviceId));
    hw.instanceId = given.instanceId.value_or(Widen(disk.pnpDeviceId));
    hw.descriptor.busType = given.busType.value_or(given.nvme.busType.value_or(DefaultBusType(disk)));
    hw.descriptor.vendor = given.vendor.value_or(hw.nvme ? "NVMe" : "");
    hw.descriptor.product = given.product.value_or(disk.model);
    hw.descriptor.revision = given.revision.value_or(disk.firmware);
    hw.descriptor.serial = disk.serial;
    DiskGeometry shape;
    shape.bytesPerSector = disk.bytesPerSector;
    hw.geometry = given.geometry.value_or(DefaultGeometry(disk.sizeBytes, shape));
    if (hw.nvme) hw.nvme->busType = hw.descriptor.busType;
    if (given.nvme.descriptorError) {
        // Ahead of the disk's own faults, so that it is the one met.
        RequestFault fault;
        fault.code = IOCTL_STORAGE_QUERY_PROPERTY;
        fault.property = StorageDeviceProperty;
        fault.error = *given.nvme.descriptorError;
        hw.faults.requests.insert(hw.faults.requests.begin(), fault);
    }
    disk.mediaType = given.mediaType.value_or(DefaultMediaType(disk));
    disk.wmiInstanceName = given.wmiName.value_or(
        WmiLetterCase(hw.instanceId.empty() ? Widen(disk.pnpDeviceId) : hw.instanceId) + L"_0");
}

}  // namespace

std::vector<DiskDescription> ReadDisks(const Node& node)
{
    std::vector<DiskDescription> disks;
    std::map<std::uint32_t, std::string> numbers;
    ReadArray(node, [&](const Node& item) {
        DiskDescription disk;
        GivenKeys given;
        ReadObject(item, [&](ObjectReader& r) { ReadDiskKeys(item, r, disk, given); });
        CheckDisk(item, disk, given, numbers);
        ApplyDefaults(disk, given);
        disks.push_back(std::move(disk));
    });
    return disks;
}

}  // namespace sim::load
