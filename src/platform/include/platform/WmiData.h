// WMI data as a machine hands it to the platform: class instances as property
// bags of CIM-typed values. The platform turns them into VARIANTs the way WMI
// does (an uint64 as decimal text, an uint16 as VT_I4, ...).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/Win32.h"

namespace platform {

enum class CimType { Sint8,
                     Uint8,
                     Sint16,
                     Uint16,
                     Sint32,
                     Uint32,
                     Sint64,
                     Uint64,
                     Boolean,
                     String,
                     DateTime };

// One element: integers signed or unsigned as their CIM type is, booleans,
// texts. A value of a numeric type holding text (or the reverse) is delivered
// as its type says: numbers are read as 0, texts get the decimal digits.
using WmiScalar = std::variant<std::int64_t, std::uint64_t, bool, std::wstring>;

struct WmiValue {
    CimType type = CimType::String;
    bool isArray = false;
    bool isNull = false;
    std::vector<WmiScalar> elements;  // one for a scalar

    static WmiValue Null(CimType type, bool isArray = false);
    static WmiValue Scalar(CimType type, WmiScalar element);
    static WmiValue Array(CimType type, std::vector<WmiScalar> elements);
};

struct WmiProperty {
    std::wstring name;
    WmiValue value;
};

// One class instance: its properties in the order the class declares them.
// Property names compare without regard to case, as WMI compares them.
struct WmiInstance {
    std::vector<WmiProperty> properties;

    const WmiProperty* Find(std::wstring_view name) const;
    WmiProperty* Find(std::wstring_view name);
    // Replaces the value of a present property, else appends the property.
    void Set(std::wstring_view name, WmiValue value);
    bool Remove(std::wstring_view name);
};

// What a machine answers to a query for all instances of one class.
struct WmiClassAnswer {
    HRESULT result = S_OK;  // a failure is ExecQuery's answer
    std::vector<WmiInstance> instances;
    // The enumerator step (1 for the first Next call) that fails with
    // failingNextResult and returns nothing; 0 when every step succeeds.
    ULONG failingNext = 0;
    HRESULT failingNextResult = S_OK;
};

// WMI names (namespaces, classes, properties) compare without regard to case.
bool WmiNamesEqual(std::wstring_view a, std::wstring_view b) noexcept;

// The VARTYPE and CIMTYPE a value is delivered with.
VARTYPE DeliveredVarType(const WmiValue& value) noexcept;
CIMTYPE CimTypeCode(const WmiValue& value) noexcept;

// Fills `out` (assumed empty) with the value as WMI delivers it; strings and
// arrays are fresh allocations the caller frees with VariantClear.
HRESULT ToVariant(const WmiValue& value, VARIANT& out);

}  // namespace platform
