// Reading the hardware sections of a machine description: what each key
// becomes, and the refusals, each naming the JSON path of its fault.
#include <gtest/gtest.h>

#include "WmiRows.h"
#include "sim/DescriptionLoader.h"

namespace {

using sim::DescriptionError;
using sim::ParseDescription;
using sim_test::Refusal;

// A description of one disk with `keys` added to it, and `rest` at the top level.
std::string OneDisk(const std::string& keys, const std::string& rest = "")
{
    return R"({"disks": [{"number": 0, "model": "M", "pnpDeviceId": "P", "sizeBytes": 1000000000)" +
           (keys.empty() ? "" : ", " + keys) + "}]" + (rest.empty() ? "" : ", " + rest) + "}";
}

TEST(HardwareDescription, FillsEveryHardwareDefaultFromTheDisksKeys)
{
    const auto description = ParseDescription(R"({"disks": [
        {"number": 5, "model": "Alpha", "serial": "S5", "firmware": "F5", "pnpDeviceId": "IDE\\DISKALPHA\\5&1A",
         "sizeBytes": 8225280000, "bytesPerSector": 4096, "ata": {"rotationRate": "0x1C20"}},
        {"number": 6, "model": "Beta", "serial": "S6", "firmware": "F6", "pnpDeviceId": "N6", "sizeBytes": 4096,
         "nvme": {"identify": {"tnvmcap": {"low": 1, "high": 2}}}, "busType": "nvme"}]})");
    const sim::DiskDescription& alpha = description.disks[0];
    const sim::DiskModel& hw = alpha.hardware;
    EXPECT_EQ(hw.number, 5u);
    EXPECT_EQ(hw.instanceId, L"IDE\\DISKALPHA\\5&1A");
    EXPECT_EQ(hw.interfacePath, L"\\\\?\\ide#diskalpha#5&1a#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}");
    EXPECT_EQ(hw.descriptor.busType, BusTypeSata);
    EXPECT_EQ(hw.descriptor.vendor, "");
    EXPECT_EQ(hw.descriptor.product, "Alpha");
    EXPECT_EQ(hw.descriptor.revision, "F5");
    EXPECT_EQ(hw.descriptor.serial, "S5");
    EXPECT_EQ(hw.geometry.bytesPerSector, 4096u);
    EXPECT_EQ(hw.geometry.cylinders, 8225280000 / (255 * 63 * 4096));
    ASSERT_TRUE(hw.ata.has_value());
    EXPECT_EQ(hw.ata->identity.model, "Alpha");
    EXPECT_EQ(hw.ata->identity.serial, "S5");
    EXPECT_EQ(hw.ata->identity.firmware, "F5");
    EXPECT_EQ(hw.ata->identity.word217, 7200u);
    EXPECT_EQ(hw.ata->identity.sectors, 8225280000u / 4096);
    EXPECT_EQ(hw.layout.style, sim::PartitionStyle::Raw);
    EXPECT_EQ(alpha.mediaType, sim::MediaType::Hdd);
    EXPECT_EQ(alpha.wmiInstanceName, L"IDE\\DiskALPHA\\5&1a_0");
    EXPECT_EQ(alpha.perf.percentIdleTime, 100u);

    const sim::DiskDescription& beta = description.disks[1];
    ASSERT_TRUE(beta.hardware.nvme.has_value());
    EXPECT_EQ(beta.hardware.descriptor.vendor, "NVMe");
    EXPECT_EQ(beta.hardware.nvme->busType, static_cast<DWORD>(BusTypeNvme));
    EXPECT_EQ(beta.hardware.nvme->identify.sn, "S6");
    EXPECT_EQ(beta.hardware.nvme->identify.mn, "Beta");
    EXPECT_EQ(beta.hardware.nvme->identify.fr, "F6");
    EXPECT_EQ(beta.hardware.nvme->identify.tnvmcap.low, 1u);
    EXPECT_EQ(beta.hardware.nvme->identify.tnvmcap.high, 2u);
    EXPECT_EQ(beta.mediaType, sim::MediaType::Ssd);
    EXPECT_EQ(description.disks[1].hardware.geometry.cylinders, 0);
}

TEST(HardwareDescription, RefusesHardwareKeysThatDoNotFitWithTheirPath)
{
    const std::pair<std::string, std::string> cases[] = {
        {OneDisk(R"("ata": {}, "nvme": {})"), "$.disks[0].nvme: expected either \"ata\" or \"nvme\", not both"},
        {OneDisk(R"("busType": "Firewire")"), "$.disks[0].busType: expected a bus type"},
        {OneDisk(R"("busType": 128)"), "$.disks[0].busType: expected a bus type"},
        {OneDisk(R"("busType": "Sata", "nvme": {"busType": "RAID"})"), "$.disks[0].nvme.busType: expected the disk's own bus type"},
        {OneDisk(R"("mediaType": "Tape")"), "$.disks[0].mediaType: expected \"HDD\", \"SSD\", \"SCM\" or \"Unspecified\""},
        {OneDisk(R"("interfacePath": "")"), "$.disks[0].interfacePath: expected an interface path, or null"},
        {OneDisk(R"("instanceId": 5)"), "$.disks[0].instanceId: expected a string"},
        {OneDisk(R"("geometry": {"tracksPerCylinder": 0})"), "$.disks[0].geometry.tracksPerCylinder: expected a number above 0"},
        {OneDisk(R"("perf": {"idle": 5})"), "$.disks[0].perf.idle: unknown key"},
        {OneDisk(R"("ata": {"eppid": "123456789012345678901"})"), "$.disks[0].ata.eppid: expected a text of at most 20 characters"},
        {OneDisk(R"("ata": {"words": {"x": 1}})"), "$.disks[0].ata.words.x: expected a key that is a word number from 0 to 255"},
        {OneDisk(R"("ata": {"words": {"256": 1}})"), "$.disks[0].ata.words[\"256\"]: expected a key that is a word number"},
        {OneDisk(R"("ata": {"words": {"83": 65536}})"), "$.disks[0].ata.words[\"83\"]: expected an unsigned 16-bit integer"},
        {OneDisk(R"("ata": {"rotationRate": "fast"})"), "$.disks[0].ata.rotationRate: expected an unsigned 16-bit integer"},
        {OneDisk(R"("ata": {"eppid": "E", "logPages": {"0x9a": "00"}})"),
         "$.disks[0].ata.logPages[\"0x9a\"]: expected either \"eppid\" or log page 0x9A, not both"},
        {OneDisk(R"("ata": {"logPages": {"page": "00"}})"), "$.disks[0].ata.logPages.page: expected a key that is a log address"},
        {OneDisk(R"("ata": {"logPages": {"0xA0": "0g"}})"), "$.disks[0].ata.logPages[\"0xA0\"]: expected hex text of one or more bytes (\"g\" is no hex digit)"},
        {OneDisk(R"("ata": {"logPages": {"0xA0": "012"}})"), "$.disks[0].ata.logPages[\"0xA0\"]: expected hex text of one or more bytes (an odd number of digits)"},
        {OneDisk(R"("ata": {"smart": {"attributes": [{"id": 0}]}})"), "$.disks[0].ata.smart.attributes[0].id: expected an attribute id from 1 to 255"},
        {OneDisk(R"("ata": {"smart": {"attributes": [{"id": 9, "current": 256}]}})"), "$.disks[0].ata.smart.attributes[0].current: expected an unsigned 8-bit integer"},
        {OneDisk(R"("ata": {"smart": {"attributes": [{"id": 9, "raw": 281474976710656}]}})"), "$.disks[0].ata.smart.attributes[0].raw: expected a 48-bit raw value"},
        {OneDisk(R"("ata": {"smart": {"attributes": [{"id": 9, "raw": 1, "rawHex": "000000000000"}]}})"), "$.disks[0].ata.smart.attributes[0].rawHex: expected either \"raw\" or \"rawHex\", not both"},
        {OneDisk(R"("ata": {"smart": {"attributes": [{"id": 9, "rawHex": "0102"}]}})"), "$.disks[0].ata.smart.attributes[0].rawHex: expected hex text of 6 bytes, not 2"},
        {OneDisk(R"("ata": {"smart": {"thresholds": [{"threshold": 2}]}})"), "$.disks[0].ata.smart.thresholds[0].id: missing, expected an attribute id"},
        {OneDisk(R"("ata": {"smart": {"dataHex": "00"}})"), "$.disks[0].ata.smart.dataHex: expected hex text of 512 bytes, not 1"},
        {OneDisk(R"("ata": {"smart": {"attributes": [], "dataHex": "00"}})"), "$.disks[0].ata.smart.dataHex: expected either \"attributes\" or \"dataHex\", not both"},
        {OneDisk(R"("layout": {"style": "apm"})"), "$.disks[0].layout.style: expected \"gpt\", \"mbr\" or \"raw\""},
        {OneDisk(R"("layout": {"partitions": []})"), "$.disks[0].layout.style: missing, expected \"gpt\", \"mbr\" or \"raw\""},
        {OneDisk(R"("layout": {"style": "raw", "partitions": []})"), "$.disks[0].layout.partitions: expected no partitions on a raw disk"},
        {OneDisk(R"("layout": {"style": "gpt", "signature": 5})"), "$.disks[0].layout.signature: unknown key"},
        {OneDisk(R"("layout": {"style": "gpt", "partitions": [{"number": 0, "length": 1}]})"), "$.disks[0].layout.partitions[0].number: expected a partition number from 1"},
        {OneDisk(R"("layout": {"style": "gpt", "partitions": [{"length": 1048576}, {"number": 1, "length": 1}]})"),
         "$.disks[0].layout.partitions[1].number: expected a partition number not used before (1 is taken by $.disks[0].layout.partitions[0])"},
        {OneDisk(R"("layout": {"style": "gpt", "partitions": [{"length": 998951424}, {"length": 1}]})"),
         "$.disks[0].layout.partitions[1].length: expected a partition that ends within the disk's 1000000000 bytes"},
        {OneDisk(R"("layout": {"style": "gpt", "partitions": [{"length": 2097152}, {"offset": 2097152, "length": 1}]})"),
         "$.disks[0].layout.partitions[1].offset: expected a partition that overlaps no other (it overlaps $.disks[0].layout.partitions[0])"},
        {OneDisk(R"("layout": {"style": "gpt", "partitions": [{"offset": 1000, "length": 1}]})"), "$.disks[0].layout.partitions[0].offset: expected an offset in whole sectors of 512 bytes"},
        {OneDisk(R"("layout": {"style": "gpt", "partitions": [{"length": 1, "type": "fat"}]})"), "$.disks[0].layout.partitions[0].type: expected a partition type: \"efi\", \"msr\", \"basic\", \"recovery\" or a GUID"},
        {OneDisk(R"("layout": {"style": "mbr", "partitions": [{"length": 1, "type": "msr"}]})"), "$.disks[0].layout.partitions[0].type: expected a partition type: \"efi\", \"basic\", \"recovery\" or an MBR type byte"},
        {OneDisk(R"("layout": {"style": "mbr", "partitions": [{"length": 1, "name": "N"}]})"), "$.disks[0].layout.partitions[0].name: unknown key"},
        {OneDisk(R"("layout": {"style": "gpt", "partitions": [{"length": 1, "id": "not-a-guid"}]})"), "$.disks[0].layout.partitions[0].id: expected a GUID"},
        {OneDisk(R"("layout": {"style": "gpt", "partitions": [{"length": 1, "name": "0123456789012345678901234567890123456"}]})"),
         "$.disks[0].layout.partitions[0].name: expected a name of at most 36 characters"},
        {OneDisk(R"("faults": {"access": "writeOnly"})"), "$.disks[0].faults.access: expected one of \"readWrite\", \"readOnly\" or \"none\""},
        {OneDisk(R"("faults": {"requests": [{"ioctl": "IOCTL_DISK_FORMAT"}]})"), "$.disks[0].faults.requests[0].ioctl: expected an I/O control code"},
        {OneDisk(R"("faults": {"requests": [{"kind": "fail"}]})"), "$.disks[0].faults.requests[0].ioctl: missing, expected an I/O control code"},
        {OneDisk(R"("faults": {"requests": [{"ioctl": 1, "kind": "crash"}]})"), "$.disks[0].faults.requests[0].kind: expected one of \"fail\", \"zeroData\" or \"refuse\""},
        {OneDisk(R"("faults": {"requests": [{"ioctl": 1, "error": 0}]})"), "$.disks[0].faults.requests[0].error: expected a Win32 error code from 1 to 65535"},
        {OneDisk(R"("faults": {"requests": [{"ioctl": 1, "command": 256}]})"), "$.disks[0].faults.requests[0].command: expected a command or operation code byte"},
        {OneDisk(R"("nvme": {"identify": {"vidd": 1}})"), "$.disks[0].nvme.identify.vidd: unknown key"},
        {OneDisk(R"("nvme": {"identify": {"sn": "012345678901234567890"}})"), "$.disks[0].nvme.identify.sn: expected a text of at most 20 characters"},
        {OneDisk(R"("nvme": {"identify": {"ieee": 16777216}})"), "$.disks[0].nvme.identify.ieee: expected a 24-bit OUI"},
        {OneDisk(R"("nvme": {"identify": {"psd": [{"mp": 65536}]}})"), "$.disks[0].nvme.identify.psd[0].mp: expected an unsigned 16-bit integer"},
        {OneDisk(R"("nvme": {"identify": {"vendor": {"deviceCategory": [1, 2]}}})"), "$.disks[0].nvme.identify.vendor.deviceCategory: expected four category numbers"},
        {OneDisk(R"("nvme": {"identify": {"vendor": {"guid": "00"}}})"), "$.disks[0].nvme.identify.vendor.guid: expected hex text of 16 bytes, not 1"},
        {OneDisk(R"("nvme": {"identify": {}, "identifyHex": "00"})"), "$.disks[0].nvme.identifyHex: expected either \"identify\" or \"identifyHex\", not both"},
        {OneDisk(R"("nvme": {"identifyHex": "00"})"), "$.disks[0].nvme.identifyHex: expected hex text of 4096 bytes, not 1"},
        {OneDisk(R"("nvme": {"health": {"dataUnitsRead": "340282366920938463463374607431768211456"}})"), "$.disks[0].nvme.health.dataUnitsRead: expected a 128-bit counter"},
        {OneDisk(R"("nvme": {"health": {"tempSensor": [1, 2, 3, 4, 5, 6, 7, 8, 9]}})"), "$.disks[0].nvme.health.tempSensor: expected an array of at most 8 unsigned 16-bit integers"},
        {OneDisk(R"("nvme": {"faults": {"identify": 0}})"), "$.disks[0].nvme.faults.identify: expected a Win32 error code"},
        {OneDisk("", R"("volumes": [{"letter": "C", "disk": 7, "partition": 1}])"),
         "$.volumes[0].disk: expected the number of a disk of the machine (there is no disk 7), or null for a network share"},
        {OneDisk(R"("layout": {"style": "gpt", "partitions": [{"length": 1}, {"number": 3, "length": 1}]})", R"("volumes": [{"letter": "C", "disk": 0, "partition": 2}])"),
         "$.volumes[0].partition: expected the number of a partition of disk 0 (it has 1, 3)"},
        {OneDisk("", R"("volumes": [{"letter": "C", "disk": 0, "partition": 1}])"), "$.volumes[0].partition: expected the number of a partition of disk 0 (it has none)"},
        {OneDisk("", R"("volumes": [{"letter": "C", "disk": 0}])"), "$.volumes[0].partition: missing, expected the number of the partition"},
        {OneDisk("", R"("volumes": [{"letter": "Z", "disk": null, "partition": 1}])"), "$.volumes[0].partition: expected no partition for a network share"},
        {OneDisk("", R"("volumes": [{"letter": "Z"}])"), "$.volumes[0].disk: missing, expected a disk number, or null for a network share"},
        {OneDisk("", R"("volumes": [{"letter": "CD", "disk": null}])"), "$.volumes[0].letter: expected a drive letter from A to Z"},
        {OneDisk("", R"("volumes": [{"letter": "z:", "disk": null}, {"letter": "Z", "disk": null}])"),
         "$.volumes[1].letter: expected a letter not used before (Z is taken by $.volumes[0])"},
        {OneDisk("", R"("volumes": [{"letter": "Z", "disk": null, "counters": {"bytesRead": -1}}])"), "$.volumes[0].counters.bytesRead: expected a signed 64-bit integer from 0"},
        {OneDisk("", R"("interfaces": [{"instanceId": "X"}])"), "$.interfaces[0].path: missing, expected an interface path"},
        {OneDisk("", R"("interfaces": [{"path": "p", "index": -1}])"), "$.interfaces[0].index: expected an unsigned 32-bit integer"},
    };
    for (const auto& [json, expected] : cases) {
        const std::string refusal = Refusal(json);
        EXPECT_EQ(refusal.substr(0, expected.size()), expected) << json;
    }
}

}  // namespace
