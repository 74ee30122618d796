// The Ole32 memory and GUID helpers of the Linux build.
#pragma once

#include "platform/decl/Errors.h"

LPVOID CoTaskMemAlloc(SIZE_T size);
void CoTaskMemFree(LPVOID block);
HRESULT StringFromCLSID(REFCLSID clsid, LPOLESTR* text);
int StringFromGUID2(REFGUID guid, LPOLESTR text, int capacity);
