// SAFEARRAY of the Linux build. The descriptor carries its element type in
// front of it, as Windows keeps it, and the machine whose ledger counted it.
// Bounds are stored last dimension first; the first index varies fastest.
#include <cstdlib>
#include <cstring>

#include "platform/Machine.h"
#include "platform/Win32.h"

namespace {

struct ArrayHeader {
    platform::Machine* machine;
    std::uint32_t reserved;
    std::uint32_t vt;  // the four bytes right before the descriptor
};
static_assert(sizeof(ArrayHeader) == 16);

ArrayHeader* HeaderOf(SAFEARRAY* array) noexcept
{
    return reinterpret_cast<ArrayHeader*>(reinterpret_cast<unsigned char*>(array) - sizeof(ArrayHeader));
}

ULONG ElementSize(VARTYPE vt) noexcept
{
    switch (vt) {
    case VT_I1:
    case VT_UI1: return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL: return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_ERROR: return 4;
    case VT_I8:
    case VT_UI8:
    case VT_R8:
    case VT_DATE: return 8;
    case VT_BSTR: return sizeof(BSTR);
    default: return 0;
    }
}

// The byte offset of the element at `indices`, or DISP_E_BADINDEX.
HRESULT CellOffset(const SAFEARRAY* array, const LONG* indices, std::size_t& offset) noexcept
{
    std::size_t cell = 0;
    std::size_t stride = 1;
    for (UINT dim = 0; dim < array->cDims; ++dim) {
        const SAFEARRAYBOUND& bound = array->rgsabound[array->cDims - 1 - dim];
        const long long position = static_cast<long long>(indices[dim]) - bound.lLbound;
        if (position < 0 || position >= static_cast<long long>(bound.cElements)) return DISP_E_BADINDEX;
        cell += static_cast<std::size_t>(position) * stride;
        stride *= bound.cElements;
    }
    offset = cell * array->cbElements;
    return S_OK;
}

std::size_t ElementCount(const SAFEARRAY* array) noexcept
{
    std::size_t count = 1;
    for (UINT dim = 0; dim < array->cDims; ++dim) count *= array->rgsabound[dim].cElements;
    return count;
}

const SAFEARRAYBOUND* BoundOf(SAFEARRAY* array, UINT dim) noexcept
{
    if (dim == 0 || dim > array->cDims) return nullptr;
    return &array->rgsabound[array->cDims - dim];
}

}  // namespace

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT dims, SAFEARRAYBOUND* bounds)
{
    const ULONG size = ElementSize(vt);
    if (size == 0 || dims == 0 || dims > 0xFFFF || bounds == nullptr) return nullptr;
    const std::size_t descriptor = sizeof(SAFEARRAY) + (dims - 1) * sizeof(SAFEARRAYBOUND);
    void* block = std::calloc(1, sizeof(ArrayHeader) + descriptor);
    if (block == nullptr) return nullptr;
    auto* header = static_cast<ArrayHeader*>(block);
    auto* array = reinterpret_cast<SAFEARRAY*>(header + 1);
    header->machine = &platform::CurrentMachine();
    header->vt = vt;
    array->cDims = static_cast<USHORT>(dims);
    array->fFeatures = FADF_HAVEVARTYPE | (vt == VT_BSTR ? FADF_BSTR : 0);
    array->cbElements = size;
    for (UINT dim = 0; dim < dims; ++dim) array->rgsabound[dims - 1 - dim] = bounds[dim];
    array->pvData = std::calloc(ElementCount(array) == 0 ? 1 : ElementCount(array), size);
    if (array->pvData == nullptr) {
        std::free(block);
        return nullptr;
    }
    header->machine->Ledger().Acquired(platform::Resource::SafeArray);
    return array;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements)
{
    SAFEARRAYBOUND bound{elements, lowerBound};
    return SafeArrayCreate(vt, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* array)
{
    if (array == nullptr) return S_OK;
    if (array->cLocks > 0) return DISP_E_ARRAYISLOCKED;
    if ((array->fFeatures & FADF_BSTR) != 0) {
        auto* strings = static_cast<BSTR*>(array->pvData);
        for (std::size_t i = 0, count = ElementCount(array); i < count; ++i) SysFreeString(strings[i]);
    }
    ArrayHeader* header = HeaderOf(array);
    header->machine->Ledger().Released(platform::Resource::SafeArray);
    std::free(array->pvData);
    std::free(header);
    return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* array) { return array == nullptr ? 0 : array->cDims; }

HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* upperBound)
{
    if (array == nullptr || upperBound == nullptr) return E_INVALIDARG;
    const SAFEARRAYBOUND* bound = BoundOf(array, dim);
    if (bound == nullptr) return DISP_E_BADINDEX;
    *upperBound = static_cast<LONG>(static_cast<long long>(bound->lLbound) + bound->cElements - 1);
    return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* lowerBound)
{
    if (array == nullptr || lowerBound == nullptr) return E_INVALIDARG;
    const SAFEARRAYBOUND* bound = BoundOf(array, dim);
    if (bound == nullptr) return DISP_E_BADINDEX;
    *lowerBound = bound->lLbound;
    return S_OK;
}

HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt)
{
    if (array == nullptr || vt == nullptr) return E_INVALIDARG;
    *vt = static_cast<VARTYPE>(HeaderOf(array)->vt);
    return S_OK;
}

HRESULT SafeArrayGetElement(SAFEARRAY* array, LONG* indices, void* value)
{
    if (array == nullptr || indices == nullptr || value == nullptr) return E_INVALIDARG;
    std::size_t offset = 0;
    if (const HRESULT hr = CellOffset(array, indices, offset); FAILED(hr)) return hr;
    const auto* cell = static_cast<const unsigned char*>(array->pvData) + offset;
    if ((array->fFeatures & FADF_BSTR) != 0) {
        // The caller gets its own copy, to free with SysFreeString.
        BSTR source = *reinterpret_cast<const BSTR*>(cell);
        BSTR copy = source == nullptr ? nullptr : SysAllocStringLen(source, SysStringLen(source));
        if (source != nullptr && copy == nullptr) return E_OUTOFMEMORY;
        *static_cast<BSTR*>(value) = copy;
        return S_OK;
    }
    std::memcpy(value, cell, array->cbElements);
    return S_OK;
}

HRESULT SafeArrayPutElement(SAFEARRAY* array, LONG* indices, void* value)
{
    if (array == nullptr || indices == nullptr) return E_INVALIDARG;
    std::size_t offset = 0;
    if (const HRESULT hr = CellOffset(array, indices, offset); FAILED(hr)) return hr;
    auto* cell = static_cast<unsigned char*>(array->pvData) + offset;
    if ((array->fFeatures & FADF_BSTR) != 0) {
        // The array keeps a copy of the given string.
        auto source = static_cast<BSTR>(value);
        BSTR copy = source == nullptr ? nullptr : SysAllocStringLen(source, SysStringLen(source));
        if (source != nullptr && copy == nullptr) return E_OUTOFMEMORY;
        BSTR* slot = reinterpret_cast<BSTR*>(cell);
        SysFreeString(*slot);
        *slot = copy;
        return S_OK;
    }
    if (value == nullptr) return E_INVALIDARG;
    std::memcpy(cell, value, array->cbElements);
    return S_OK;
}
