#include <gtest/gtest.h>

#include "SimMachineFixture.h"
#include "StorageHelper.h"

namespace {

using Talvex::Quorlin::Plugins::DiskDeviceInfo;
using namespace Talvex::Quorlin::Plugins::StorageHelper;

const char* kThreeDisks = R"("disks": [
    {"number": 0, "model": "Zero", "pnpDeviceId": "PNP\\0", "sizeBytes": 1000000000},
    {"number": 1, "model": "One \u00e9", "pnpDeviceId": "PNP\\1", "sizeBytes": 1000000000},
    {"number": 2, "model": "Two", "pnpDeviceId": "PNP\\2", "sizeBytes": 1000000000}])";

std::string Describe3(const std::string& rows)
{
    return std::string("{") + kThreeDisks + R"(, "wmi": {"root\\cimv2": {"classes": {"Win32_DiskDrive": {"rows": [)" +
           rows + "]}}}}}";
}

class StorageHelperTest : public SimMachineFixture {};

TEST_F(StorageHelperTest, LeavesOutRowsWithFieldsThatCannotBeRead)
{
    Describe(Describe3(R"({"edit": 0, "set": {"Model": null}},
                          {"edit": 1, "remove": ["PNPDeviceID"]},
                          {"add": {"Index": 7, "Model": {"cim": "uint32", "value": 5}, "PNPDeviceID": "PNP\\7"}},
                          {"add": {"Model": "No index", "PNPDeviceID": "PNP\\8"}},
                          {"add": {"Index": null, "Model": "Null index", "PNPDeviceID": "PNP\\9"}})"));
    const auto devices = getDeviceInfo();
    // Dropped: a NULL Model, a missing PNPDeviceID, a Model that is no
    // string and a missing Index. A NULL Index is no error: it reads as 0.
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].pnpDeviceId, "PNP\\2");
    EXPECT_EQ(devices[1].pnpDeviceId, "PNP\\9");
    EXPECT_EQ(devices[1].index, 0u);
}

TEST_F(StorageHelperTest, FindsTheFirstRecordOfADriveNumberOrTheDefault)
{
    Describe(Describe3(R"({"copy": 1, "set": {"PNPDeviceID": "PNP\\later"}}, {"drop": 2})"));
    const auto devices = getDeviceInfo();
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(findDeviceId(devices, 1).pnpDeviceId, "PNP\\1");
    EXPECT_EQ(findDeviceId(devices, 0).model, "Zero");
    // A drive whose row is missing resolves to the default record: item id "Disk_".
    const DiskDeviceInfo missing = findDeviceId(devices, 2);
    EXPECT_EQ(missing.index, 0u);
    EXPECT_EQ(missing.model, "");
    EXPECT_EQ("Disk_" + missing.pnpDeviceId, "Disk_");
    EXPECT_EQ(findDeviceId({}, 0).pnpDeviceId, "");
}

}  // namespace
