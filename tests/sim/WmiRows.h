// Reading simulated WMI rows and refused descriptions in tests: a property's
// first value as text, its element bytes, the VARTYPE WMI would deliver, and
// the text of a description's refusal.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "platform/Win32.h"
#include "platform/WmiData.h"
#include "sim/DescriptionLoader.h"

namespace sim_test {

inline std::wstring Text(const platform::WmiInstance& row, const wchar_t* name)
{
    const auto* property = row.Find(name);
    if (property == nullptr) return L"<missing>";
    if (property->value.isNull || property->value.elements.empty()) return L"<null>";
    const auto& element = property->value.elements.front();
    if (const auto* text = std::get_if<std::wstring>(&element)) return *text;
    if (const auto* number = std::get_if<std::uint64_t>(&element)) return std::to_wstring(*number);
    if (const auto* number = std::get_if<std::int64_t>(&element)) return std::to_wstring(*number);
    return std::get<bool>(element) ? L"true" : L"false";
}

inline std::vector<std::uint8_t> ByteArray(const platform::WmiInstance& row, const wchar_t* name)
{
    std::vector<std::uint8_t> bytes;
    for (const auto& element : row.Find(name)->value.elements)
        bytes.push_back(static_cast<std::uint8_t>(std::get<std::uint64_t>(element)));
    return bytes;
}

inline VARTYPE Delivered(const platform::WmiInstance& row, const wchar_t* name)
{
    return platform::DeliveredVarType(row.Find(name)->value);
}

// The refusal's text, or "" when the description loads.
inline std::string Refusal(const std::string& json)
{
    try {
        sim::ParseDescription(json);
    } catch (const sim::DescriptionError& error) {
        return error.what();
    }
    return "";
}

}  // namespace sim_test
