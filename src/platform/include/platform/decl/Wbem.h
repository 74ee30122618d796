// The WMI client interfaces of the Linux build: the locator, a namespace's
// services, the result enumerator and a class object, each with the methods the
// system calls, declared as <wbemidl.h> declares them so that one source
// compiles against both.
#pragma once

#include "platform/decl/Com.h"
#include "platform/decl/OleAuto.h"

using CIMTYPE = LONG;

enum CIMTYPE_ENUMERATION : LONG {
    CIM_ILLEGAL = 0xFFF,
    CIM_EMPTY = 0,
    CIM_SINT8 = 16,
    CIM_UINT8 = 17,
    CIM_SINT16 = 2,
    CIM_UINT16 = 18,
    CIM_SINT32 = 3,
    CIM_UINT32 = 19,
    CIM_SINT64 = 20,
    CIM_UINT64 = 21,
    CIM_REAL32 = 4,
    CIM_REAL64 = 5,
    CIM_BOOLEAN = 11,
    CIM_STRING = 8,
    CIM_DATETIME = 101,
    CIM_REFERENCE = 102,
    CIM_CHAR16 = 103,
    CIM_OBJECT = 13,
    CIM_FLAG_ARRAY = 0x2000,
};

enum WBEM_GENERIC_FLAG_TYPE : LONG {
    WBEM_FLAG_RETURN_IMMEDIATELY = 0x10,
    WBEM_FLAG_RETURN_WBEM_COMPLETE = 0,
    WBEM_FLAG_BIDIRECTIONAL = 0,
    WBEM_FLAG_FORWARD_ONLY = 0x20,
    WBEM_FLAG_NO_ERROR_OBJECT = 0x40,
    WBEM_FLAG_SEND_STATUS = 0x80,
};

enum WBEM_TIMEOUT_TYPE : DWORD {
    WBEM_NO_WAIT = 0,
    WBEM_INFINITE = 0xFFFFFFFF,
};

enum WBEM_FLAVOR_TYPE : LONG {
    WBEM_FLAVOR_ORIGIN_LOCAL = 0,
    WBEM_FLAVOR_ORIGIN_PROPAGATED = 0x20,
    WBEM_FLAVOR_ORIGIN_SYSTEM = 0x40,
};

// WBEM status codes.
#define WBEM_S_NO_ERROR PLATFORM_HR(0)
#define WBEM_S_FALSE PLATFORM_HR(1)
#define WBEM_S_TIMEDOUT PLATFORM_HR(0x40004)
#define WBEM_E_FAILED PLATFORM_HR(0x80041001)
#define WBEM_E_NOT_FOUND PLATFORM_HR(0x80041002)
#define WBEM_E_ACCESS_DENIED PLATFORM_HR(0x80041003)
#define WBEM_E_PROVIDER_FAILURE PLATFORM_HR(0x80041004)
#define WBEM_E_TYPE_MISMATCH PLATFORM_HR(0x80041005)
#define WBEM_E_OUT_OF_MEMORY PLATFORM_HR(0x80041006)
#define WBEM_E_INVALID_CONTEXT PLATFORM_HR(0x80041007)
#define WBEM_E_INVALID_PARAMETER PLATFORM_HR(0x80041008)
#define WBEM_E_NOT_AVAILABLE PLATFORM_HR(0x80041009)
#define WBEM_E_CRITICAL_ERROR PLATFORM_HR(0x8004100A)
#define WBEM_E_NOT_SUPPORTED PLATFORM_HR(0x8004100C)
#define WBEM_E_INVALID_NAMESPACE PLATFORM_HR(0x8004100E)
#define WBEM_E_INVALID_OBJECT PLATFORM_HR(0x8004100F)
#define WBEM_E_INVALID_CLASS PLATFORM_HR(0x80041010)
#define WBEM_E_INVALID_QUERY PLATFORM_HR(0x80041017)
#define WBEM_E_INVALID_QUERY_TYPE PLATFORM_HR(0x80041018)
#define WBEM_E_SHUTTING_DOWN PLATFORM_HR(0x80041033)
#define WBEM_E_TIMED_OUT PLATFORM_HR(0x80043001)

struct IWbemContext;
struct IWbemServices;
struct IEnumWbemClassObject;
struct IWbemClassObject;

struct IWbemClassObject : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Get(LPCWSTR wszName, LONG lFlags, VARIANT* pVal, CIMTYPE* pType,
                                          LONG* plFlavor) = 0;
};

struct IEnumWbemClassObject : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Next(LONG lTimeout, ULONG uCount, IWbemClassObject** apObjects,
                                           ULONG* puReturned) = 0;
};

struct IWbemServices : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE ExecQuery(const BSTR strQueryLanguage, const BSTR strQuery, LONG lFlags,
                                                IWbemContext* pCtx, IEnumWbemClassObject** ppEnum) = 0;
};

struct IWbemLocator : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE ConnectServer(const BSTR strNetworkResource, const BSTR strUser,
                                                    const BSTR strPassword, const BSTR strLocale,
                                                    LONG lSecurityFlags, const BSTR strAuthority,
                                                    IWbemContext* pCtx, IWbemServices** ppNamespace) = 0;
};

// {4590F811-1D3A-11D0-891F-00AA004B2E24}
inline constexpr CLSID CLSID_WbemLocator = {0x4590F811, 0x1D3A, 0x11D0, {0x89, 0x1F, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
// {DC12A687-737F-11CF-884D-00AA004B2E24}
inline constexpr IID IID_IWbemLocator = {0xDC12A687, 0x737F, 0x11CF, {0x88, 0x4D, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
// {9556DC99-828C-11CF-A37E-00AA003240C7}
inline constexpr IID IID_IWbemServices = {0x9556DC99, 0x828C, 0x11CF, {0xA3, 0x7E, 0x00, 0xAA, 0x00, 0x32, 0x40, 0xC7}};
// {027947E1-D731-11CE-A357-000000000001}
inline constexpr IID IID_IEnumWbemClassObject = {0x027947E1, 0xD731, 0x11CE, {0xA3, 0x57, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}};
// {DC12A681-737F-11CF-884D-00AA004B2E24}
inline constexpr IID IID_IWbemClassObject = {0xDC12A681, 0x737F, 0x11CF, {0x88, 0x4D, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
