#include "Common.h"

#include <cstdlib>

namespace sim::wmi {

std::wstring Wide(const std::string& utf8)
{
    // Decoded here rather than through the platform, so that the simulator does
    // not depend on the machine in scope. A byte that starts no valid sequence
    // becomes U+FFFD (JSON text is valid UTF-8, so this is only a safeguard).
    std::wstring wide;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t extra = 0;
        char32_t point = lead;
        if ((lead & 0xE0) == 0xC0)
            extra = 1, point = lead & 0x1F;
        else if ((lead & 0xF0) == 0xE0)
            extra = 2, point = lead & 0x0F;
        else if ((lead & 0xF8) == 0xF0)
            extra = 3, point = lead & 0x07;
        else if (lead >= 0x80)
            extra = 4;  // not a lead byte
        bool valid = extra < 4 && i + extra < utf8.size();
        for (std::size_t k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0) == 0x80;
            point = (point << 6) | (next & 0x3F);
        }
        if (!valid) {
            wide.push_back(static_cast<wchar_t>(0xFFFD));
            ++i;
            continue;
        }
        if (sizeof(wchar_t) == 2 && point > 0xFFFF) {
            wide.push_back(static_cast<wchar_t>(0xD800 + ((point - 0x10000) >> 10)));
            wide.push_back(static_cast<wchar_t>(0xDC00 + ((point - 0x10000) & 0x3FF)));
        } else {
            wide.push_back(static_cast<wchar_t>(point));
        }
        i += extra + 1;
    }
    return wide;
}

const PropertyType& RowBuilder::TypeOf(const wchar_t* name) const
{
    for (const auto& type : m_types)
        if (platform::WmiNamesEqual(type.name, name)) return type;
    std::abort();
}

RowBuilder& RowBuilder::Put(const wchar_t* name, platform::WmiScalar element)
{
    const PropertyType& type = TypeOf(name);
    m_row.Set(type.name, platform::WmiValue::Scalar(type.type, std::move(element)));
    return *this;
}

RowBuilder& RowBuilder::Text(const wchar_t* name, std::wstring value) { return Put(name, std::move(value)); }
RowBuilder& RowBuilder::Unsigned(const wchar_t* name, std::uint64_t value) { return Put(name, value); }
RowBuilder& RowBuilder::Signed(const wchar_t* name, std::int64_t value) { return Put(name, value); }
RowBuilder& RowBuilder::Flag(const wchar_t* name, bool value) { return Put(name, value); }

RowBuilder& RowBuilder::Array(const wchar_t* name, std::vector<platform::WmiScalar> elements)
{
    const PropertyType& type = TypeOf(name);
    m_row.Set(type.name, platform::WmiValue::Array(type.type, std::move(elements)));
    return *this;
}

RowBuilder& RowBuilder::Null(const wchar_t* name)
{
    const PropertyType& type = TypeOf(name);
    m_row.Set(type.name, platform::WmiValue::Null(type.type, type.isArray));
    return *this;
}

}  // namespace sim::wmi
