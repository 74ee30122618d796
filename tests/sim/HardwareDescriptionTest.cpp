// Reading the hardware sections of a machine description: what each key
// becomes. Their refusals are rows of data/refusals.json.
#include <gtest/gtest.h>

#include "platform/Win32.h"
#include "sim/DescriptionLoader.h"

namespace {

using sim::ParseDescription;

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

}  // namespace
