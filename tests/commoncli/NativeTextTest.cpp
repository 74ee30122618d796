#include "CommonCLI/NativeText.h"

#include <stdexcept>

#include <gtest/gtest.h>

namespace {

using Talvex::Quorlin::Cpp::Common::DecodeNativeText;
using Talvex::Quorlin::Cpp::Common::NativeDescription;

constexpr const char* Replacement = "\xEF\xBF\xBD";

TEST(NativeText, WellFormedTextIsKeptByteForByte) {
    const std::string text = "disk \xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x92\xBE end";
    EXPECT_EQ(DecodeNativeText(text), text);
    EXPECT_EQ(DecodeNativeText(""), "");
}

TEST(NativeText, EachByteThatStartsNoSequenceBecomesOneReplacement) {
    // A code page 1252 "é" (0xE9) followed by an ASCII letter is no UTF-8 sequence.
    EXPECT_EQ(DecodeNativeText("caf\xE9!"), std::string("caf") + Replacement + "!");
    // Overlong slash, a UTF-16 surrogate and a stray continuation byte.
    EXPECT_EQ(DecodeNativeText("\xC0\xAF"), std::string(Replacement) + Replacement);
    EXPECT_EQ(DecodeNativeText("\xED\xA0\x80"), std::string(Replacement) + Replacement + Replacement);
    EXPECT_EQ(DecodeNativeText("a\x80z"), std::string("a") + Replacement + "z");
    // A sequence cut off by the end of the text.
    EXPECT_EQ(DecodeNativeText("x\xE2\x82"), std::string("x") + Replacement + Replacement);
    // Above U+10FFFF.
    EXPECT_EQ(DecodeNativeText("\xF4\x90\x80\x80").substr(0, 3), Replacement);
}

TEST(NativeText, DescriptionIsWhatDecoded) {
    EXPECT_EQ(NativeDescription(std::runtime_error("bad \xFF byte")), std::string("bad ") + Replacement + " byte");
}

}  // namespace
