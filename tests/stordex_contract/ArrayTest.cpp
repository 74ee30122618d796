#include "stordex/Array.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <type_traits>

namespace {

using talvex::Array;
using talvex::Carray;

// The library copies device fields straight into these arrays, so they must
// be exactly the bytes of the field.
static_assert(sizeof(Array<unsigned char, 16>) == 16);
static_assert(std::is_standard_layout_v<Array<unsigned char, 16>>);
static_assert(std::is_trivially_copyable_v<Array<unsigned char, 16>>);
static_assert(sizeof(Array<unsigned char, 3>) == 3);
static_assert(sizeof(Carray<256>) == 256);
static_assert(std::is_standard_layout_v<Carray<20>>);

// Builds an array from its bytes, index 0 first, through element access.
template <typename T, std::size_t N>
Array<T, N> FromBytes(std::initializer_list<unsigned> bytes) {
    Array<T, N> array{};
    std::size_t index = 0;
    for (unsigned byte : bytes) {
        array[index++] = static_cast<T>(byte);
    }
    return array;
}

// A 64-bit value as the low bytes of a 16-byte little-endian counter.
Carray<16> Counter(std::uint64_t value) {
    Carray<16> counter{};
    for (std::size_t index = 0; index < 8; ++index) {
        counter[index] = static_cast<char>((value >> (8 * index)) & 0xFF);
    }
    return counter;
}

TEST(ArrayHex, WritesTheLittleEndianNumberMostSignificantByteFirst) {
    EXPECT_EQ((FromBytes<unsigned char, 3>({0x38, 0x25, 0x00}).Hex()), "2538");
    EXPECT_EQ(Counter(256).Hex(), "0100");
    EXPECT_EQ(Counter(4660).Hex(), "1234");
    EXPECT_EQ((FromBytes<unsigned char, 4>({0x0A, 0xBC, 0xDE, 0xF1}).Hex()), "F1DEBC0A");
}

TEST(ArrayHex, ZeroIsWrittenAsOneZeroByte) {
    EXPECT_EQ(Carray<16>{}.Hex(), "00");
    EXPECT_EQ((Array<unsigned char, 3>{}.Hex()), "00");
}

TEST(ArrayHex, KeepsZeroBytesOnceTheFirstByteIsWritten) {
    EXPECT_EQ((FromBytes<unsigned char, 4>({0x01, 0x00, 0x00, 0x02}).Hex()), "02000001");
    EXPECT_EQ((FromBytes<unsigned char, 4>({0x00, 0x07, 0x00, 0x00}).Hex()), "0700");
    EXPECT_EQ((FromBytes<unsigned char, 4>({0x00, 0x00, 0x09, 0x00}).Hex()), "090000");
}

TEST(ArrayHex, OneElementArrayIsAlwaysWritten) {
    EXPECT_EQ((FromBytes<unsigned char, 1>({0x00}).Hex()), "00");
    EXPECT_EQ((FromBytes<unsigned char, 1>({0x05}).Hex()), "05");
    EXPECT_EQ((FromBytes<unsigned char, 1>({0xAB}).Hex()), "AB");
}

TEST(ArrayHex, ReadsCharactersAsUnsignedBytes) {
    // A plain char is signed here; 0x80 and above must not widen to FFFFFF..
    EXPECT_EQ((FromBytes<char, 2>({0xFF, 0x80}).Hex()), "80FF");
    Carray<16> allOnes{};
    for (char& element : allOnes) {
        element = static_cast<char>(0xFF);
    }
    EXPECT_EQ(allOnes.Hex(), std::string(32, 'F'));
}

TEST(ArrayHex, AgreesWithPrintfForCountersOfEveryWidth) {
    for (std::uint64_t value : {0x1ULL, 0xFFULL, 0x100ULL, 0x10000ULL, 0x1000000ULL, 0xFF00FF00ULL,
                                0x10000000001ULL, 0x0123456789ABCDEFULL, ~0ULL}) {
        char printed[32];
        std::snprintf(printed, sizeof printed, "%llX", static_cast<unsigned long long>(value));
        std::string expected = printed;
        if (expected.size() % 2 != 0) {
            expected.insert(0, "0");
        }
        EXPECT_EQ(Counter(value).Hex(), expected) << "value " << value;
    }
}

TEST(CarrayStr, ReturnsAllCharactersWithTheirNuls) {
    Carray<8> text{{'A', 'B', '\0', '\0', ' ', 'C', '\0', '\0'}};
    const std::string str = text.Str();
    EXPECT_EQ(str.size(), 8u);
    EXPECT_EQ(str, std::string("AB\0\0 C\0\0", 8));

    EXPECT_EQ(Carray<4>{}.Str(), std::string(4, '\0'));
    EXPECT_EQ((Carray<3>{{'x', 'y', 'z'}}.Str()), "xyz");
}

}  // namespace
