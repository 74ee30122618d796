// How the counter texts of WMI read as numbers: leading blanks, then the
// longest run of digits, refused when there is none or it overflows.
#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

#include "DecimalText.h"

namespace {

namespace DecimalText = Talvex::Quorlin::Plugins::DecimalText;

TEST(DecimalTextTest, LeadingBlanksThenTheLongestRunOfDigits)
{
    EXPECT_EQ(DecimalText::ToUInt64(" \t 42 C:"), 42u);
    EXPECT_EQ(DecimalText::ToUInt64("007x9"), 7u);
    EXPECT_EQ(DecimalText::ToUInt64("18446744073709551615"), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(DecimalText::ToUInt32("4294967295"), 4294967295u);
    for (const char* text : {"", "  ", "-1", "+1", "x1"}) {
        EXPECT_THROW(DecimalText::ToUInt64(text), std::invalid_argument) << text;
        EXPECT_THROW(DecimalText::ToUInt32(text), std::invalid_argument) << text;
    }
    EXPECT_THROW(DecimalText::ToUInt64("18446744073709551616"), std::out_of_range);
    EXPECT_THROW(DecimalText::ToUInt64("99999999999999999999"), std::out_of_range);
    EXPECT_THROW(DecimalText::ToUInt32("4294967296"), std::out_of_range);
}

}  // namespace
