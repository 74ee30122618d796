#include "stordex/Array.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using talvex::Array;
using talvex::Carray;

// A 16-byte little-endian counter whose low bytes hold `bytes`, index 0 first.
Carray<16> Counter(const std::vector<unsigned>& bytes)
{
    Carray<16> counter{};
    for (std::size_t index = 0; index < bytes.size(); ++index) {
        counter[index] = static_cast<char>(bytes[index]);
    }
    return counter;
}

// Hex() writes the little-endian number most significant byte first, without
// leading zero bytes but never empty; a plain char must not widen to FFFFFF..
TEST(ArrayHex, WritesTheNumberMostSignificantByteFirst)
{
    struct Row {
        std::vector<unsigned> bytes;
        std::string hex;
    };
    const Row rows[] = {
        {{}, "00"},
        {{0x38, 0x25, 0x00}, "2538"},
        {{0x0A, 0xBC, 0xDE, 0xF1}, "F1DEBC0A"},
        {{0x01, 0x00, 0x00, 0x02}, "02000001"},
        {{0x00, 0x00, 0x09, 0x00}, "090000"},
        {{0xFF, 0x80}, "80FF"},
        {std::vector<unsigned>(16, 0xFF), std::string(32, 'F')},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Counter(row.bytes).Hex(), row.hex) << "row " << row.hex;
    }
    Array<unsigned char, 1> one{};
    EXPECT_EQ(one.Hex(), "00");
    one[0] = 0xAB;
    EXPECT_EQ(one.Hex(), "AB");
    for (std::uint64_t value : {0xFFULL, 0x10000ULL, 0x0123456789ABCDEFULL, ~0ULL}) {
        std::vector<unsigned> bytes;
        for (int index = 0; index < 8; ++index) {
            bytes.push_back(static_cast<unsigned>((value >> (8 * index)) & 0xFF));
        }
        char printed[32];
        std::snprintf(printed, sizeof printed, "%llX", static_cast<unsigned long long>(value));
        const std::string expected = std::string(std::string(printed).size() % 2, '0') + printed;
        EXPECT_EQ(Counter(bytes).Hex(), expected) << "value " << value;
    }
}

TEST(CarrayStr, ReturnsAllCharactersWithTheirNuls)
{
    Carray<8> text{{'A', 'B', '\0', '\0', ' ', 'C', '\0', '\0'}};
    EXPECT_EQ(text.Str(), std::string("AB\0\0 C\0\0", 8));
    EXPECT_EQ((Carray<3>{{'x', 'y', 'z'}}.Str()), "xyz");
}

}  // namespace
