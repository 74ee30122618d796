// Helpers for the files that derive WMI rows: a row builder that takes each
// property's type from the class's declared types, and text widening.
#pragma once

#include <string>
#include <vector>

#include "DerivedClasses.h"

namespace sim::wmi {

// UTF-8 description text as the wide text WMI delivers.
std::wstring Wide(const std::string& utf8);

class RowBuilder {
public:
    explicit RowBuilder(const std::vector<PropertyType>& types) : m_types(types) {}

    RowBuilder& Text(const wchar_t* name, std::wstring value);
    RowBuilder& Unsigned(const wchar_t* name, std::uint64_t value);
    RowBuilder& Signed(const wchar_t* name, std::int64_t value);
    RowBuilder& Flag(const wchar_t* name, bool value);
    RowBuilder& Array(const wchar_t* name, std::vector<platform::WmiScalar> elements);
    RowBuilder& Null(const wchar_t* name);

    platform::WmiInstance Take() { return std::move(m_row); }

private:
    // The declared type; a property the class does not declare is a mistake
    // in the deriving code and ends the program.
    const PropertyType& TypeOf(const wchar_t* name) const;
    RowBuilder& Put(const wchar_t* name, platform::WmiScalar element);

    const std::vector<PropertyType>& m_types;
    platform::WmiInstance m_row;
};

}  // namespace sim::wmi
