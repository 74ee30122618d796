#include <gtest/gtest.h>

#include <fstream>

#include <nlohmann/json.hpp>

#include "platform/WmiData.h"
#include "platform/Win32.h"
#include "sim/DescriptionLoader.h"

namespace {

using sim::DescriptionError;
using sim::ParseDescription;

// The refusal's text, or "" when the description loads.
std::string Refusal(const std::string& json)
{
    try {
        ParseDescription(json);
    } catch (const DescriptionError& error) {
        return error.what();
    }
    return "";
}

TEST(DescriptionLoader, ReadsTheTopLevelAndTheDisks)
{
    const auto description = ParseDescription(R"({
        "codePage": 65001, "debuggerAttached": true,
        "disks": [{"number": 4, "model": "Model \u00e9", "serial": "S", "firmware": "F",
                   "pnpDeviceId": "SCSI\\DISK&VEN_X\\1", "interfaceType": "IDE", "sizeBytes": 18446744073709551615,
                   "bytesPerSector": 4096},
                  {"number": 1, "model": "M", "pnpDeviceId": "P", "sizeBytes": 0}]})");
    EXPECT_EQ(description.codePage, 65001u);
    EXPECT_TRUE(description.debuggerAttached);
    ASSERT_EQ(description.disks.size(), 2u);
    const auto& disk = description.disks[0];
    EXPECT_EQ(disk.number, 4u);
    EXPECT_EQ(disk.model, "Model \xC3\xA9");
    EXPECT_EQ(disk.pnpDeviceId, "SCSI\\DISK&VEN_X\\1");
    EXPECT_EQ(disk.interfaceType, "IDE");
    EXPECT_EQ(disk.sizeBytes, 18446744073709551615u);
    EXPECT_EQ(disk.bytesPerSector, 4096u);
    // Defaults for what a disk leaves out.
    EXPECT_EQ(description.disks[1].serial, "");
    EXPECT_EQ(description.disks[1].interfaceType, "SCSI");
    EXPECT_EQ(description.disks[1].bytesPerSector, 512u);
    EXPECT_EQ(description.FindDisk(1), &description.disks[1]);
    EXPECT_EQ(description.FindDisk(2), nullptr);

    const auto empty = ParseDescription("{}");
    EXPECT_EQ(empty.codePage, 1252u);
    EXPECT_FALSE(empty.debuggerAttached);
    EXPECT_TRUE(empty.disks.empty());
}

// Each row of data/refusals.json: a description, and the fault its refusal
// must name with its JSON path and what was expected there.
TEST(DescriptionLoader, RefusesMalformedDescriptionsNamingThePathAndWhatWasExpected)
{
    std::ifstream file(STORCOLL_SOURCE_DIR "/tests/sim/data/refusals.json");
    const auto rows = nlohmann::json::parse(file);
    ASSERT_GT(rows.size(), 100u);
    for (const auto& row : rows) {
        const auto description = row.at("description").get<std::string>();
        const auto expected = row.at("refusal").get<std::string>();
        const std::string refusal = Refusal(description);
        EXPECT_NE(refusal.find(expected), std::string::npos) << description << "\n  gave: " << refusal;
    }
}

TEST(DescriptionLoader, AMissingFileIsRefusedAtTheTop)
{
    try {
        sim::LoadDescriptionFile(STORCOLL_SOURCE_DIR "/docs/examples/no-such-file.json");
        FAIL() << "a missing file must be refused";
    } catch (const DescriptionError& error) {
        EXPECT_EQ(error.Path(), "$");
        EXPECT_NE(std::string(error.what()).find("expected a readable file"), std::string::npos);
    }
}

// Each CIM type reaches the client in the VARIANT type WMI gives it.
TEST(WmiValues, DeliversEachCimTypeAsWmiDoes)
{
    const std::pair<platform::WmiValue, VARTYPE> cases[] = {
        {platform::WmiValue::Scalar(platform::CimType::Uint8, std::uint64_t{1}), VT_UI1},
        {platform::WmiValue::Scalar(platform::CimType::Sint8, std::int64_t{-1}), VT_I2},
        {platform::WmiValue::Scalar(platform::CimType::Sint16, std::int64_t{-1}), VT_I2},
        {platform::WmiValue::Scalar(platform::CimType::Uint16, std::uint64_t{1}), VT_I4},
        {platform::WmiValue::Scalar(platform::CimType::Sint32, std::int64_t{-1}), VT_I4},
        {platform::WmiValue::Scalar(platform::CimType::Uint32, std::uint64_t{1}), VT_I4},
        {platform::WmiValue::Scalar(platform::CimType::Sint64, std::int64_t{-1}), VT_BSTR},
        {platform::WmiValue::Scalar(platform::CimType::Uint64, std::uint64_t{1}), VT_BSTR},
        {platform::WmiValue::Scalar(platform::CimType::Boolean, true), VT_BOOL},
        {platform::WmiValue::Scalar(platform::CimType::String, std::wstring(L"x")), VT_BSTR},
        {platform::WmiValue::Scalar(platform::CimType::DateTime, std::wstring(L"20240101000000.000000+000")), VT_BSTR},
        {platform::WmiValue::Array(platform::CimType::Uint8, {std::uint64_t{1}}), VT_ARRAY | VT_UI1},
        {platform::WmiValue::Array(platform::CimType::Uint64, {std::uint64_t{1}}), VT_ARRAY | VT_BSTR},
        {platform::WmiValue::Null(platform::CimType::Uint32), VT_NULL},
    };
    for (const auto& [value, vt] : cases) EXPECT_EQ(platform::DeliveredVarType(value), vt);
}

}  // namespace
