// The Ole32 task memory and GUID text helpers of the Linux build.
#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "platform/Machine.h"
#include "platform/Win32.h"

LPVOID CoTaskMemAlloc(SIZE_T size)
{
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block != nullptr) platform::CurrentMachine().Ledger().Acquired(platform::Resource::TaskMemory);
    return block;
}

void CoTaskMemFree(LPVOID block)
{
    if (block == nullptr) return;
    platform::CurrentMachine().Ledger().Released(platform::Resource::TaskMemory);
    std::free(block);
}

int StringFromGUID2(REFGUID guid, LPOLESTR text, int capacity)
{
    constexpr int kLength = 39;  // braces, 32 digits, 4 hyphens and the terminator
    if (text == nullptr || capacity < kLength) return 0;
    std::swprintf(text, static_cast<std::size_t>(capacity),
                  L"{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", guid.Data1, guid.Data2, guid.Data3,
                  guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                  guid.Data4[6], guid.Data4[7]);
    return kLength;
}

HRESULT StringFromCLSID(REFCLSID clsid, LPOLESTR* text)
{
    if (text == nullptr) return E_INVALIDARG;
    *text = platform::CurrentMachine().RefusesGuidText(clsid) ? nullptr
                                                              : static_cast<LPOLESTR>(CoTaskMemAlloc(39 * sizeof(OLECHAR)));
    if (*text == nullptr) return E_OUTOFMEMORY;
    StringFromGUID2(clsid, *text, 39);
    return S_OK;
}
