// WmiCommonLib against the simulated machine: call order and arguments, the
// typed getters, walking results, and what is released when.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "Common/WmiCommonLib.h"
#include "SimMachineFixture.h"
#include "failure_reporting/ResultException.h"
#include "RaisedCode.h"

namespace {

using Talvex::Quorlin::Cpp::Common::ResultException;
using Talvex::Quorlin::Cpp::Common::WmiCommonLib;
using ::testing::ElementsAre;

constexpr const wchar_t* kDiskQuery = L"SELECT * FROM Win32_DiskDrive";

// The calls after the first that contains `from`.
std::vector<std::string> CallsFrom(const std::vector<std::string>& calls, const std::string& from)
{
    auto it = std::find_if(calls.begin(), calls.end(), [&](const std::string& c) { return c.find(from) != std::string::npos; });
    return std::vector<std::string>(it, calls.end());
}

class WmiCommonLibTest : public SimMachineFixture {
protected:
    void SetUp() override { machine.RecordComCalls(true); }
};

TEST_F(WmiCommonLibTest, ConnectsQueriesWalksAndReleasesInOrder)
{
    Describe(R"({"disks": [{"number": 3, "model": "M", "pnpDeviceId": "P", "sizeBytes": 1000000000}]})");
    {
        WmiCommonLib wmi(kDiskQuery, 2);
        ASSERT_FALSE(wmi.IsEnd());
        EXPECT_EQ(wmi.GetUint32ByField(L"Index"), 3u);
        wmi.Next();
        EXPECT_TRUE(wmi.IsEnd());
        wmi.Next();  // past the end the enumerator is asked again
        EXPECT_TRUE(wmi.IsEnd());
    }
    EXPECT_THAT(machine.ComCalls(),
                ElementsAre("CoInitializeEx(NULL, 0x0)",
                            "CoInitializeSecurity(NULL, -1, NULL, NULL, 0, 3, NULL, 0, NULL)",
                            "CoCreateInstance({4590F811-1D3A-11D0-891F-00AA004B2E24}, NULL, 1, "
                            "{DC12A687-737F-11CF-884D-00AA004B2E24})",
                            "IWbemLocator::ConnectServer(\"root\\cimv2\", NULL, NULL, NULL, 0, NULL, NULL)",
                            "CoSetProxyBlanket(IWbemServices, 10, 0, NULL, 3, 3, NULL, 0)",
                            "IWbemServices::ExecQuery(\"WQL\", \"SELECT * FROM Win32_DiskDrive\", 0x30, NULL)",
                            "IEnumWbemClassObject::Next(0xFFFFFFFF, 1)",
                            "IWbemClassObject::Get(\"Index\", 0, ptr, NULL, NULL)",
                            "IWbemClassObject::Release() -> 0",
                            "IEnumWbemClassObject::Next(0xFFFFFFFF, 1)",
                            "IEnumWbemClassObject::Next(0xFFFFFFFF, 1)",
                            "IEnumWbemClassObject::Release() -> 0",
                            "IWbemServices::Release() -> 0",
                            "IWbemLocator::Release() -> 0",
                            "CoUninitialize()"));
    EXPECT_FALSE(machine.Com().ThreadInitialized());
}

TEST_F(WmiCommonLibTest, DestructionReleasesTheCurrentObjectFirst)
{
    Describe(R"({"disks": [{"number": 0, "model": "M", "pnpDeviceId": "P", "sizeBytes": 1000000000}]})");
    {
        WmiCommonLib wmi(kDiskQuery, 2);
    }
    EXPECT_THAT(CallsFrom(machine.ComCalls(), "Release"),
                ElementsAre("IWbemClassObject::Release() -> 0", "IEnumWbemClassObject::Release() -> 0",
                            "IWbemServices::Release() -> 0", "IWbemLocator::Release() -> 0", "CoUninitialize()"));
}

TEST_F(WmiCommonLibTest, SelectorsChooseTheirNamespaceAndOthersMeanCimv2)
{
    const std::pair<unsigned short, const char*> selectors[] = {
        {0, "root\\cimv2"},
        {1, "root\\WMI"},
        {2, "root\\cimv2"},
        {3, "root\\StandardCimv2"},
        {4, "root\\cimv2\\Security\\MicrosoftVolumeEncryption"},
        {5, "root\\microsoft\\windows\\storage"},
        {6, "root\\cimv2\\power"},
        {7, "root\\cimv2"},
        {65535, "root\\cimv2"},
    };
    for (const auto& [selector, nameSpace] : selectors) {
        machine.ClearComCalls();
        // Only root\cimv2 has the class; elsewhere the query fails after connecting.
        const HRESULT hr = Raised([&] {
            WmiCommonLib wmi(kDiskQuery, selector);
            EXPECT_TRUE(wmi.IsEnd()) << "no disks, no rows: " << selector;
        });
        EXPECT_EQ(hr, std::string(nameSpace) == "root\\cimv2" ? S_OK : WBEM_E_INVALID_CLASS) << selector;
        EXPECT_THAT(machine.ComCalls(),
                    ::testing::Contains("IWbemLocator::ConnectServer(\"" + std::string(nameSpace) +
                                        "\", NULL, NULL, NULL, 0, NULL, NULL)"))
            << selector;
    }
}

TEST_F(WmiCommonLibTest, EachObjectJoinsAndLeavesComAndOnlyTheFirstSetsSecurity)
{
    {
        WmiCommonLib outer(kDiskQuery, 2);
        WmiCommonLib inner(kDiskQuery, 2);
        EXPECT_EQ(machine.Com().InitializeSecurity(), RPC_E_TOO_LATE);
    }
    const auto calls = machine.ComCalls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "CoInitializeEx(NULL, 0x0)"), 2);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "CoUninitialize()"), 2);
    EXPECT_FALSE(machine.Com().ThreadInitialized());
}

TEST_F(WmiCommonLibTest, ThreadInASingleThreadedApartmentKeepsIt)
{
    Describe(R"({"disks": [{"number": 0, "model": "M", "pnpDeviceId": "P", "sizeBytes": 1000000000}]})");
    std::thread([&] {
        platform::MachineScope threadScope(machine);
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        {
            WmiCommonLib wmi(kDiskQuery, 2);
            EXPECT_EQ(wmi.GetStringByField(L"Model"), "M");
        }
        // The object neither set security nor left the apartment it did not join.
        EXPECT_TRUE(machine.Com().ThreadInitialized());
        const auto calls = machine.ComCalls();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "CoUninitialize()"), 0);
        EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                                [](const std::string& c) { return c.rfind("CoInitializeSecurity", 0) == 0; }),
                  0);
        CoUninitialize();
    }).join();
}

TEST_F(WmiCommonLibTest, RunsEveryQueryOfTheSystemOnADescribedMachine)
{
    Describe(R"({"disks": [{"number": 0, "model": "M", "pnpDeviceId": "P", "sizeBytes": 1000000000}],
        "wmi": {"root\\WMI": {"classes": {"MSStorageDriver_ATAPISmartData": {"rows": [
                    {"add": {"InstanceName": "IDE\\Disk_0", "VendorSpecific": {"cim": "uint8[]", "value": [16, 0]}}}]}}},
                "root\\cimv2": {"classes": {"Win32_PerfFormattedData_PerfDisk_PhysicalDisk": {"rows": [
                    {"edit": 0, "set": {"Name": "0 C:", "PercentIdleTime": 97}},
                    {"edit": 1, "set": {"PercentIdleTime": 97}}]}}},
                "root\\microsoft\\windows\\storage": {"classes": {"MSFT_PhysicalDisk": {"rows": [
                    {"edit": 0, "set": {"MediaType": 4}}]}}}}})");
    const std::pair<const wchar_t*, unsigned short> queries[] = {
        {L"SELECT * FROM MSStorageDriver_ATAPISmartData", 1},
        {L"SELECT * FROM Win32_DiskDrive", 2},
        {L"SELECT * FROM Win32_PerfFormattedData_PerfDisk_PhysicalDisk", 2},
        {L"SELECT * FROM MSFT_PhysicalDisk", 5},
    };
    std::vector<int> rows;
    for (const auto& [query, selector] : queries) {
        WmiCommonLib wmi(query, selector);
        int count = 0;
        for (; !wmi.IsEnd(); wmi.Next()) ++count;
        rows.push_back(count);
    }
    EXPECT_EQ(rows, (std::vector<int>{1, 1, 2, 1}));
    WmiCommonLib smart(queries[0].first, 1);
    EXPECT_EQ(smart.GetUint8ArrayByField(L"VendorSpecific"), (std::vector<uint8_t>{16, 0}));
    EXPECT_EQ(smart.GetWstringByField(L"InstanceName"), L"IDE\\Disk_0");
    WmiCommonLib perf(queries[2].first, 2);
    EXPECT_EQ(perf.GetStringByField(L"PercentIdleTime"), "97");
    WmiCommonLib media(queries[3].first, 5);
    EXPECT_EQ(media.GetUint32ByField(L"MediaType"), 4u);
}

TEST_F(WmiCommonLibTest, FailingConstructorRaisesAndReleasesInOrder)
{
    const struct {
        const char* json;
        HRESULT expected;
        std::vector<std::string> releases;
    } cases[] = {
        {R"({"wmi": {"root\\cimv2": {"fail": "0x80041003"}}})",
         WBEM_E_ACCESS_DENIED,
         {"IWbemLocator::Release() -> 0", "CoUninitialize()"}},
        {R"({"wmi": {"root\\cimv2": {"classes": {"Win32_DiskDrive": {"fail": "0x80041004"}}}}})",
         WBEM_E_PROVIDER_FAILURE,
         {"IWbemServices::Release() -> 0", "IWbemLocator::Release() -> 0", "CoUninitialize()"}},
        {R"({"wmi": {"root\\cimv2": {"classes": {"Win32_DiskDrive":
                {"failAtNext": {"call": 1, "hr": "0x80041006"}}}}}})",
         WBEM_E_OUT_OF_MEMORY,
         {"IEnumWbemClassObject::Release() -> 0", "IWbemServices::Release() -> 0", "IWbemLocator::Release() -> 0",
          "CoUninitialize()"}},
    };
    for (const auto& c : cases) {
        Describe(c.json);
        machine.ClearComCalls();
        EXPECT_EQ(Raised([] { WmiCommonLib wmi(kDiskQuery, 2); }), c.expected) << c.json;
        EXPECT_EQ(CallsFrom(machine.ComCalls(), "Release"), c.releases) << c.json;
        EXPECT_EQ(machine.Ledger().OpenReport(), "") << c.json;
        EXPECT_FALSE(machine.Com().ThreadInitialized());
    }
}

TEST_F(WmiCommonLibTest, FailingStepIsRaisedByNext)
{
    Describe(R"({"disks": [{"number": 0, "model": "M", "pnpDeviceId": "P", "sizeBytes": 1000000000},
                           {"number": 1, "model": "M", "pnpDeviceId": "P", "sizeBytes": 1000000000}],
                 "wmi": {"root\\cimv2": {"classes": {"Win32_DiskDrive":
                           {"failAtNext": {"call": 2, "hr": "0x80041001"}}}}}})");
    WmiCommonLib wmi(kDiskQuery, 2);
    EXPECT_EQ(wmi.GetUint32ByField(L"Index"), 0u);
    EXPECT_EQ(Raised([&] { wmi.Next(); }), WBEM_E_FAILED);
    EXPECT_TRUE(wmi.IsEnd());
    // The failed step delivered nothing; the next one goes on.
    wmi.Next();
    ASSERT_FALSE(wmi.IsEnd());
    EXPECT_EQ(wmi.GetUint32ByField(L"Index"), 1u);
}

// One row with a property of every kind the getters meet: text with
// characters beyond the BMP, empty and null values, numbers of each width,
// flags, and arrays of bytes, words and texts.
class Getters : public WmiCommonLibTest {
protected:
    void SetUp() override
    {
        WmiCommonLibTest::SetUp();
        DescribeFile(WMI_TEST_DATA "/probe-row.json");
        wmi = std::make_unique<WmiCommonLib>(L"SELECT * FROM Talvex_Probe", 1);
    }
    void TearDown() override
    {
        wmi.reset();
        WmiCommonLibTest::TearDown();
    }

    std::unique_ptr<WmiCommonLib> wmi;
};

TEST_F(Getters, EachGetterReadsItsKindAndItsMemberWhateverTheType)
{
    EXPECT_EQ(wmi->GetStringByField(L"Text"), "Disk \xC3\xA9\xE2\x82\xAC\xF0\x9F\x92\xBE");
    EXPECT_EQ(wmi->GetWstringByField(L"Text"), L"Disk \u00E9\u20AC\U0001F4BE");
    EXPECT_EQ(wmi->GetStringByField(L"Empty"), "");
    EXPECT_EQ(wmi->GetWstringByField(L"Empty"), L"");
    EXPECT_EQ(wmi->GetUint32ByField(L"Count"), 4000000000u);
    EXPECT_EQ(wmi->GetInt32ByField(L"Count"), static_cast<int32_t>(4000000000u));
    EXPECT_EQ(wmi->GetUint16ByField(L"Small"), 65535u);
    EXPECT_EQ(wmi->GetInt32ByField(L"Signed"), -5);
    // A NULL property reads as zero; booleans are VARIANT_TRUE (all bits set).
    EXPECT_EQ(wmi->GetUint32ByField(L"Nothing"), 0u);
    EXPECT_EQ(wmi->GetUint16ByField(L"Nothing"), 0u);
    EXPECT_EQ(wmi->GetInt32ByField(L"Nothing"), 0);
    EXPECT_EQ(wmi->GetUint16ByField(L"Flag"), 0xFFFFu);
    EXPECT_EQ(wmi->GetUint64ByField(L"Big"), 9000000000000000001u);
    EXPECT_EQ(wmi->GetUint64ByField(L"Text"), 0u) << "any text is read as _wtoi64 reads it";
    EXPECT_TRUE(wmi->GetBoolByField(L"Flag"));
    EXPECT_FALSE(wmi->GetBoolByField(L"Off"));
    EXPECT_EQ(wmi->GetUint8ArrayByField(L"Bytes"), (std::vector<uint8_t>{1, 2, 255}));
    EXPECT_TRUE(wmi->GetUint8ArrayByField(L"NoBytes").empty());
    EXPECT_EQ(wmi->GetStringArrayByField(L"Names"), (std::vector<std::string>{"a", "\xC3\xA9"}));
    EXPECT_EQ(wmi->GetUint32ByField(L"count"), 4000000000u) << "names are caseless";
    // Every getter asks with flags 0 and no type or flavor.
    for (const auto& call : machine.ComCalls()) {
        if (call.rfind("IWbemClassObject::Get(", 0) == 0) {
            EXPECT_THAT(call, ::testing::EndsWith(", 0, ptr, NULL, NULL)"));
        }
    }
}

// What each getter refuses as E_UNEXPECTED; every one raises WBEM_E_NOT_FOUND
// for a property the object lacks, and the object stays where it was.
TEST_F(Getters, EachGetterRefusesNullOtherTypesAndMissingProperties)
{
    const struct {
        const char* getter;
        std::function<void(const wchar_t*)> call;
        std::vector<const wchar_t*> refused;
    } rows[] = {
        {"string", [&](const wchar_t* f) { wmi->GetStringByField(f); }, {L"Nothing", L"Count", L"Flag", L"Names"}},
        {"wstring", [&](const wchar_t* f) { wmi->GetWstringByField(f); }, {L"Nothing", L"Count", L"Flag", L"Names"}},
        {"uint64", [&](const wchar_t* f) { wmi->GetUint64ByField(f); }, {L"Nothing", L"Count", L"Flag"}},
        {"bool", [&](const wchar_t* f) { wmi->GetBoolByField(f); }, {L"Nothing", L"Count", L"Text"}},
        {"uint8[]", [&](const wchar_t* f) { wmi->GetUint8ArrayByField(f); }, {L"Nothing", L"Text", L"Words", L"Names"}},
        {"string[]", [&](const wchar_t* f) { wmi->GetStringArrayByField(f); }, {L"Nothing", L"Text", L"Bytes"}},
        {"uint32", [&](const wchar_t* f) { wmi->GetUint32ByField(f); }, {}},
        {"uint16", [&](const wchar_t* f) { wmi->GetUint16ByField(f); }, {}},
        {"int32", [&](const wchar_t* f) { wmi->GetInt32ByField(f); }, {}},
    };
    for (const auto& row : rows) {
        for (const wchar_t* name : row.refused)
            EXPECT_EQ(Raised([&] { row.call(name); }), E_UNEXPECTED) << row.getter << " of " << name;
        EXPECT_EQ(Raised([&] { row.call(L"Absent"); }), WBEM_E_NOT_FOUND) << row.getter;
    }
    EXPECT_FALSE(wmi->IsEnd());
}

}  // namespace
