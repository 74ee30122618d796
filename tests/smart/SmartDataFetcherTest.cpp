// The SMART fetcher against described disks: the request blocks the disks
// receive, refusals and failures of each request, the bus check, the SSD
// rules, and the order and early stop of GetSmartInformation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "Common/SmartDataFetcher.h"
#include "Common/SmartDataProvider.h"
#include "SmartDescriptions.h"
#include "failure_reporting/ResultException.h"
#include "RaisedCode.h"

namespace smart_test {
namespace {

using Talvex::Quorlin::Cpp::Common::ResultException;
using Talvex::Quorlin::Cpp::Common::SmartDataCollection;
using Talvex::Quorlin::Cpp::Common::SmartDataFetcher;
using Talvex::Quorlin::Cpp::Common::SmartDataProvider;
using Talvex::Quorlin::Cpp::Common::HardwareAccessLib::DiskDriveMediaType;

std::wstring Drive(std::uint32_t n)
{
    return L"\\\\.\\PhysicalDrive" + std::to_wstring(n);
}

class SmartDataFetcherTest : public SmartTest {
protected:
    SmartDataCollection Collect(std::uint32_t n, const Bytes& vendorSpecific = {},
                                DiskDriveMediaType media = DiskDriveMediaType::Unknown)
    {
        SmartDataProvider provider;
        for (const auto& disk : provider.GetAllBasicDiskInfo({{n, media}}))
            if (disk.DeviceNumber == n) return provider.GetSmartInformation(disk, vendorSpecific);
        ADD_FAILURE() << "no disk " << n;
        return {};
    }
};

TEST_F(SmartDataFetcherTest, SmartReadsSendAtaPassThroughInAScsiBlockAndReturnTheSectors)
{
    Machine(json::array({SataDisk(0, "HDD", json::array({Attr(9, 99, 98, 1234), Attr(194, 100, 100, 35)}),
                                  json::array({Thr(9, 0), Thr(5, 36)}))}));
    const auto disk = machine.Disks()->Disk(0);
    SmartDataFetcher fetcher;
    std::uint8_t data[512];
    ASSERT_TRUE(fetcher.ReadSmartData(Drive(0), data));
    EXPECT_EQ(Bytes(data, data + 512), sim::SmartDataSector(*disk->Model().ata));
    ASSERT_TRUE(fetcher.ReadSmartThresholds(Drive(0), data));
    EXPECT_EQ(Bytes(data, data + 512), sim::SmartThresholdSector(*disk->Model().ata));

    const auto requests = disk->Requests(IOCTL_SCSI_PASS_THROUGH_DIRECT);
    ASSERT_EQ(requests.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const Bytes& in = requests[i].input;
        EXPECT_EQ(requests[i].inSize, 128u);
        EXPECT_EQ(requests[i].outSize, 128u);
        EXPECT_TRUE(requests[i].sameBuffer);
        // Length 56, CdbLength 16, SenseInfoLength 64, DataIn, 512 bytes, 60 s.
        EXPECT_EQ(Bytes(in.begin(), in.begin() + 24),
                  (Bytes{56, 0, 0, 0, 0, 0, 16, 64, 1, 0, 0, 0, 0, 2, 0, 0, 60, 0, 0, 0, 0, 0, 0, 0}));
        EXPECT_EQ(Bytes(in.begin() + 32, in.begin() + 36), (Bytes{64, 0, 0, 0}));  // SenseInfoOffset
        const std::uint8_t feature = i == 0 ? 0xD0 : 0xD1;
        EXPECT_EQ(Bytes(in.begin() + 36, in.begin() + 52),
                  (Bytes{0x85, 0x08, 0x0E, 0, feature, 0, 0x01, 0, 0, 0, 0x4F, 0, 0xC2, 0, 0xB0, 0}));
        EXPECT_TRUE(std::all_of(in.begin() + 52, in.end(), [](std::uint8_t b) { return b == 0; }));
    }
}

TEST_F(SmartDataFetcherTest, RefusedOrEmptyAnswersAreFalseAndFailuresRaiseTheLastError)
{
    const json attributes = json::array({Attr(9, 100, 100, 1)});
    json disks = json::array();
    for (std::uint32_t n = 0; n < 6; ++n) disks.push_back(SataDisk(n, "D", attributes));
    disks[0]["faults"]["requests"] = json::array({Fault("IOCTL_SCSI_PASS_THROUGH_DIRECT", "refuse", 0xB0)});
    disks[1]["faults"]["requests"] = json::array({Fault("IOCTL_SCSI_PASS_THROUGH_DIRECT", "zeroData", 0xB0)});
    disks[2]["faults"]["requests"] =
        json::array({Fault("IOCTL_SCSI_PASS_THROUGH_DIRECT", "fail", 0xB0, {{"error", ERROR_INVALID_FUNCTION}})});
    disks[3]["faults"]["access"] = "readOnly";
    disks[4]["ata"]["smart"]["enabled"] = false;
    disks[5]["faults"]["requests"] = json::array({Fault("IOCTL_SCSI_PASS_THROUGH_DIRECT", "refuse", 0x12)});  // INQUIRY
    Machine(disks);

    SmartDataFetcher fetcher;
    std::uint8_t data[512];
    EXPECT_FALSE(fetcher.ReadSmartData(Drive(0), data));
    EXPECT_FALSE(fetcher.ReadSmartThresholds(Drive(0), data));
    EXPECT_FALSE(fetcher.ReadSmartData(Drive(1), data));
    EXPECT_FALSE(fetcher.ReadSmartData(Drive(4), data));
    EXPECT_EQ(Raised([&] { fetcher.ReadSmartData(Drive(2), data); }), HRESULT_FROM_WIN32(ERROR_INVALID_FUNCTION));
    EXPECT_EQ(Raised([&] { fetcher.ReadSmartThresholds(Drive(3), data); }), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Raised([&] { fetcher.ReadSmartData(Drive(9), data); }), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    // The never-raising reader turns every one of these into false, and asks
    // INQUIRY first: a device that refuses it is not asked for SMART data.
    EXPECT_TRUE(fetcher.ReadSmartData(Drive(5), data));
    for (std::uint32_t n : {0u, 1u, 2u, 3u, 4u, 5u, 9u}) {
        SmartDataCollection c;
        EXPECT_FALSE(fetcher.TryReadSmartAttributes(Drive(n), c)) << n;
        EXPECT_FALSE(c.PowerOnHour.RawValue) << n;
    }
}

TEST_F(SmartDataFetcherTest, SmartCapableBusesFollowTheMaskAfterATwoStepDescriptorRead)
{
    json disks = json::array();
    for (int bus = 0; bus <= 20; ++bus) {
        disks.push_back(SataDisk(static_cast<std::uint32_t>(bus), "M"));
        disks.back()["busType"] = bus;
        disks.back()["revision"] = "";
    }
    disks.push_back(SataDisk(21, "M"));
    disks.back()["faults"]["requests"] =
        json::array({{{"ioctl", "IOCTL_STORAGE_QUERY_PROPERTY"}, {"kind", "fail"}, {"error", ERROR_NOT_READY}}});
    Machine(disks);
    // SCSI, ATA, RAID, iSCSI, SAS, SATA and NVMe.
    const std::vector<int> capable = {1, 3, 8, 9, 10, 11, 17};
    SmartDataFetcher fetcher;
    for (int bus = 0; bus <= 20; ++bus)
        EXPECT_EQ(fetcher.IsSmartCapableBus(Drive(static_cast<std::uint32_t>(bus))),
                  std::count(capable.begin(), capable.end(), bus) == 1)
            << bus;

    // The header first, then the whole descriptor it announced: the fixed
    // 40 bytes, then "M" twice (vendor is empty), each with its NUL.
    const auto requests = machine.Disks()->Disk(11)->Requests(IOCTL_STORAGE_QUERY_PROPERTY);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].outSize, 8u);
    EXPECT_EQ(requests[1].outSize, 40u + 2u);
    for (const auto& r : requests) EXPECT_EQ(r.input, Bytes(12, 0));
    EXPECT_EQ(Raised([&] { fetcher.IsSmartCapableBus(Drive(21)); }), HRESULT_FROM_WIN32(ERROR_NOT_READY));
}

// The first rule that matches names the disk "SSD"; a disk that no rule
// calls solid-state is "SMART" followed by its number.
TEST_F(SmartDataFetcherTest, SsdRulesInOrder)
{
    struct Case {
        const char* what;
        json disk;
        DiskDriveMediaType media;
        const char* name;
    };
    const auto hdd = [](std::uint32_t n, const std::string& model) {
        return SataDisk(n, model, json::array({Attr(9, 100, 100, 7)}));
    };
    const auto with = [](json disk, const json& ata) {
        disk["ata"].update(ata);
        return disk;
    };
    const json refuseIdentify = {
        {"faults", {{"requests", json::array({Fault("IOCTL_ATA_PASS_THROUGH_DIRECT", "zeroData", 0xEC)})}}}};
    const json failIdentify = {
        {"faults", {{"requests", json::array({Fault("IOCTL_ATA_PASS_THROUGH_DIRECT", "fail", 0xEC)})}}}};
    std::vector<Case> cases = {
        {"rotating disk 2", hdd(2, "WDC WD10EZEX"), DiskDriveMediaType::HDD, "SMART2"},
        {"wear leveling count", SataDisk(3, "WDC WD10EZEX", json::array({Attr(177, 99, 99, 0)})), {}, "SSD"},
        {"model with SSD", hdd(4, "Samsung SSD 860 EVO"), {}, "SSD"},
        {"model with NVMe", hdd(5, "Generic NVMe bridge"), {}, "SSD"},
        {"case counts", hdd(6, "generic nvme ssd"), {}, "SMART6"},
        {"media type SSD", hdd(7, "WDC WD10EZEX"), DiskDriveMediaType::SSD, "SSD"},
        {"media type SCM", hdd(8, "WDC WD10EZEX"), DiskDriveMediaType::SCM, "SMART8"},
        {"word 217 = 1", with(hdd(9, "WDC WD10EZEX"), {{"rotationRate", 1}}), {}, "SSD"},
        {"word 0 = 848Ah", with(hdd(10, "WDC WD10EZEX"), {{"words", {{"0", 0x848A}}}}), {}, "SSD"},
        {"word 83 bit 2", with(hdd(11, "WDC WD10EZEX"), {{"words", {{"83", 0x4004}}}}), {}, "SSD"},
        {"word 217 through SCSI", with(hdd(12, "WDC WD10EZEX"), {{"rotationRate", 1}}), {}, "SSD"},
        // A raising IDENTIFY loses the model too, and counts as not solid-state.
        {"identify raising", with(hdd(13, "Samsung SSD 860 EVO"), {{"rotationRate", 1}}), {}, "SMART13"},
    };
    cases[10].disk.update(refuseIdentify);
    cases[11].disk.update(failIdentify);
    json disks = json::array();
    for (const auto& c : cases) disks.push_back(c.disk);
    Machine(disks);
    for (const auto& c : cases) EXPECT_EQ(Collect(c.disk["number"], {}, c.media).Name, c.name) << c.what;
}

// How WMI's values merge into the drive's is checked through the retriever;
// here, how much of a WMI data sector is read.
TEST_F(SmartDataFetcherTest, WmiRowsAreReadAsFarAsTheyGoOrTheSectorEnds)
{
    Machine(json::array({SataDisk(0, "WDC WD10EZEX", json::array({Attr(9, 99, 99, 100)}), json::array({Thr(9, 0)}))}));
    EXPECT_EQ(Collect(0).PowerOnHour.RawValue, 100u);
    Bytes shortRow = DataSector({{9, 0, 50, 40, 777}});
    shortRow.resize(14);
    EXPECT_EQ(Collect(0, shortRow).PowerOnHour.RawValue, 777u);
    Bytes longRow = DataSector({{9, 0, 50, 40, 555}});
    longRow.resize(4096, 0xC2);
    EXPECT_EQ(Collect(0, longRow).PowerOnHour.RawValue, 555u);
}

// The threshold request is the one step that can raise: it ends the sequence
// with the attributes read so far and nothing else.
TEST_F(SmartDataFetcherTest, AFailingThresholdRequestKeepsOnlyTheAttributes)
{
    json disk = SataDisk(3, "Samsung SSD 860 EVO", json::array({Attr(9, 99, 99, 100)}), json::array({Thr(9, 0)}));
    disk["ata"]["eppid"] = "CN0ABCDE1234567890XY";
    disk["faults"]["requests"] =
        json::array({Fault("IOCTL_SCSI_PASS_THROUGH_DIRECT", "fail", 0xB0, {{"feature", 0xD1}})});
    Machine(json::array({disk}));
    const SmartDataCollection c = Collect(3, DataSector({{9, 0, 50, 50, 999}, {12, 0, 100, 100, 4}}));
    EXPECT_EQ(c.DeviceNumber, 3u);
    EXPECT_EQ(c.Name, "");
    EXPECT_FALSE(c.ModelName || c.Eppid);
    EXPECT_EQ(c.PowerOnHour.RawValue, 100u);  // the drive's, not WMI's
    EXPECT_EQ(c.PowerOnHour.Normal, 99);
    EXPECT_FALSE(c.PowerOnHour.Threshold);
    EXPECT_FALSE(c.PowerCycleCount.RawValue);
}

TEST_F(SmartDataFetcherTest, AllSmartInformationCoversSmartCapableBusesOrIsEmpty)
{
    SmartDataFetcher fetcher;
    EXPECT_TRUE(fetcher.GetAllSmartInformation({}).empty());  // no disk at all

    json usb = SataDisk(1, "USB STICK", json::array({Attr(9, 100, 100, 1)}));
    usb["busType"] = "Usb";
    json disks = json::array({SataDisk(2, "WDC WD10EZEX", json::array({Attr(9, 100, 100, 2)})), usb,
                              SataDisk(0, "Samsung SSD 860 EVO", json::array({Attr(9, 100, 100, 3)}))});
    Machine(disks);
    const auto all = SmartDataProvider().GetAllSmartInformation({});
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].Name, "SSD");
    EXPECT_EQ(all[0].PowerOnHour.RawValue, 3u);
    EXPECT_EQ(all[1].Name, "SMART2");

    // One disk whose bus cannot be queried empties the whole list.
    disks[1]["faults"]["requests"] = json::array({{{"ioctl", "IOCTL_STORAGE_QUERY_PROPERTY"}, {"kind", "fail"}}});
    Machine(disks);
    EXPECT_TRUE(fetcher.GetAllSmartInformation({}).empty());
}

}  // namespace
}  // namespace smart_test
