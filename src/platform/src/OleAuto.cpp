// BSTR and VARIANT of the Linux build. A string remembers the machine whose
// ledger counted it, so that it is released there wherever it is freed.
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>

#include "platform/Machine.h"
#include "platform/Win32.h"

namespace {

// What precedes the characters: as on Windows, the byte length sits in the
// four bytes right before them.
struct BstrHeader {
    platform::Machine* machine;
    std::uint32_t reserved;
    std::uint32_t bytes;
};
static_assert(sizeof(BstrHeader) == 16);

BstrHeader* HeaderOf(BSTR text) noexcept
{
    return reinterpret_cast<BstrHeader*>(reinterpret_cast<unsigned char*>(text) - sizeof(BstrHeader));
}

}  // namespace

BSTR SysAllocStringLen(const OLECHAR* text, UINT length)
{
    const std::size_t bytes = static_cast<std::size_t>(length) * sizeof(OLECHAR);
    if (bytes > 0xFFFFFFF0u) return nullptr;
    void* block = std::malloc(sizeof(BstrHeader) + bytes + sizeof(OLECHAR));
    if (block == nullptr) return nullptr;
    auto* header = static_cast<BstrHeader*>(block);
    header->machine = &platform::CurrentMachine();
    header->reserved = 0;
    header->bytes = static_cast<std::uint32_t>(bytes);
    auto* characters = reinterpret_cast<BSTR>(header + 1);
    if (text != nullptr)
        std::wmemcpy(characters, text, length);
    else
        std::wmemset(characters, L'\0', length);
    characters[length] = L'\0';
    header->machine->Ledger().Acquired(platform::Resource::Bstr);
    return characters;
}

BSTR SysAllocString(const OLECHAR* text)
{
    if (text == nullptr) return nullptr;
    return SysAllocStringLen(text, static_cast<UINT>(std::wcslen(text)));
}

void SysFreeString(BSTR text)
{
    if (text == nullptr) return;
    BstrHeader* header = HeaderOf(text);
    header->machine->Ledger().Released(platform::Resource::Bstr);
    std::free(header);
}

UINT SysStringLen(BSTR text)
{
    return text == nullptr ? 0 : HeaderOf(text)->bytes / static_cast<UINT>(sizeof(OLECHAR));
}

UINT SysStringByteLen(BSTR text) { return text == nullptr ? 0 : HeaderOf(text)->bytes; }

void VariantInit(VARIANTARG* value)
{
    if (value == nullptr) return;
    value->vt = VT_EMPTY;
    value->wReserved1 = value->wReserved2 = value->wReserved3 = 0;
}

namespace {

// Whether a VARIANT may carry the type: the automation types up to VT_I8 and
// VT_UINT, VT_INT, VT_RECORD and VT_CLSID, also by reference or as arrays of
// anything beyond VT_NULL. Windows refuses to clear any other.
bool ClearableType(VARTYPE vt)
{
    const VARTYPE modifiers = vt & (VT_BYREF | VT_ARRAY);
    if ((vt & ~(VT_BYREF | VT_ARRAY | VT_TYPEMASK)) != 0) return false;
    const VARTYPE base = vt & VT_TYPEMASK;
    const bool automation = (base <= 23 && base != 15) || base == 36 || base == 72;
    return automation && (modifiers == 0 || base > VT_NULL);
}

}  // namespace

HRESULT VariantClear(VARIANTARG* value)
{
    if (value == nullptr) return E_INVALIDARG;
    const VARTYPE vt = value->vt;
    if (!ClearableType(vt)) return DISP_E_BADVARTYPE;
    HRESULT hr = S_OK;
    if ((vt & VT_BYREF) != 0) {
        // Nothing is owned through a reference.
    } else if ((vt & VT_ARRAY) != 0) {
        hr = SafeArrayDestroy(value->parray);
    } else {
        switch (vt) {
        case VT_BSTR: SysFreeString(value->bstrVal); break;
        case VT_UNKNOWN:
        case VT_DISPATCH:
            if (value->punkVal != nullptr) value->punkVal->Release();
            break;
        default: break;
        }
    }
    if (FAILED(hr)) return hr;
    value->vt = VT_EMPTY;
    value->wReserved1 = value->wReserved2 = value->wReserved3 = 0;
    return S_OK;
}
