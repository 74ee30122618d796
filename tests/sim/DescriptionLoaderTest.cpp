#include <gtest/gtest.h>

#include "WmiRows.h"
#include "sim/DescriptionLoader.h"
#include "sim/SimMachine.h"

namespace {

using sim::DescriptionError;
using sim::ParseDescription;
using sim_test::Refusal;

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

TEST(DescriptionLoader, RefusesMalformedDescriptionsNamingThePathAndWhatWasExpected)
{
    const std::string disk = R"("model": "M", "pnpDeviceId": "P", "sizeBytes": 1)";
    const std::pair<std::string, std::string> cases[] = {
        {R"({"disks": [)", "$: expected JSON text (parse error at line 1, column 12"},
        {R"([])", "$: expected an object"},
        {R"({"codepage": 1252})", "$.codepage: unknown key"},
        {R"({"codePage": 437})", "$.codePage: expected a supported code page (1252, 65001, 28591 or 20127)"},
        {R"({"debuggerAttached": 1})", "$.debuggerAttached: expected true or false"},
        {R"({"disks": {}})", "$.disks: expected an array"},
        {R"({"disks": [7]})", "$.disks[0]: expected an object"},
        {R"({"disks": [{"number": 0, "pnpDeviceId": "P", "sizeBytes": 1}]})",
         "$.disks[0].model: missing, expected a string"},
        // A misspelt key is named before the key it leaves missing.
        {R"({"disks": [{"number": 0, "modle": "M", "pnpDeviceId": "P", "sizeBytes": 1}]})",
         "$.disks[0].modle: unknown key"},
        {R"({"disks": [{"number": 0, )" + disk + R"(, "modle": "M"}]})", "$.disks[0].modle: unknown key"},
        {R"({"disks": [{"number": -1, )" + disk + "}]}", "$.disks[0].number: expected an unsigned 32-bit integer"},
        {R"({"disks": [{"number": 4294967296, )" + disk + "}]}",
         "$.disks[0].number: expected an unsigned 32-bit integer"},
        {R"({"disks": [{"number": 0, "model": "M", "pnpDeviceId": "P", "sizeBytes": "1"}]})",
         "$.disks[0].sizeBytes: expected an unsigned 64-bit integer"},
        {R"({"disks": [{"number": 0, "model": "M", "pnpDeviceId": "P", "sizeBytes": 1.5}]})",
         "$.disks[0].sizeBytes: expected an unsigned 64-bit integer"},
        {R"({"disks": [{"number": 0, )" + disk + R"(, "bytesPerSector": 520}]})",
         "$.disks[0].bytesPerSector: expected 512 or 4096"},
        {R"({"disks": [{"number": 2, )" + disk + R"(}, {"number": 2, )" + disk + "}]}",
         "$.disks[1].number: expected a disk number not used before (2 is taken by $.disks[0])"},
        {R"({"wmi": []})", "$.wmi: expected an object"},
        {R"({"wmi": {"root\\default": {}}})", "$.wmi[\"root\\default\"]: expected a namespace of the WMI service"},
        {R"({"wmi": {"root\\cimv2": {"fial": "0x80041003"}}})", "$.wmi[\"root\\cimv2\"].fial: unknown key"},
        {R"({"wmi": {"root\\cimv2": {"fail": "0x00000001"}}})",
         "$.wmi[\"root\\cimv2\"].fail: expected a failure HRESULT such as \"0x80041003\""},
        {R"({"wmi": {"root\\cimv2": {"fail": "access denied"}}})",
         "$.wmi[\"root\\cimv2\"].fail: expected a failure HRESULT"},
        {R"({"wmi": {"root\\cimv2": {}, "ROOT\\CIMV2": {}}})", "namespace given twice"},
        {R"({"wmi": {"root\\cimv2": {"classes": {"Win32 Disk": {}}}}})",
         "$.wmi[\"root\\cimv2\"].classes[\"Win32 Disk\"]: expected a class name"},
        {R"({"wmi": {"root\\cimv2": {"classes": {"X": {"failAtNext": {"call": 0, "hr": 2147749889}}}}}})",
         ".classes.X.failAtNext.call: expected the number of an enumerator step, 1 for the first"},
        {R"({"wmi": {"root\\cimv2": {"classes": {"X": {"failAtNext": {"call": 1}}}}}})",
         ".classes.X.failAtNext.hr: missing, expected a failure HRESULT"},
        {R"({"wmi": {"root\\cimv2": {"classes": {"X": {"rows": [{"drop": 0, "add": {}}]}}}}})",
         ".classes.X.rows[0]: expected exactly one of the keys \"edit\", \"drop\", \"add\" and \"copy\""},
        {R"({"wmi": {"root\\cimv2": {"classes": {"X": {"rows": [{"drop": 0, "set": {}}]}}}}})",
         ".classes.X.rows[0].set: unknown key"},
        {R"({"wmi": {"root\\cimv2": {"classes": {"X": {"rows": [{"drop": 0}]}}}}})",
         ".classes.X.rows[0].drop: expected the number of a derived row (the class derives 0 rows from the hardware)"},
        {R"({"disks": [{"number": 0, )" + disk + R"(}], "wmi": {"root\\cimv2": {"classes": {"Win32_DiskDrive":
            {"rows": [{"edit": 1, "set": {"Model": null}}]}}}}})",
         "$.wmi[\"root\\cimv2\"].classes.Win32_DiskDrive.rows[0].edit: expected the number of a derived row "
         "(the class derives 1 rows from the hardware)"},
        {R"({"wmi": {"root\\cimv2": {"classes": {"Win32_DiskDrive": {"rows": [{"add": {"Index": "0"}}]}}}}})",
         ".rows[0].add.Index: expected an unsigned 32-bit integer (uint32), or null, or {\"cim\": type, \"value\": value}"},
        {R"({"wmi": {"root\\cimv2": {"classes": {"Win32_DiskDrive": {"rows": [{"add": {"Size": -1}}]}}}}})",
         ".rows[0].add.Size: expected an unsigned 64-bit integer (uint64)"},
        {R"({"wmi": {"root\\cimv2": {"classes": {"X": {"rows": [{"add": {"V": {"cim": "uint128", "value": 1}}}]}}}}})",
         ".rows[0].add.V.cim: expected a CIM type such as \"uint32\", \"string\" or \"uint8[]\""},
        {R"({"wmi": {"root\\cimv2": {"classes": {"X": {"rows": [{"add": {"V": {"cim": "uint8[]", "value": [256]}}}]}}}}})",
         ".rows[0].add.V.value[0]: expected an array of uint8 values, or null"},
        {R"({"wmi": {"root\\cimv2": {"classes": {"X": {"rows": [{"add": {"V": {"cim": "sint8", "value": -129}}}]}}}}})",
         ".rows[0].add.V.value: expected a signed 8-bit integer (sint8)"},
        {R"({"wmi": {"root\\cimv2": {"classes": {"X": {"rows": [{"add": {"V": [1, 2]}}]}}}}})",
         ".rows[0].add.V: expected a string, number, boolean, null or array of strings"},
    };
    for (const auto& [json, expected] : cases) {
        const std::string refusal = Refusal(json);
        EXPECT_NE(refusal.find(expected), std::string::npos) << json << "\n  gave: " << refusal;
    }
}

TEST(DescriptionLoader, AMachineKeepsItsDescriptionWhenANewOneIsRefused)
{
    sim::SimMachine machine(ParseDescription(R"({"codePage": 28591,
        "disks": [{"number": 0, "model": "M", "pnpDeviceId": "P", "sizeBytes": 1}]})"));
    EXPECT_EQ(machine.AnsiCodePage(), 28591u);
    sim::MachineDescription unfit = machine.Description();
    unfit.codePage = 65001;
    sim::WmiRowEdit edit;
    edit.kind = sim::WmiRowEdit::Kind::Drop;
    edit.row = 5;
    edit.path = "$.somewhere";
    unfit.wmi.push_back({L"root\\cimv2", S_OK, {{L"Win32_DiskDrive", S_OK, 0, S_OK, {edit}, "$.x"}}});
    EXPECT_THROW(machine.Load(unfit), DescriptionError);
    EXPECT_EQ(machine.AnsiCodePage(), 28591u);
    EXPECT_EQ(machine.WmiInstances(L"root\\cimv2", L"Win32_DiskDrive").instances.size(), 1u);
}

// The built-in and the documented machines are loaded by the DefaultMachine tests.
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

}  // namespace
