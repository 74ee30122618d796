// Identify Controller objects into messages, over the scripted library.
#include <gtest/gtest.h>

#include <string>

#include "FakeLibraryFixture.h"

namespace {

using namespace nvme_test;
using stordex_fake::VendorArea;
using Talvex::Quorlin::Plugins::NvmeDataGetter::toIdentifyControllerData;

class IdentifyConversion : public FakeLibraryTest {};

TEST_F(IdentifyConversion, EachAccessorFeedsTheFieldOfItsName)
{
    const auto answers = library.Drive(0).identify;
    const auto message = ConvertIdentify();
    ExpectFed(*answers, message);
    // Three descriptors for a reported count of 2, the vendor area with them.
    const auto leaves = Leaves(message);
    EXPECT_TRUE(leaves.count("PowerStateDesc[2].MaxPower"));
    EXPECT_TRUE(leaves.count("CustomizedControllerData.Eppid"));
    EXPECT_TRUE(leaves.count("DeviceCategory.Class11"));
}

// The vendor area's two support flags are kept as numbers: 1 when set.
TEST_F(IdentifyConversion, EachFlagReachesOnlyItsOwnField)
{
    ExpectEachFlagAlone(&stordex_fake::DriveScript::identify, 100, [this] { return ConvertIdentify(); });
}

TEST_F(IdentifyConversion, TextsAreTrimmedOfBlanksOnlyAndStoredUpToTheirFirstNul)
{
    const auto answers = library.Drive(0).identify;
    answers->SetBytes("SerialNumber", "  S4EW 123          ");          // spaces both sides
    answers->SetBytes("ModelNumber", std::string("Model X\0tail", 12));  // NUL padded, text after a NUL
    answers->SetBytes("FirmwareRevision", " abc ");                      // then NULs: no blank at the back
    answers->SetBytes("CustomizedControllerData.ComponentId", "\t\r\nQN\v\f ");
    answers->SetBytes("NvmSubsystemNvmeQualifiedName", " nqn.2014-08.org.example ");
    const auto message = ConvertIdentify();

    EXPECT_EQ(message.serial_number(), "S4EW 123");
    EXPECT_EQ(message.model_number(), "Model X");
    EXPECT_EQ(message.firmware_revision(), "abc ");
    // Vertical tab and form feed are no blanks; only the final space goes.
    EXPECT_EQ(message.customized_controller_data().component_id(), "QN\v\f");
    // The qualified name is not trimmed at all.
    EXPECT_EQ(message.nvm_subsystem_nvme_qualified_name(), " nqn.2014-08.org.example ");

    library.Reset();
    library.Drive(0).identify->SetBytes("SerialNumber", std::string(20, ' '));
    library.Drive(0).identify->SetBytes("ModelNumber", "");
    const auto blank = ConvertIdentify();
    EXPECT_EQ(blank.serial_number(), "");
    EXPECT_EQ(blank.model_number(), "");
}

TEST_F(IdentifyConversion, TheEppidIsTrimmedThenCutToTwentyCharacters)
{
    const std::pair<std::string, std::string> cases[] = {
        {"CN0ABCDE1234567890ABCDEFGHIJKLMN", "CN0ABCDE1234567890AB"},
        {"    CN0ABCDE1234567890ABCDEF    ", "CN0ABCDE1234567890AB"},
        {std::string("CN0ABC\0DEFGH", 12), "CN0ABC"}};
    for (const auto& [eppid, stored] : cases) {
        library.Drive(0).identify->SetBytes("CustomizedControllerData.Eppid", eppid);
        EXPECT_EQ(ConvertIdentify().customized_controller_data().eppid(), stored) << eppid;
    }
}

TEST_F(IdentifyConversion, SixteenByteValuesAndTheOuiHoldTheirHexText)
{
    const auto answers = library.Drive(0).identify;
    answers->SetBytes("IeeeOuiIdentifier", std::string("\x38\x25\x00", 3));
    answers->SetBytes("TotalNvmCapacity", "");
    answers->SetBytes("UnallocatedNvmCapacity", std::string("\x00\x01", 2));
    answers->SetBytes("FruGloballyUniqueIdentifier", "\x34\x12");
    answers->SetBytes("CustomizedControllerData.Guid", std::string("\x10\x32\x00\x76", 4));
    const auto message = ConvertIdentify();
    EXPECT_EQ(message.ieee_oui_identifier(), "2538");
    EXPECT_EQ(message.total_nvm_capacity(), "00");
    EXPECT_EQ(message.unallocated_nvm_capacity(), "0100");
    EXPECT_EQ(message.fru_globally_unique_identifier(), "1234");
    EXPECT_EQ(message.customized_controller_data().guid(), "76003210");
}

// The count is asked again for every comparison of the loop, once for its
// own field, and every index from 0 to the count is asked once.
TEST_F(IdentifyConversion, PowerStatesRunFromZeroToTheReportedCountInclusive)
{
    struct Case {
        std::int64_t reported;
        std::uint32_t answering;  // the fake gives descriptors below this index
        int descriptors;
    };
    for (const Case c : {Case{0, 32, 1}, Case{255, 1000, 256}, Case{255, 32, 32}, Case{4, 32, 5}}) {
        library.Reset();
        auto& drive = library.Drive(0);
        drive.powerStateDescriptors = c.answering;
        drive.identify->Set("NumberOfPowerStatesSupport", c.reported);
        const auto message = ConvertIdentify();

        EXPECT_EQ(message.power_state_desc_size(), c.descriptors) << c.reported;
        EXPECT_EQ(message.number_of_power_states_support().value(), c.reported);
        const auto& answers = *drive.identify;
        for (std::int64_t i = 0; i <= c.reported; ++i) {
            EXPECT_EQ(answers.CallCount("PowerStateDesc[" + std::to_string(i) + "]"), 1u) << i;
        }
        EXPECT_EQ(answers.CallCount("PowerStateDesc[" + std::to_string(c.reported + 1) + "]"), 0u);
        EXPECT_EQ(answers.CallCount("NumberOfPowerStatesSupport"), static_cast<std::size_t>(c.reported + 3));
    }
    // In index order: the last descriptor is the one of index 255.
    library.Reset();
    library.Drive(0).powerStateDescriptors = 1000;
    library.Drive(0).identify->Set("NumberOfPowerStatesSupport", 255);
    library.Drive(0).identify->Set("PowerStateDesc[255].EntryLatency", 0xC0FFEE);
    library.Drive(0).identify->Set("PowerStateDesc[0].EntryLatency", 7);
    const auto message = ConvertIdentify();
    ASSERT_EQ(message.power_state_desc_size(), 256);
    EXPECT_EQ(message.power_state_desc(0).entry_latency().value(), 7u);
    EXPECT_EQ(message.power_state_desc(255).entry_latency().value(), 0xC0FFEEu);
}

TEST_F(IdentifyConversion, NullSubObjectsLeaveTheirMessagesUnset)
{
    const auto answers = library.Drive(0).identify;
    answers->SetNull("Version");
    answers->SetNull("SglSupport");
    answers->SetNull("PowerStateDesc[1]");
    answers->SetNull("CustomizedControllerData.DeviceCategory");
    answers->Set("PowerStateDesc[2].MaxPower", 1234);
    const auto message = ConvertIdentify();

    EXPECT_FALSE(message.has_version());
    EXPECT_FALSE(message.has_sgl_support());
    EXPECT_FALSE(message.has_device_category());
    EXPECT_TRUE(message.has_customized_controller_data());
    EXPECT_TRUE(message.has_sanitize_cap());
    EXPECT_TRUE(message.has_pci_vendor_id());
    ASSERT_EQ(message.power_state_desc_size(), 2);
    EXPECT_EQ(message.power_state_desc(1).max_power().value(), 1234u);
}

TEST_F(IdentifyConversion, AVendorAreaWithoutTheCustomizedLayoutGivesNoVendorMessages)
{
    for (const VendorArea vendor : {VendorArea::Plain, VendorArea::None}) {
        library.Reset();
        library.Drive(0).vendor = vendor;
        const auto message = ConvertIdentify();
        EXPECT_FALSE(message.has_customized_controller_data());
        EXPECT_FALSE(message.has_device_category());
        EXPECT_TRUE(message.has_version());
        // The vendor object is the caller's either way; a null one is handed back too.
        EXPECT_EQ(Count("SXDelete(VendorSpecificInfo)"), vendor == VendorArea::Plain ? 1 : 0);
        EXPECT_EQ(Count("SXDelete(null)"), vendor == VendorArea::None ? 1 : 0);
    }
}

TEST_F(IdentifyConversion, NullInputGivesNoMessage)
{
    EXPECT_FALSE(toIdentifyControllerData(nullptr).has_value());
}

}  // namespace
