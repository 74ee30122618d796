// Who owns what the library hands out, over a described NVMe drive. What the
// objects answer is checked through the collectors (tests/nvme).
#include <gtest/gtest.h>

#include <memory>

#include "SimMachineFixture.h"
#include "stordex/Nvme.h"

namespace {

using platform::Resource;
using talvex::stordex::nvme::ICustomizedControllerData;

class Library : public SimMachineFixture {
protected:
    long OpenObjects() const { return machine.Ledger().Open(Resource::LibraryObject); }
};

TEST_F(Library, CallerOwnedObjectsAreCountedUntilReleasedOnce)
{
    Describe(R"({"disks": [{"number": 0, "model": "M", "pnpDeviceId": "P", "sizeBytes": 1000000000, "nvme": {
        "identify": {"npss": 3, "psd": [{}, {}, {}, {}], "vendor": {}}, "health": {"criticalWarning": 4},
        "vendorHealth": {}}}]})");
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
