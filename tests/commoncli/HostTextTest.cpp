#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "CommonCLI/HostText.h"
#include "kvr/Exceptions.h"
#include "platform/Machine.h"
#include "sim/SimMachine.h"

namespace {

using namespace Talvex::Quorlin::Cpp::Common;

class HostTextTest : public ::testing::Test {
protected:
    sim::SimMachine machine;
    platform::MachineScope scope{machine};
};

TEST_F(HostTextTest, NativeTextIsReadInTheAnsiCodePage)
{
    // UTF-8 bytes from WMI read as code page 1252, as the managed host reads them.
    EXPECT_EQ(MarshalToHostText("Disk \xC3\xA9"), "Disk \xC3\x83\xC2\xA9");
    EXPECT_EQ(HostTextFromAnsi("\x80 5"), "\xE2\x82\xAC 5");
    EXPECT_EQ(MarshalToHostText(std::string("a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(HostTextFromAnsi("a\0b"), "a") << "a NUL-terminated text stops at its NUL";
    EXPECT_EQ(HostTextFromAnsi(nullptr), "");
    EXPECT_EQ(MarshalToHostText(""), "");

    machine.SetAnsiCodePage(CP_UTF8);
    EXPECT_EQ(MarshalToHostText("Disk \xC3\xA9"), "Disk \xC3\xA9");
    EXPECT_EQ(NativeDescription(std::runtime_error("\xC3\xA9")), "\xC3\xA9");
}

TEST_F(HostTextTest, TextTheThreadCodePageCannotDecodeIsRefused)
{
    machine.SetAnsiCodePage(CP_UTF8);
    try {
        MarshalToHostText("caf\xE9");
        FAIL() << "an invalid UTF-8 byte must be refused";
    } catch (const Kvr::ArgumentException& error) {
        EXPECT_EQ(error.Message(),
                  "Conversion from MultiByte to WideChar failed.  Please check the content of the string and/or "
                  "locale settings.");
    }
    // The system code page form never refuses: the byte becomes U+FFFD.
    EXPECT_EQ(HostTextFromAnsi("caf\xE9"), "caf\xEF\xBF\xBD");
}

}  // namespace
