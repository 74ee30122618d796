// "faults" of a disk or volume: how far it opens, and the requests it fails.
//
//   "faults": { "access": "readWrite" | "readOnly" | "none", "openError": 5,
//               "requests": [ { "ioctl": "IOCTL_SCSI_PASS_THROUGH_DIRECT", "command": "0xB0",
//                               "feature": "0xD1", "property": 0, "kind": "fail" | "zeroData" | "refuse",
//                               "error": 31 } ] }
#include <cctype>

#include "Sections.h"
#include "Values.h"

namespace sim::load {

namespace {

struct IoctlName {
    const char* name;
    DWORD code;
};

const IoctlName kIoctls[] = {
    {"IOCTL_STORAGE_GET_DEVICE_NUMBER", IOCTL_STORAGE_GET_DEVICE_NUMBER},
    {"IOCTL_STORAGE_QUERY_PROPERTY", IOCTL_STORAGE_QUERY_PROPERTY},
    {"IOCTL_ATA_PASS_THROUGH_DIRECT", IOCTL_ATA_PASS_THROUGH_DIRECT},
    {"IOCTL_SCSI_PASS_THROUGH_DIRECT", IOCTL_SCSI_PASS_THROUGH_DIRECT},
    {"IOCTL_DISK_GET_DRIVE_GEOMETRY", IOCTL_DISK_GET_DRIVE_GEOMETRY},
    {"IOCTL_DISK_GET_DRIVE_LAYOUT_EX", IOCTL_DISK_GET_DRIVE_LAYOUT_EX},
    {"IOCTL_DISK_GET_PARTITION_INFO_EX", IOCTL_DISK_GET_PARTITION_INFO_EX},
    {"IOCTL_DISK_PERFORMANCE", IOCTL_DISK_PERFORMANCE},
};

std::string Upper(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

DWORD ReadIoctl(const Node& node)
{
    const std::string expected =
        "an I/O control code: a number, or IOCTL_STORAGE_GET_DEVICE_NUMBER, IOCTL_STORAGE_QUERY_PROPERTY, "
        "IOCTL_ATA_PASS_THROUGH_DIRECT, IOCTL_SCSI_PASS_THROUGH_DIRECT, IOCTL_DISK_GET_DRIVE_GEOMETRY, "
        "IOCTL_DISK_GET_DRIVE_LAYOUT_EX, IOCTL_DISK_GET_PARTITION_INFO_EX or IOCTL_DISK_PERFORMANCE";
    if (node.value.is_string()) {
        const std::string name = Upper(node.value.get<std::string>());
        for (const auto& known : kIoctls)
            if (name == known.name) return known.code;
        if (name.rfind("0X", 0) != 0) node.Expected(expected);
    }
    return static_cast<DWORD>(ReadNumber(node, 0xFFFFFFFF, expected));
}

RequestFault ReadRequestFault(const Node& node)
{
    static const std::pair<const char*, FaultKind> kinds[] = {
        {"fail", FaultKind::Fail}, {"zeroData", FaultKind::ZeroData}, {"refuse", FaultKind::Refuse}};
    RequestFault fault;
    ReadObject(node, [&](ObjectReader& r) {
        r.Required(
            "ioctl", [&](const Node& n) { fault.code = ReadIoctl(n); }, "an I/O control code");
        r.Optional("command", [&](const Node& n) {
            fault.command = static_cast<std::uint8_t>(ReadNumber(n, 0xFF, "a command or operation code byte"));
        });
        r.Optional("feature", [&](const Node& n) {
            fault.feature = static_cast<std::uint8_t>(ReadNumber(n, 0xFF, "a feature register byte"));
        });
        r.Optional("property", [&](const Node& n) {
            fault.property = static_cast<DWORD>(ReadNumber(n, 0xFFFFFFFF, "a storage property id"));
        });
        r.Optional("kind", [&](const Node& n) { fault.kind = ReadChoice(n, kinds); });
        r.Optional("error", [&](const Node& n) { fault.error = ReadWin32Error(n); });
    });
    return fault;
}

}  // namespace

DeviceFaults ReadFaults(const Node& node)
{
    static const std::pair<const char*, OpenAccess> access[] = {
        {"readWrite", OpenAccess::ReadWrite}, {"readOnly", OpenAccess::ReadOnly}, {"none", OpenAccess::None}};
    DeviceFaults faults;
    ReadObject(node, [&](ObjectReader& r) {
        r.Optional("access", [&](const Node& n) { faults.access = ReadChoice(n, access); });
        r.Optional("openError", [&](const Node& n) { faults.openError = ReadWin32Error(n); });
        r.Optional("requests", [&](const Node& n) {
            ReadArray(n, [&](const Node& item) { faults.requests.push_back(ReadRequestFault(item)); });
        });
    });
    return faults;
}

}  // namespace sim::load
