// WMI values as WMI delivers them: the VARTYPE of each CIM type, and the
// VARIANT a value becomes.
#include "platform/WmiData.h"

#include "platform/CaselessNames.h"

namespace platform {

namespace {

std::uint64_t NumberOf(const WmiScalar& element) noexcept
{
    if (const auto* s = std::get_if<std::int64_t>(&element)) return static_cast<std::uint64_t>(*s);
    if (const auto* u = std::get_if<std::uint64_t>(&element)) return *u;
    if (const auto* b = std::get_if<bool>(&element)) return *b ? 1 : 0;
    return 0;
}

std::wstring TextOf(const WmiScalar& element, CimType type)
{
    if (const auto* text = std::get_if<std::wstring>(&element)) return *text;
    if (const auto* b = std::get_if<bool>(&element)) return *b ? L"TRUE" : L"FALSE";
    if (type == CimType::Sint64 || std::holds_alternative<std::int64_t>(element))
        return std::to_wstring(static_cast<std::int64_t>(NumberOf(element)));
    return std::to_wstring(NumberOf(element));
}

// The VARTYPE of one element of a CIM type.
VARTYPE ElementVarType(CimType type) noexcept
{
    switch (type) {
    case CimType::Uint8: return VT_UI1;
    case CimType::Sint8:
    case CimType::Sint16: return VT_I2;
    case CimType::Uint16:
    case CimType::Sint32:
    case CimType::Uint32: return VT_I4;
    case CimType::Boolean: return VT_BOOL;
    case CimType::Sint64:
    case CimType::Uint64:
    case CimType::String:
    case CimType::DateTime: return VT_BSTR;
    }
    return VT_BSTR;
}

// Writes one element into a cell of its VARTYPE; a BSTR cell gets a fresh string.
HRESULT Store(const WmiScalar& element, CimType type, VARIANT& out)
{
    switch (ElementVarType(type)) {
    case VT_UI1: out.bVal = static_cast<BYTE>(NumberOf(element)); break;
    case VT_I2: out.iVal = static_cast<SHORT>(NumberOf(element)); break;
    case VT_I4: out.lVal = static_cast<LONG>(NumberOf(element)); break;
    case VT_BOOL: out.boolVal = NumberOf(element) != 0 ? VARIANT_TRUE : VARIANT_FALSE; break;
    default: {
        const std::wstring text = TextOf(element, type);
        out.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        if (out.bstrVal == nullptr) return E_OUTOFMEMORY;
    }
    }
    return S_OK;
}

}  // namespace

WmiValue WmiValue::Null(CimType type, bool isArray) { return WmiValue{type, isArray, true, {}}; }
WmiValue WmiValue::Scalar(CimType type, WmiScalar element) { return WmiValue{type, false, false, {std::move(element)}}; }
WmiValue WmiValue::Array(CimType type, std::vector<WmiScalar> elements)
{
    return WmiValue{type, true, false, std::move(elements)};
}

bool WmiNamesEqual(std::wstring_view a, std::wstring_view b) noexcept
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && FoldLower(a[i]) != FoldLower(b[i])) return false;
    return true;
}

const WmiProperty* WmiInstance::Find(std::wstring_view name) const
{
    for (const auto& property : properties)
        if (WmiNamesEqual(property.name, name)) return &property;
    return nullptr;
}

WmiProperty* WmiInstance::Find(std::wstring_view name)
{
    return const_cast<WmiProperty*>(static_cast<const WmiInstance*>(this)->Find(name));
}

void WmiInstance::Set(std::wstring_view name, WmiValue value)
{
    if (WmiProperty* property = Find(name))
        property->value = std::move(value);
    else
        properties.push_back({std::wstring(name), std::move(value)});
}

bool WmiInstance::Remove(std::wstring_view name)
{
    for (auto it = properties.begin(); it != properties.end(); ++it) {
        if (WmiNamesEqual(it->name, name)) {
            properties.erase(it);
            return true;
        }
    }
    return false;
}

VARTYPE DeliveredVarType(const WmiValue& value) noexcept
{
    if (value.isNull) return VT_NULL;
    const VARTYPE element = ElementVarType(value.type);
    return value.isArray ? static_cast<VARTYPE>(VT_ARRAY | element) : element;
}

CIMTYPE CimTypeCode(const WmiValue& value) noexcept
{
    CIMTYPE code = CIM_STRING;
    switch (value.type) {
    case CimType::Sint8: code = CIM_SINT8; break;
    case CimType::Uint8: code = CIM_UINT8; break;
    case CimType::Sint16: code = CIM_SINT16; break;
    case CimType::Uint16: code = CIM_UINT16; break;
    case CimType::Sint32: code = CIM_SINT32; break;
    case CimType::Uint32: code = CIM_UINT32; break;
    case CimType::Sint64: code = CIM_SINT64; break;
    case CimType::Uint64: code = CIM_UINT64; break;
    case CimType::Boolean: code = CIM_BOOLEAN; break;
    case CimType::String: code = CIM_STRING; break;
    case CimType::DateTime: code = CIM_DATETIME; break;
    }
    return value.isArray ? (code | CIM_FLAG_ARRAY) : code;
}

HRESULT ToVariant(const WmiValue& value, VARIANT& out)
{
    VariantInit(&out);
    out.llVal = 0;
    out.brecVal = {nullptr, nullptr};
    if (value.isNull) {
        out.vt = VT_NULL;
        return S_OK;
    }
    if (!value.isArray) {
        const WmiScalar empty = std::wstring();
        if (const HRESULT hr = Store(value.elements.empty() ? empty : value.elements.front(), value.type, out);
            FAILED(hr))
            return hr;
        out.vt = ElementVarType(value.type);
        return S_OK;
    }
    const VARTYPE elementType = ElementVarType(value.type);
    SAFEARRAY* array = SafeArrayCreateVector(elementType, 0, static_cast<ULONG>(value.elements.size()));
    if (array == nullptr) return E_OUTOFMEMORY;
    for (std::size_t i = 0; i < value.elements.size(); ++i) {
        VARIANT cell{};
        HRESULT hr = Store(value.elements[i], value.type, cell);
        LONG index = static_cast<LONG>(i);
        if (SUCCEEDED(hr)) hr = SafeArrayPutElement(array, &index, elementType == VT_BSTR ? static_cast<void*>(cell.bstrVal) : static_cast<void*>(&cell.llVal));
        if (elementType == VT_BSTR) SysFreeString(cell.bstrVal);
        if (FAILED(hr)) {
            SafeArrayDestroy(array);
            return hr;
        }
    }
    out.vt = static_cast<VARTYPE>(VT_ARRAY | elementType);
    out.parray = array;
    return S_OK;
}

}  // namespace platform
