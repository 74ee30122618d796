// The WMI classes the simulated machine derives from its hardware: their
// values agree with what the devices answer, and each property comes with the
// type WMI gives it.
#include <gtest/gtest.h>

#include <numeric>

#include "PlatformCalls.h"
#include "SimMachineFixture.h"
#include "WmiRows.h"

namespace sim_test {
namespace {

using platform::WmiInstance;

const wchar_t* const kStorage = L"root\\microsoft\\windows\\storage";
const wchar_t* const kPerf = L"Win32_PerfFormattedData_PerfDisk_PhysicalDisk";

class DerivedClasses : public SimMachineFixture {
protected:
    std::vector<WmiInstance> Rows(const wchar_t* nameSpace, const wchar_t* className)
    {
        const auto answer = machine.WmiInstances(nameSpace, className);
        EXPECT_EQ(answer.result, S_OK);
        return answer.instances;
    }
};

TEST_F(DerivedClasses, PhysicalDisksCarryNumberMediaBusSizeAndSpindleSpeed)
{
    Describe(R"({"disks": [
        {"number": 3, "model": "Solid", "serial": "SS1", "firmware": "F1", "pnpDeviceId": "P3", "sizeBytes": 512110190592,
         "ata": {"rotationRate": 1}},
        {"number": 0, "model": "Spinning", "pnpDeviceId": "P0", "sizeBytes": 2000398934016, "ata": {"rotationRate": 5400},
         "layout": {"style": "mbr", "partitions": [{"length": 1048576000}, {"length": 2097152}]}},
        {"number": 1, "model": "Fast", "pnpDeviceId": "P1", "sizeBytes": 1024209543168, "nvme": {}, "vendor": "Maker"},
        {"number": 2, "model": "Stick", "pnpDeviceId": "P2", "interfaceType": "USB", "sizeBytes": 64023257088},
        {"number": 4, "model": "Persistent", "pnpDeviceId": "P4", "sizeBytes": 1000000000, "mediaType": "scm",
         "busType": 18}]})");
    const auto rows = Rows(kStorage, L"MSFT_PhysicalDisk");
    ASSERT_EQ(rows.size(), 5u);
    const wchar_t* ids[] = {L"3", L"0", L"1", L"2", L"4"};
    const wchar_t* media[] = {L"4", L"3", L"4", L"0", L"5"};
    const wchar_t* buses[] = {L"11", L"11", L"17", L"7", L"18"};
    const wchar_t* speeds[] = {L"0", L"5400", L"0", L"4294967295", L"0"};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(Text(rows[i], L"DeviceId"), ids[i]) << i;
        EXPECT_EQ(Text(rows[i], L"MediaType"), media[i]) << i;
        EXPECT_EQ(Text(rows[i], L"BusType"), buses[i]) << i;
        EXPECT_EQ(Text(rows[i], L"SpindleSpeed"), speeds[i]) << i;
    }
    EXPECT_EQ(Text(rows[0], L"FriendlyName"), L"Solid");
    EXPECT_EQ(Text(rows[0], L"SerialNumber"), L"SS1");
    EXPECT_EQ(Text(rows[0], L"FirmwareVersion"), L"F1");
    EXPECT_EQ(Text(rows[0], L"Size"), L"512110190592");
    EXPECT_EQ(Text(rows[0], L"Manufacturer"), L"<null>");
    EXPECT_EQ(Text(rows[2], L"Manufacturer"), L"Maker");
    EXPECT_EQ(Text(rows[1], L"AllocatedSize"), L"1050673152");

    EXPECT_EQ(Delivered(rows[0], L"DeviceId"), VT_BSTR);
    EXPECT_EQ(Delivered(rows[0], L"MediaType"), VT_I4);
    EXPECT_EQ(Delivered(rows[0], L"BusType"), VT_I4);
    EXPECT_EQ(Delivered(rows[0], L"SpindleSpeed"), VT_I4);
    EXPECT_EQ(Delivered(rows[0], L"Size"), VT_BSTR);
    EXPECT_EQ(Delivered(rows[0], L"CanPool"), VT_BOOL);
    EXPECT_EQ(Delivered(rows[0], L"OperationalStatus"), VT_ARRAY | VT_I4);

    // Win32_DiskDrive counts the partitions of the layout.
    const auto drives = Rows(L"root\\cimv2", L"Win32_DiskDrive");
    ASSERT_EQ(drives.size(), 5u);
    EXPECT_EQ(Text(drives[1], L"Partitions"), L"2");
    EXPECT_EQ(Text(drives[0], L"Partitions"), L"0");
}

TEST_F(DerivedClasses, PerformanceRowsAreNamedByNumberAndLettersAndEndWithTotal)
{
    Describe(R"({"disks": [
        {"number": 2, "model": "C", "pnpDeviceId": "P2", "sizeBytes": 1000000000,
         "perf": {"percentIdleTime": 30, "percentDiskReadTime": 50, "percentDiskWriteTime": 70,
                  "diskReadBytesPersec": 1048576, "diskWriteBytesPersec": 5}},
        {"number": 0, "model": "A", "pnpDeviceId": "P0", "sizeBytes": 1000000000,
         "layout": {"style": "gpt", "partitions": [{"length": 1048576}]},
         "perf": {"percentIdleTime": 90, "percentDiskReadTime": 4, "percentDiskWriteTime": 5,
                  "diskReadBytesPersec": 1048575, "diskWriteBytesPersec": 7}},
        {"number": 1, "model": "B", "pnpDeviceId": "P1", "sizeBytes": 1000000000,
         "layout": {"style": "mbr", "partitions": [{"length": 1048576}, {"length": 1048576}]},
         "perf": {"percentIdleTime": 61, "diskReadBytesPersec": 18446744073709551615}}],
        "volumes": [{"letter": "E", "disk": 1, "partition": 2}, {"letter": "C", "disk": 0, "partition": 1},
                    {"letter": "D", "disk": 1, "partition": 1}, {"letter": "Z", "disk": null}]})");
    const auto rows = Rows(L"root\\cimv2", kPerf);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(Text(rows[0], L"Name"), L"0 C:");
    EXPECT_EQ(Text(rows[1], L"Name"), L"1 D: E:");
    EXPECT_EQ(Text(rows[2], L"Name"), L"2");
    EXPECT_EQ(Text(rows[3], L"Name"), L"_Total");
    EXPECT_EQ(Text(rows[0], L"PercentIdleTime"), L"90");
    EXPECT_EQ(Text(rows[0], L"PercentDiskReadTime"), L"4");
    EXPECT_EQ(Text(rows[0], L"PercentDiskWriteTime"), L"5");
    EXPECT_EQ(Text(rows[0], L"DiskReadBytesPersec"), L"1048575");
    EXPECT_EQ(Text(rows[0], L"DiskWriteBytesPersec"), L"7");
    EXPECT_EQ(Text(rows[1], L"DiskReadBytesPersec"), L"18446744073709551615");
    EXPECT_EQ(Text(rows[1], L"PercentDiskReadTime"), L"0");
    EXPECT_EQ(Text(rows[2], L"PercentDiskTime"), L"100");  // read and write, capped
    // _Total: percentages averaged (rounded down), rates added up.
    EXPECT_EQ(Text(rows[3], L"PercentIdleTime"), L"60");
    EXPECT_EQ(Text(rows[3], L"PercentDiskReadTime"), L"18");
    EXPECT_EQ(Text(rows[3], L"PercentDiskWriteTime"), L"25");
    EXPECT_EQ(Text(rows[3], L"DiskWriteBytesPersec"), L"12");
    EXPECT_EQ(Text(rows[3], L"DiskReadBytesPersec"), L"18446744073709551615");  // held at the largest count
    for (const wchar_t* counter : {L"PercentIdleTime", L"PercentDiskReadTime", L"PercentDiskWriteTime",
                                   L"DiskReadBytesPersec", L"DiskWriteBytesPersec"})
        EXPECT_EQ(Delivered(rows[0], counter), VT_BSTR) << counter;
    EXPECT_EQ(Delivered(rows[0], L"Name"), VT_BSTR);

    Describe("{}");
    const auto empty = Rows(L"root\\cimv2", kPerf);
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(Text(empty[0], L"Name"), L"_Total");
}

TEST_F(DerivedClasses, SmartRowsHoldTheSectorTheDriveAnswersUnderWmiInstanceNames)
{
    Describe(R"({"disks": [
        {"number": 0, "model": "A", "pnpDeviceId": "SCSI\\DISK&VEN_&PROD_QUORLIN_QS500_SA\\4&2A5D4A4C&0&000000",
         "sizeBytes": 1000000000,
         "ata": {"smart": {"attributes": [{"id": 9, "current": 99, "raw": 4213}, {"id": 194, "raw": 33}],
                           "thresholds": [{"id": 9, "threshold": 0}]}}},
        {"number": 1, "model": "NoSmart", "pnpDeviceId": "P1", "sizeBytes": 1000000000, "ata": {"smart": {"supported": false}}},
        {"number": 2, "model": "Fast", "pnpDeviceId": "P2", "sizeBytes": 1000000000, "nvme": {}},
        {"number": 3, "model": "Bridge", "pnpDeviceId": "USBSTOR\\DISK&VEN_KESTREL&PROD_KU64&REV_1.00\\070B3C4D5E6F&0",
         "sizeBytes": 1000000000, "ata": {}},
        {"number": 4, "model": "Named", "pnpDeviceId": "IDE\\DISKNAMED\\5&AB", "sizeBytes": 1000000000, "ata": {},
         "wmiInstanceName": "ide\\disknamed\\5&ab_7"}]})");
    const auto rows = Rows(L"root\\WMI", L"MSStorageDriver_ATAPISmartData");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(Text(rows[0], L"InstanceName"), L"SCSI\\Disk&Ven_&Prod_QUORLIN_QS500_SA\\4&2a5d4a4c&0&000000_0");
    EXPECT_EQ(Text(rows[1], L"InstanceName"), L"USBSTOR\\Disk&Ven_KESTREL&Prod_KU64&Rev_1.00\\070b3c4d5e6f&0_0");
    EXPECT_EQ(Text(rows[2], L"InstanceName"), L"ide\\disknamed\\5&ab_7");

    // VendorSpecific is the very sector SMART READ DATA returns.
    Device disk(L"\\\\.\\PhysicalDrive0");
    std::vector<std::uint8_t> sector;
    std::uint8_t status = 0xFF;
    ASSERT_TRUE(disk.SmartSector(0xD0, sector, status));
    ASSERT_EQ(status, 0);
    const auto vendorSpecific = ByteArray(rows[0], L"VendorSpecific");
    EXPECT_EQ(vendorSpecific, sector);
    EXPECT_EQ(vendorSpecific[2], 9);
    EXPECT_EQ(Text(rows[0], L"Checksum"), std::to_wstring(sector[511]));
    EXPECT_EQ(Text(rows[0], L"OfflineCollectionStatus"), std::to_wstring(sector[362]));
    EXPECT_EQ(Text(rows[0], L"SmartCapability"), std::to_wstring(sector[368] | sector[369] << 8));
    EXPECT_EQ(Text(rows[0], L"Active"), L"true");
    EXPECT_EQ(Text(rows[0], L"Length"), L"512");

    EXPECT_EQ(Delivered(rows[0], L"VendorSpecific"), VT_ARRAY | VT_UI1);
    EXPECT_EQ(Delivered(rows[0], L"Checksum"), VT_UI1);
    EXPECT_EQ(Delivered(rows[0], L"Active"), VT_BOOL);
    EXPECT_EQ(Delivered(rows[0], L"SmartCapability"), VT_I4);
    EXPECT_EQ(Delivered(rows[0], L"Length"), VT_I4);
    EXPECT_EQ(Delivered(rows[0], L"InstanceName"), VT_BSTR);
}

TEST_F(DerivedClasses, DerivedRowsTakeTheDescriptionsRowEdits)
{
    const std::string disks = R"("disks": [
        {"number": 0, "model": "A", "pnpDeviceId": "P0", "sizeBytes": 1000000000, "ata": {"rotationRate": 1}},
        {"number": 1, "model": "B", "pnpDeviceId": "P1", "sizeBytes": 1000000000, "ata": {"rotationRate": 7200}}])";
    Describe("{" + disks + R"(, "wmi": {
        "root\\microsoft\\windows\\storage": {"classes": {"msft_physicaldisk": {"rows": [
            {"edit": 0, "set": {"MediaType": 3}}, {"copy": 1, "set": {"DeviceId": "0"}}]}}},
        "root\\cimv2": {"classes": {"Win32_PerfFormattedData_PerfDisk_PhysicalDisk": {"rows": [{"drop": 2}]}}},
        "root\\WMI": {"classes": {"MSStorageDriver_ATAPISmartData": {"fail": "0x80041010"}}}}})");
    const auto disksRows = Rows(kStorage, L"MSFT_PhysicalDisk");
    ASSERT_EQ(disksRows.size(), 3u);
    EXPECT_EQ(Text(disksRows[0], L"MediaType"), L"3");
    EXPECT_EQ(Delivered(disksRows[0], L"MediaType"), VT_I4);  // a bare value takes the declared type
    EXPECT_EQ(Text(disksRows[2], L"DeviceId"), L"0");
    EXPECT_EQ(Text(disksRows[2], L"MediaType"), L"3");
    const auto perf = Rows(L"root\\cimv2", kPerf);
    ASSERT_EQ(perf.size(), 2u);
    EXPECT_EQ(Text(perf[1], L"Name"), L"1");
    EXPECT_EQ(machine.WmiInstances(L"root\\WMI", L"MSStorageDriver_ATAPISmartData").result,
              static_cast<HRESULT>(0x80041010));

    try {
        sim::ParseDescription("{" + disks + R"(, "wmi": {"root\\WMI": {"classes": {"MSStorageDriver_ATAPISmartData":
            {"rows": [{"edit": 2, "set": {"Active": false}}]}}}}})");
        FAIL() << "a row the class does not derive must be refused";
    } catch (const sim::DescriptionError& error) {
        EXPECT_EQ(error.Path(), "$.wmi[\"root\\WMI\"].classes.MSStorageDriver_ATAPISmartData.rows[0].edit");
        EXPECT_NE(std::string(error.what()).find("derives 2 rows"), std::string::npos) << error.what();
    }
}

}  // namespace
}  // namespace sim_test
