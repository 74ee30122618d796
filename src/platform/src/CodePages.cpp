#include "CodePages.h"

#include <array>

#include "platform/Machine.h"

namespace platform::codepages {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Code page 1252 between 0x80 and 0x9F; the five unassigned bytes map to the
// C1 control of the same value, as Windows maps them.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t Decode1252(unsigned char byte)
{
    return (byte >= 0x80 && byte <= 0x9F) ? kCp1252High[byte - 0x80] : byte;
}

std::optional<unsigned char> Encode1252(char32_t point)
{
    if (point < 0x80 || (point >= 0xA0 && point <= 0xFF)) return static_cast<unsigned char>(point);
    for (std::size_t i = 0; i < kCp1252High.size(); ++i)
        if (kCp1252High[i] == point) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

bool IsSurrogate(char32_t point) { return point >= 0xD800 && point <= 0xDFFF; }

// One UTF-8 sequence starting at bytes[i]. An ill-formed sequence yields one
// replacement for its well-formed prefix, and reading goes on at the byte that
// broke it; as Windows reads it, a second byte that is a continuation byte but
// makes the sequence overlong, a surrogate or too large is taken into that
// replacement too.
char32_t NextUtf8(const unsigned char* bytes, std::size_t count, std::size_t& i, bool& invalid)
{
    const unsigned char lead = bytes[i++];
    if (lead < 0x80) return lead;
    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    // clang-format off
    if (lead >= 0xC2 && lead <= 0xDF) length = 1;
    else if (lead >= 0xE0 && lead <= 0xEF) length = 2;
    else if (lead >= 0xF0 && lead <= 0xF4) length = 3;
    else { invalid = true; return kReplacement; }
    if (lead == 0xE0) low = 0xA0;        // overlong
    else if (lead == 0xED) high = 0x9F;  // surrogates
    else if (lead == 0xF0) low = 0x90;   // overlong
    else if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
    // clang-format on
    char32_t point = lead & (0x3F >> length);
    for (int k = 0; k < length; ++k) {
        const unsigned char next = i < count ? bytes[i] : 0;
        if (i >= count || next < low || next > high) {
            if (k == 0 && i < count && next >= 0x80 && next <= 0xBF) ++i;
            invalid = true;
            return kReplacement;
        }
        point = (point << 6) | (next & 0x3F);
        low = 0x80;
        high = 0xBF;
        ++i;
    }
    return point;
}

void AppendUtf8(std::string& out, char32_t point)
{
    if (point < 0x80) {
        out.push_back(static_cast<char>(point));
    } else if (point < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (point >> 6)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    } else if (point < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (point >> 12)));
        out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (point >> 18)));
        out.push_back(static_cast<char>(0x80 | ((point >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (point & 0x3F)));
    }
}

}  // namespace

bool IsSupported(UINT codePage)
{
    return codePage == CP_UTF8 || codePage == 1252 || codePage == 28591 || codePage == 20127;
}

std::optional<UINT> Resolve(UINT codePage)
{
    if (codePage == CP_ACP || codePage == CP_THREAD_ACP) codePage = CurrentMachine().AnsiCodePage();
    if (!IsSupported(codePage)) return std::nullopt;
    return codePage;
}

Decoded Decode(UINT codePage, const char* text, std::size_t count)
{
    Decoded result;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    result.text.reserve(count);
    for (std::size_t i = 0; i < count;) {
        if (codePage == CP_UTF8) {
            result.text.push_back(NextUtf8(bytes, count, i, result.invalid));
            continue;
        }
        const unsigned char byte = bytes[i++];
        if (codePage == 1252) {
            result.text.push_back(Decode1252(byte));
        } else if (codePage == 20127 && byte >= 0x80) {
            result.text.push_back(byte & 0x7F);  // Windows strips the high bit
        } else {
            result.text.push_back(byte);
        }
    }
    return result;
}

Encoded Encode(UINT codePage, const char32_t* text, std::size_t count, char defaultChar)
{
    Encoded result;
    for (std::size_t i = 0; i < count; ++i) {
        char32_t point = text[i];
        if (IsSurrogate(point) || point > 0x10FFFF) {
            result.invalid = true;
            point = kReplacement;
        }
        if (codePage == CP_UTF8) {
            AppendUtf8(result.bytes, point);
            continue;
        }
        std::optional<unsigned char> byte;
        // clang-format off
        if (codePage == 1252) byte = Encode1252(point);
        else if (codePage == 28591 && point <= 0xFF) byte = static_cast<unsigned char>(point);
        else if (codePage == 20127 && point < 0x80) byte = static_cast<unsigned char>(point);
        // clang-format on
        if (byte) {
            result.bytes.push_back(static_cast<char>(*byte));
        } else {
            result.bytes.push_back(defaultChar);
            result.usedDefault = true;
        }
    }
    return result;
}

}  // namespace platform::codepages
