#include "Common/WmiCommonLib.h"

#include "Common/ComRef.h"
#include "Common/Utilities.h"
#include "Common/WmiQuery.h"
#include "failure_reporting/Result.h"

namespace Talvex::Quorlin::Cpp::Common {

namespace {

const wchar_t* NamespaceOf(unsigned short selector)
{
    switch (selector) {
    case 1: return L"root\\WMI";
    case 3: return L"root\\StandardCimv2";
    case 4: return L"root\\cimv2\\Security\\MicrosoftVolumeEncryption";
    case 5: return L"root\\microsoft\\windows\\storage";
    case 6: return L"root\\cimv2\\power";
    default: return L"root\\cimv2";
    }
}

// A property value, cleared on every path out of the getter. It starts all
// zero, so that a numeric getter reads 0 from a NULL property.
class Value {
public:
    Value() noexcept
    {
        m_variant = VARIANT{};
        VariantInit(&m_variant);
    }
    ~Value() { VariantClear(&m_variant); }
    Value(const Value&) = delete;
    Value& operator=(const Value&) = delete;
    VARIANT* Out() noexcept { return &m_variant; }
    const VARIANT* operator->() const noexcept { return &m_variant; }

private:
    VARIANT m_variant;
};

// Strings read from an array belong to the reader.
class ElementString {
public:
    ElementString() = default;
    ~ElementString() { SysFreeString(m_text); }
    ElementString(const ElementString&) = delete;
    ElementString& operator=(const ElementString&) = delete;
    BSTR* Put() noexcept
    {
        SysFreeString(m_text);
        m_text = nullptr;
        return &m_text;
    }
    BSTR Get() const noexcept { return m_text; }

private:
    BSTR m_text = nullptr;
};

}  // namespace

struct WmiCommonLib::State {
    ComRef<IEnumWbemClassObject> Enumerator;
    ComRef<IWbemClassObject> Current;
    ULONG Returned = 0;
    WmiQuery Query;

    // The current object and the enumerator go before the connection and the
    // COM context.
    ~State()
    {
        Current.Reset();
        Enumerator.Reset();
    }

    void Step()
    {
        Returned = 1;
        Current.Reset();
        RAISE_IF_FAILED(Enumerator->Next(static_cast<LONG>(WBEM_INFINITE), 1, Current.Put(), &Returned));
    }

    // Reads a property of the current object into `value`.
    void Read(const std::wstring& name, Value& value)
    {
        if (!Current) RAISE_HR(E_UNEXPECTED);
        RAISE_IF_FAILED(Current->Get(name.c_str(), 0, value.Out(), nullptr, nullptr));
    }
};

WmiCommonLib::WmiCommonLib(const std::wstring& query, unsigned short nameSpace) : m_state(std::make_unique<State>())
{
    RAISE_IF_FAILED(m_state->Query.Connect(NamespaceOf(nameSpace)));
    m_state->Query.ExecQuery(query, m_state->Enumerator.Put());
    if (!m_state->Enumerator) RAISE_HR(E_UNEXPECTED);
    m_state->Step();
}

WmiCommonLib::~WmiCommonLib() = default;

bool WmiCommonLib::IsEnd() { return m_state->Returned == 0; }

void WmiCommonLib::Next() { m_state->Step(); }

std::string WmiCommonLib::GetStringByField(const std::wstring& name)
{
    Value value;
    m_state->Read(name, value);
    if (value->bstrVal == nullptr || value->vt != VT_BSTR) RAISE_HR(E_UNEXPECTED);
    return WideToUtf8(value->bstrVal, SysStringLen(value->bstrVal));
}

std::wstring WmiCommonLib::GetWstringByField(const std::wstring& name)
{
    Value value;
    m_state->Read(name, value);
    if (value->bstrVal == nullptr || value->vt != VT_BSTR) RAISE_HR(E_UNEXPECTED);
    return std::wstring(value->bstrVal, SysStringLen(value->bstrVal));
}

std::vector<uint8_t> WmiCommonLib::GetUint8ArrayByField(const std::wstring& name)
{
    Value value;
    m_state->Read(name, value);
    // Elements are copied out one byte each; an array of wider elements would
    // overrun the byte.
    const VARTYPE vt = value->vt;
    if (vt != (VT_ARRAY | VT_UI1) && vt != (VT_ARRAY | VT_I1)) RAISE_HR(E_UNEXPECTED);
    SAFEARRAY* array = value->parray;
    if (array == nullptr) RAISE_HR(E_UNEXPECTED);
    LONG upper = 0;
    RAISE_IF_FAILED(SafeArrayGetUBound(array, 1, &upper));
    std::vector<uint8_t> bytes;
    for (LONG index = 0; index <= upper; ++index) {
        uint8_t byte = 0;
        RAISE_IF_FAILED(SafeArrayGetElement(array, &index, &byte));
        bytes.push_back(byte);
    }
    return bytes;
}

std::vector<std::string> WmiCommonLib::GetStringArrayByField(const std::wstring& name)
{
    Value value;
    m_state->Read(name, value);
    if (value->vt != (VT_ARRAY | VT_BSTR) || value->parray == nullptr) RAISE_HR(E_UNEXPECTED);
    SAFEARRAY* array = value->parray;
    const SAFEARRAYBOUND& bound = array->rgsabound[0];
    std::vector<std::string> texts;
    for (ULONG i = 0; i < bound.cElements; ++i) {
        LONG index = bound.lLbound + static_cast<LONG>(i);
        ElementString element;
        RAISE_IF_FAILED(SafeArrayGetElement(array, &index, element.Put()));
        if (element.Get() == nullptr) RAISE_HR(E_UNEXPECTED);
        texts.push_back(WideToUtf8(element.Get(), SysStringLen(element.Get())));
    }
    return texts;
}

uint16_t WmiCommonLib::GetUint16ByField(const std::wstring& name)
{
    Value value;
    m_state->Read(name, value);
    return value->uiVal;
}

int32_t WmiCommonLib::GetInt32ByField(const std::wstring& name)
{
    Value value;
    m_state->Read(name, value);
    return value->lVal;
}

uint32_t WmiCommonLib::GetUint32ByField(const std::wstring& name)
{
    Value value;
    m_state->Read(name, value);
    return value->ulVal;
}

uint64_t WmiCommonLib::GetUint64ByField(const std::wstring& name)
{
    Value value;
    m_state->Read(name, value);
    if (value->bstrVal == nullptr || value->vt != VT_BSTR) RAISE_HR(E_UNEXPECTED);
    return static_cast<uint64_t>(_wtoi64(value->bstrVal));
}

bool WmiCommonLib::GetBoolByField(const std::wstring& name)
{
    Value value;
    m_state->Read(name, value);
    if (value->vt == VT_NULL) RAISE_HR(E_UNEXPECTED);
    if (value->vt != VT_BOOL) RAISE_HR(E_UNEXPECTED);
    return value->boolVal != 0;
}

}  // namespace Talvex::Quorlin::Cpp::Common
