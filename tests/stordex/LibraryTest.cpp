// The library end to end: its exported functions over a machine of simulated
// NVMe drives, through CreateFileW and the storage property queries.
#include <gtest/gtest.h>

#include <memory>

#include "SampleDrives.h"
#include "stordex/Nvme.h"

namespace {

using namespace stordex_test;
using talvex::stordex::StorageBusType;
using talvex::stordex::nvme::ICustomizedControllerData;
using platform::Resource;

class Library : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(machine.Ledger().OpenReport(), ""); }
    long OpenObjects() const { return machine.Ledger().Open(Resource::LibraryObject); }

    NvmeMachine machine;
    platform::MachineScope scope{machine};
};

TEST_F(Library, DriveMaskAndBusTypes)
{
    EXPECT_EQ(SXGetPhysicalDrives(), 0U);
    machine.Add(0, SampleDrive());
    auto raid = SampleDrive();
    raid.busType = BusTypeRAID;
    machine.Add(3, raid);
    auto sata = SampleDrive();
    sata.busType = BusTypeSata;
    machine.Add(31, sata);
    auto broken = SampleDrive();
    broken.faults.deviceDescriptor = ERROR_IO_DEVICE;
    machine.Add(7, broken);

    EXPECT_EQ(SXGetPhysicalDrives(), (1U << 0) | (1U << 3) | (1U << 7) | (1U << 31));
    EXPECT_EQ(SXQueryStorageBusType(0), StorageBusType::Nvme);
    EXPECT_EQ(SXQueryStorageBusType(3), StorageBusType::RAID);
    EXPECT_EQ(SXQueryStorageBusType(31), StorageBusType::Sata);
    EXPECT_EQ(SXQueryStorageBusType(7), StorageBusType::Unknown);
    EXPECT_EQ(SXQueryStorageBusType(5), StorageBusType::Unknown);
    // Each existing drive opened once for the mask and once for its bus type.
    EXPECT_EQ(machine.Ledger().Acquisitions(Resource::Handle), 4 + 4);
}

TEST_F(Library, IdentifyControllerThroughTheAdapterQuery)
{
    const auto device = machine.Add(2, SampleDrive());
    std::shared_ptr<talvex::stordex::nvme::IIdentifyControllerData> id(SXNvmNewIdentifyControllerData(2), SXDelete);
    ASSERT_TRUE(id);
    EXPECT_EQ(id->PciVendorId(), 0x144D);
    EXPECT_EQ(id->SerialNumber().Str(), "S4EWNX0R123456      ");
    EXPECT_EQ(id->IeeeOuiIdentifier().Hex(), "2538");
    EXPECT_EQ(id->Version()->Major(), 1);
    EXPECT_EQ(id->Version()->Minor(), 4);
    EXPECT_TRUE(id->OptionalAdminCommandSupport()->SupportSecuritySendSecurityReceive());
    EXPECT_TRUE(id->OptionalAdminCommandSupport()->SupportDeviceSelfTest());
    EXPECT_EQ(id->WarningCompositeTemperatureThreshold(), 358);  // Kelvin, as reported
    EXPECT_EQ(id->TotalNvmCapacity().Hex(), "773C256000");
    EXPECT_EQ(id->NumberOfPowerStatesSupport(), 4);
    EXPECT_EQ(id->PowerStateDesc(0)->MaxPower(), 780);
    EXPECT_TRUE(id->PowerStateDesc(4)->NonOperationalState());

    std::shared_ptr<talvex::stordex::nvme::IIdentifyControllerData::IVendorSpecificInfo> vendor(
        id->VendorSpecificInfo(), SXDelete);
    const auto* customized = dynamic_cast<const ICustomizedControllerData*>(vendor.get());
    ASSERT_NE(customized, nullptr);
    EXPECT_EQ(customized->Eppid().Str(), "CN0ABCDE1234567890ABCDEFGHIJKLMN");
    EXPECT_EQ(static_cast<int>(customized->FormFactor()), 4);
    EXPECT_TRUE(customized->SupportSystemCrashProtection());
    EXPECT_EQ(customized->DeviceCategory()->Class11(), 11);
    EXPECT_EQ(customized->Guid().Hex(), "76543210");
    EXPECT_EQ(customized->ComponentId().Str(), "QN700   ");

    const auto queries = device->ProtocolQueries();
    ASSERT_EQ(queries.size(), 1U);
    EXPECT_EQ(queries[0].propertyId, static_cast<DWORD>(StorageAdapterProtocolSpecificProperty));
    EXPECT_EQ(queries[0].dataType, static_cast<DWORD>(NVMeDataTypeIdentify));
    EXPECT_EQ(queries[0].requestValue, 1U);
    EXPECT_EQ(queries[0].requestSubValue, 0U);
    EXPECT_EQ(queries[0].dataOffset, 40U);
    EXPECT_EQ(queries[0].dataLength, 4096U);
}

TEST_F(Library, HealthLogsThroughTheDeviceQuery)
{
    const auto device = machine.Add(1, SampleDrive());
    std::shared_ptr<talvex::stordex::nvme::IHealthInfo> health(SXNvmNewHealthInfo(1), SXDelete);
    ASSERT_TRUE(health);
    EXPECT_EQ(health->CompositeTemperature(), 50);
    EXPECT_EQ(health->TemperatureSensor1(), -273);
    EXPECT_EQ(health->TemperatureSensor2(), 0);
    EXPECT_EQ(health->TemperatureSensor3(), 37);
    EXPECT_EQ(health->PowerOnHours().Hex(), "1234");
    EXPECT_EQ(health->DataUnitWritten().Hex(), "010000000000000000");
    std::shared_ptr<talvex::stordex::nvme::IHealthInfo::ICriticalWarning> warning(health->CriticalWarning(), SXDelete);
    EXPECT_TRUE(warning->DegradedReliability());
    std::shared_ptr<talvex::stordex::nvme::IHealthInfo::IEnduranceGroupCriticalWarningSummary> summary(
        health->EnduranceGroupCriticalWarningSummary(), SXDelete);
    EXPECT_TRUE(summary->ReadOnly());

    std::shared_ptr<talvex::stordex::nvme::ICustomizedHealthInfo> custom(SXNvmNewCustomizedHealthInfo(1), SXDelete);
    ASSERT_TRUE(custom);
    EXPECT_EQ(custom->WearLevelingCount(), 7);
    EXPECT_EQ(custom->ReservedBlockCountSsdTotal(), 123456U);
    EXPECT_EQ(custom->MinimumTemperature(), 290);
    EXPECT_EQ(custom->TotalDataWrittenByController().Hex(), "0100");

    const auto queries = device->ProtocolQueries();
    ASSERT_EQ(queries.size(), 2U);
    for (const auto& query : queries) {
        EXPECT_EQ(query.propertyId, static_cast<DWORD>(StorageDeviceProtocolSpecificProperty));
        EXPECT_EQ(query.dataType, static_cast<DWORD>(NVMeDataTypeLogPage));
        EXPECT_EQ(query.dataLength, 512U);
    }
    EXPECT_EQ(queries[0].requestValue, 2U);
    EXPECT_EQ(queries[1].requestValue, 0xCAU);
}

TEST_F(Library, DrivesWithoutOurVendorData)
{
    auto plain = SampleDrive();
    plain.identify.vendor.reset();
    plain.vendorHealth.reset();
    machine.Add(0, plain);
    auto foreign = SampleDrive();
    foreign.rawVendorHealthLog.assign(512, 0x5A);  // another vendor's page under our log id
    machine.Add(1, foreign);

    std::shared_ptr<talvex::stordex::nvme::IIdentifyControllerData> id(SXNvmNewIdentifyControllerData(0), SXDelete);
    ASSERT_TRUE(id);
    std::shared_ptr<talvex::stordex::nvme::IIdentifyControllerData::IVendorSpecificInfo> vendor(
        id->VendorSpecificInfo(), SXDelete);
    ASSERT_TRUE(vendor);
    EXPECT_EQ(dynamic_cast<const ICustomizedControllerData*>(vendor.get()), nullptr);
    EXPECT_EQ(SXNvmNewCustomizedHealthInfo(0), nullptr);
    EXPECT_EQ(SXNvmNewCustomizedHealthInfo(1), nullptr);
}

TEST_F(Library, FailingQueriesGiveNull)
{
    auto faulty = SampleDrive();
    faulty.faults.identify = ERROR_IO_DEVICE;
    faulty.faults.healthLog = ERROR_GEN_FAILURE;
    faulty.faults.vendorHealthLog = ERROR_SEM_TIMEOUT;
    machine.Add(0, faulty);
    for (std::uint32_t drive : {0U, 9U, 40U}) {
        EXPECT_EQ(SXNvmNewIdentifyControllerData(drive), nullptr) << drive;
        EXPECT_EQ(SXNvmNewHealthInfo(drive), nullptr) << drive;
        EXPECT_EQ(SXNvmNewCustomizedHealthInfo(drive), nullptr) << drive;
    }
    EXPECT_EQ(machine.Ledger().Acquisitions(Resource::LibraryObject), 0);
}

TEST_F(Library, CallerOwnedObjectsAreCountedUntilReleasedOnce)
{
    machine.Add(0, SampleDrive());
    auto* id = SXNvmNewIdentifyControllerData(0);
    auto* health = SXNvmNewHealthInfo(0);
    auto* custom = SXNvmNewCustomizedHealthInfo(0);
    auto* vendor = id->VendorSpecificInfo();
    auto* vendorAgain = id->VendorSpecificInfo();
    auto* warning = health->CriticalWarning();
    auto* summary = health->EnduranceGroupCriticalWarningSummary();
    // Nested objects that belong to their parent are not handed out.
    ASSERT_NE(id->Version(), nullptr);
    ASSERT_NE(id->PowerStateDesc(3), nullptr);
    EXPECT_EQ(OpenObjects(), 7);

    // Sub-objects outlive their parents.
    SXDelete(id);
    SXDelete(health);
    EXPECT_TRUE(warning->DegradedReliability());
    EXPECT_NE(dynamic_cast<const ICustomizedControllerData*>(vendor), nullptr);
    for (void* object : {static_cast<void*>(custom), static_cast<void*>(vendor), static_cast<void*>(vendorAgain),
                         static_cast<void*>(warning), static_cast<void*>(summary)}) {
        SXDelete(object);
    }
    SXDelete(nullptr);
    EXPECT_EQ(OpenObjects(), 0);
    EXPECT_EQ(machine.Ledger().Acquisitions(Resource::LibraryObject), 7);

    // A second release shows in the ledger instead of freeing twice.
    SXDelete(warning);
    EXPECT_EQ(OpenObjects(), -1);
    machine.Ledger().Acquired(Resource::LibraryObject);  // balance it for the teardown check
}

}  // namespace
