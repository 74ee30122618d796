#include "Values.h"

#include <cctype>

#include "../wmi/Common.h"
#include "sim/GuidText.h"

namespace sim::load {

namespace {

bool SameLetters(const std::string& a, const char* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && b[i] == '\0';
}

}  // namespace

void Read(const Node& node, std::uint8_t& out)
{
    out = static_cast<std::uint8_t>(ReadNumber(node, 0xFF, "an unsigned 8-bit integer"));
}

void Read(const Node& node, std::uint16_t& out)
{
    out = static_cast<std::uint16_t>(ReadNumber(node, 0xFFFF, "an unsigned 16-bit integer"));
}

std::uint64_t ReadNumber(const Node& node, std::uint64_t maximum, const std::string& what)
{
    const Json& value = node.value;
    if (value.is_number_unsigned() || (value.is_number_integer() && value.get<std::int64_t>() >= 0)) {
        const auto number = value.get<std::uint64_t>();
        if (number <= maximum) return number;
    } else if (value.is_string()) {
        const auto text = value.get<std::string>();
        const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
        const unsigned base = hex ? 16 : 10;
        std::uint64_t number = 0;
        bool valid = !text.empty() && text.size() <= (hex ? 18u : 20u);
        for (std::size_t i = hex ? 2 : 0; valid && i < text.size(); ++i) {
            const int digit = HexDigitValue(text[i]);
            valid = digit >= 0 && static_cast<unsigned>(digit) < base &&
                    number <= (UINT64_MAX - static_cast<unsigned>(digit)) / base;
            number = number * base + static_cast<unsigned>(digit);
        }
        if (valid && number <= maximum) return number;
    }
    node.Expected(what + " (a number, or text such as \"0x1F\")");
}

std::vector<std::uint8_t> ReadHex(const Node& node, std::size_t size)
{
    const std::string what = size != 0 ? "hex text of " + std::to_string(size) + " bytes" : "hex text of one or more bytes";
    if (!node.value.is_string()) node.Expected(what);
    const auto text = node.value.get<std::string>();
    std::vector<std::uint8_t> bytes;
    int high = -1;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (high >= 0) node.Expected(what + " (an odd digit stands alone)");
            continue;
        }
        const int digit = HexDigitValue(c);
        if (digit < 0) node.Expected(what + " (\"" + std::string(1, c) + "\" is no hex digit)");
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high << 4 | digit));
            high = -1;
        }
    }
    if (high >= 0) node.Expected(what + " (an odd number of digits)");
    if (bytes.empty() || (size != 0 && bytes.size() != size))
        node.Expected(what + ", not " + std::to_string(bytes.size()));
    return bytes;
}

GUID ReadGuid(const Node& node)
{
    if (node.value.is_string())
        if (const auto guid = GuidFromText(node.value.get<std::string>())) return *guid;
    node.Expected("a GUID such as \"EBD0A0A2-B9E5-4433-87C0-68B6B72699C7\"");
}

DWORD ReadWin32Error(const Node& node)
{
    const auto code = ReadNumber(node, 0xFFFF, "a Win32 error code from 1 to 65535");
    if (code == 0) node.Expected("a Win32 error code from 1 to 65535");
    return static_cast<DWORD>(code);
}

STORAGE_BUS_TYPE ReadBusType(const Node& node)
{
    static const char* const names[] = {"Unknown", "Scsi", "Atapi", "Ata", "1394", "Ssa",
                                        "Fibre", "Usb", "RAID", "iScsi", "Sas", "Sata",
                                        "Sd", "Mmc", "Virtual", "FileBackedVirtual", "Spaces",
                                        "Nvme", "SCM", "Ufs"};
    const std::string expected = "a bus type: a number up to 127, or Unknown, Scsi, Atapi, Ata, 1394, Ssa, Fibre, "
                                 "Usb, RAID, iScsi, Sas, Sata, Sd, Mmc, Virtual, FileBackedVirtual, Spaces, Nvme, "
                                 "SCM or Ufs";
    if (node.value.is_string()) {
        const auto text = node.value.get<std::string>();
        for (std::size_t i = 0; i < std::size(names); ++i)
            if (SameLetters(text, names[i])) return static_cast<STORAGE_BUS_TYPE>(i);
        node.Expected(expected);
    }
    if (!node.value.is_number_unsigned() || node.value.get<std::uint64_t>() > 0x7F) node.Expected(expected);
    return static_cast<STORAGE_BUS_TYPE>(node.value.get<std::uint64_t>());
}

void RefuseKey(const Node& parent, const std::string& key, const std::string& problem)
{
    throw DescriptionError(parent.MemberPath(key), problem);
}

std::wstring Widen(const std::string& utf8) { return wmi::Wide(utf8); }

}  // namespace sim::load
