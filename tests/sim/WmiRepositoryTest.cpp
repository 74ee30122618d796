#include <gtest/gtest.h>

#include "sim/DescriptionLoader.h"
#include "sim/WmiRepository.h"
#include "WmiRows.h"

namespace {

using sim_test::Delivered;
using sim_test::Text;
using platform::CimType;
using platform::WmiInstance;
using platform::WmiValue;

const std::string kTwoDisks = R"("disks": [
    {"number": 0, "model": "Alpha", "serial": "SA", "firmware": "FA", "pnpDeviceId": "SCSI\\DISK&A\\0",
     "sizeBytes": 512110190592},
    {"number": 1, "model": "Beta", "pnpDeviceId": "SCSI\\DISK&B\\1", "interfaceType": "IDE",
     "sizeBytes": 2000398934016, "bytesPerSector": 4096}])";

std::vector<WmiInstance> Disks(const sim::WmiRepository& wmi)
{
    const auto answer = wmi.Instances(L"root\\cimv2", L"Win32_DiskDrive");
    EXPECT_EQ(answer.result, S_OK);
    return answer.instances;
}

TEST(WmiRepository, HasTheSixNamespacesWhateverTheCase)
{
    const sim::WmiRepository wmi;
    for (const auto& name : sim::WmiRepository::NamespaceNames()) EXPECT_EQ(wmi.Connect(name), S_OK);
    EXPECT_EQ(sim::WmiRepository::NamespaceNames().size(), 6u);
    EXPECT_EQ(wmi.Connect(L"ROOT\\wmi"), S_OK);
    EXPECT_EQ(wmi.Connect(L"root\\default"), WBEM_E_INVALID_NAMESPACE);
    EXPECT_EQ(wmi.Instances(L"root\\cimv2", L"Win32_DiskDrive").result, S_OK);
    EXPECT_EQ(wmi.Instances(L"root\\cimv2", L"Win32_Volume").result, WBEM_E_INVALID_CLASS);
    EXPECT_EQ(wmi.Instances(L"root\\WMI", L"Win32_DiskDrive").result, WBEM_E_INVALID_CLASS);
}

TEST(WmiRepository, DerivesADiskDriveRowPerDiskWithWmiTypes)
{
    const sim::WmiRepository wmi(sim::ParseDescription("{" + kTwoDisks + "}"));
    const auto rows = Disks(wmi);
    ASSERT_EQ(rows.size(), 2u);
    const WmiInstance& beta = rows[1];
    EXPECT_EQ(Text(beta, L"Index"), L"1");
    EXPECT_EQ(Text(beta, L"Model"), L"Beta");
    EXPECT_EQ(Text(beta, L"Caption"), L"Beta");
    EXPECT_EQ(Text(beta, L"PNPDeviceID"), L"SCSI\\DISK&B\\1");
    EXPECT_EQ(Text(beta, L"DeviceID"), L"\\\\.\\PHYSICALDRIVE1");
    EXPECT_EQ(Text(beta, L"InterfaceType"), L"IDE");
    EXPECT_EQ(Text(beta, L"MediaType"), L"Fixed hard disk media");
    EXPECT_EQ(Text(rows[0], L"SerialNumber"), L"SA");
    EXPECT_EQ(Text(rows[0], L"FirmwareRevision"), L"FA");
    EXPECT_EQ(Text(beta, L"BytesPerSector"), L"4096");
    // Whole cylinders of 255 heads x 63 sectors: 2000398934016 / (255*63*4096) = 30400 cylinders.
    EXPECT_EQ(Text(beta, L"TotalCylinders"), L"30400");
    EXPECT_EQ(Text(beta, L"Size"), L"2000388096000");
    EXPECT_EQ(Text(beta, L"TotalSectors"), L"488376000");

    EXPECT_EQ(Delivered(beta, L"Index"), VT_I4);
    EXPECT_EQ(Delivered(beta, L"Size"), VT_BSTR);
    EXPECT_EQ(Delivered(beta, L"Model"), VT_BSTR);
    EXPECT_EQ(Delivered(beta, L"MediaLoaded"), VT_BOOL);
    EXPECT_EQ(Delivered(beta, L"Capabilities"), VT_ARRAY | VT_I4);
    EXPECT_EQ(Delivered(beta, L"CapabilityDescriptions"), VT_ARRAY | VT_BSTR);
}

TEST(WmiRepository, DeliversEachCimTypeAsWmiDoes)
{
    const std::pair<WmiValue, VARTYPE> cases[] = {
        {WmiValue::Scalar(CimType::Uint8, std::uint64_t{1}), VT_UI1},
        {WmiValue::Scalar(CimType::Sint8, std::int64_t{-1}), VT_I2},
        {WmiValue::Scalar(CimType::Sint16, std::int64_t{-1}), VT_I2},
        {WmiValue::Scalar(CimType::Uint16, std::uint64_t{1}), VT_I4},
        {WmiValue::Scalar(CimType::Sint32, std::int64_t{-1}), VT_I4},
        {WmiValue::Scalar(CimType::Uint32, std::uint64_t{1}), VT_I4},
        {WmiValue::Scalar(CimType::Sint64, std::int64_t{-1}), VT_BSTR},
        {WmiValue::Scalar(CimType::Uint64, std::uint64_t{1}), VT_BSTR},
        {WmiValue::Scalar(CimType::Boolean, true), VT_BOOL},
        {WmiValue::Scalar(CimType::String, std::wstring(L"x")), VT_BSTR},
        {WmiValue::Scalar(CimType::DateTime, std::wstring(L"20240101000000.000000+000")), VT_BSTR},
        {WmiValue::Array(CimType::Uint8, {std::uint64_t{1}}), VT_ARRAY | VT_UI1},
        {WmiValue::Array(CimType::Uint64, {std::uint64_t{1}}), VT_ARRAY | VT_BSTR},
        {WmiValue::Null(CimType::Uint32), VT_NULL},
    };
    for (const auto& [value, vt] : cases) EXPECT_EQ(platform::DeliveredVarType(value), vt);
}

TEST(WmiRepository, OverridesChangeDropAddAndDuplicateRows)
{
    const sim::WmiRepository wmi(sim::ParseDescription("{" + kTwoDisks + R"(,
        "wmi": {"ROOT\\CIMV2": {"classes": {"win32_diskdrive": {"rows": [
            {"edit": 0, "set": {"model": null, "Index": {"cim": "string", "value": "0"}, "Extra": 5},
             "remove": ["Size"]},
            {"drop": 1},
            {"add": {"Index": 9, "Model": "Added", "Size": 1024}},
            {"copy": 0, "set": {"PNPDeviceID": "Twin"}}
        ]}}}}})"));
    const auto rows = Disks(wmi);
    ASSERT_EQ(rows.size(), 3u);
    // Row 0, changed: a NULL of the declared type, a property of another type,
    // one the class does not have, one taken away.
    EXPECT_TRUE(rows[0].Find(L"Model")->value.isNull);
    EXPECT_EQ(Delivered(rows[0], L"Model"), VT_NULL);
    EXPECT_EQ(rows[0].Find(L"Model")->name, L"Model");
    EXPECT_EQ(Delivered(rows[0], L"Index"), VT_BSTR);
    EXPECT_EQ(Text(rows[0], L"Extra"), L"5");
    EXPECT_EQ(Delivered(rows[0], L"Extra"), VT_I4);
    EXPECT_EQ(rows[0].Find(L"Size"), nullptr);
    // The added row has only what it says, typed as the class declares.
    EXPECT_EQ(Text(rows[1], L"Model"), L"Added");
    EXPECT_EQ(Delivered(rows[1], L"Size"), VT_BSTR);
    EXPECT_EQ(rows[1].properties.size(), 3u);
    // The copy is of row 0 as edited.
    EXPECT_EQ(Text(rows[2], L"PNPDeviceID"), L"Twin");
    EXPECT_EQ(Delivered(rows[2], L"Index"), VT_BSTR);
}

TEST(WmiRepository, OverridesMakeNamespacesClassesAndStepsFail)
{
    const sim::WmiRepository wmi(sim::ParseDescription("{" + kTwoDisks + R"(,
        "wmi": {"root\\StandardCimv2": {"fail": "0x80041003"},
                "root\\cimv2": {"classes": {"Win32_DiskDrive": {"fail": 2147749892,
                                                                "failAtNext": {"call": 2, "hr": "0x80041006"}}}},
                "root\\microsoft\\windows\\storage": {"classes": {"MSFT_Disk": {"rows": [{"add": {"Number": 0}}]}}}}})"));
    EXPECT_EQ(wmi.Connect(L"root\\StandardCimv2"), WBEM_E_ACCESS_DENIED);
    const auto disks = wmi.Instances(L"root\\cimv2", L"Win32_DiskDrive");
    EXPECT_EQ(disks.result, WBEM_E_PROVIDER_FAILURE);
    EXPECT_EQ(disks.failingNext, 2u);
    EXPECT_EQ(disks.failingNextResult, WBEM_E_OUT_OF_MEMORY);
    EXPECT_EQ(disks.instances.size(), 2u);
    const auto added = wmi.Instances(L"root\\microsoft\\windows\\storage", L"msft_disk");
    EXPECT_EQ(added.result, S_OK);
    ASSERT_EQ(added.instances.size(), 1u);
    EXPECT_EQ(Delivered(added.instances[0], L"Number"), VT_I4);
}

}  // namespace
