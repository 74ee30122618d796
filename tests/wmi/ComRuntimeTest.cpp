// The COM runtime and the WMI client objects of the platform, called directly.
#include <gtest/gtest.h>

#include <thread>

#include "SimMachineFixture.h"
#include "platform/Win32.h"

namespace {

class ComRuntime : public SimMachineFixture {};

TEST_F(ComRuntime, CountsApartmentJoinsPerThreadAndRefusesAChangeOfKind)
{
    EXPECT_FALSE(machine.Com().ThreadInitialized());
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), RPC_E_CHANGED_MODE);
    std::thread([&] {
        platform::MachineScope threadScope(machine);
        EXPECT_FALSE(machine.Com().ThreadInitialized());
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
        CoUninitialize();
        EXPECT_FALSE(machine.Com().ThreadInitialized());
    }).join();
    // The refused join is not counted: two leave.
    CoUninitialize();
    EXPECT_TRUE(machine.Com().ThreadInitialized());
    CoUninitialize();
    EXPECT_FALSE(machine.Com().ThreadInitialized());
    CoUninitialize();  // one too many does nothing
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    CoUninitialize();
}

TEST_F(ComRuntime, SetsProcessSecurityOncePerMachine)
{
    const auto secure = [] {
        return CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                    RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    };
    EXPECT_EQ(secure(), CO_E_NOTINITIALIZED);
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    EXPECT_EQ(secure(), S_OK);
    EXPECT_EQ(secure(), RPC_E_TOO_LATE);
    {
        sim::SimMachine other;
        platform::MachineScope otherScope(other);
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        EXPECT_EQ(secure(), S_OK);
        CoUninitialize();
    }
    CoUninitialize();
}

TEST_F(ComRuntime, CreatesOnlyTheWbemLocator)
{
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator, &object),
              CO_E_NOTINITIALIZED);
    EXPECT_EQ(object, nullptr);
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    const CLSID other = {0x4590F812, 0x1D3A, 0x11D0, {0x89, 0x1F, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
    EXPECT_EQ(CoCreateInstance(other, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator, &object), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemServices, &object),
              E_NOINTERFACE);
    IUnknown* outer = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&outer)),
              S_OK);
    EXPECT_EQ(CoCreateInstance(CLSID_WbemLocator, outer, CLSCTX_INPROC_SERVER, IID_IWbemLocator, &object),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(machine.Ledger().Open(platform::Resource::ComReference), 1);

    // Every reference is counted, whichever interface holds it.
    IWbemLocator* locator = nullptr;
    ASSERT_EQ(outer->QueryInterface(IID_IWbemLocator, reinterpret_cast<void**>(&locator)), S_OK);
    EXPECT_EQ(outer->QueryInterface(IID_IWbemServices, &object), E_NOINTERFACE);
    EXPECT_EQ(machine.Ledger().Open(platform::Resource::ComReference), 2);
    EXPECT_EQ(outer->Release(), 1u);
    EXPECT_EQ(locator->Release(), 0u);
    CoUninitialize();
}

// A connected namespace of a machine with one disk, for the calls below.
class WbemObjects : public SimMachineFixture {
protected:
    void SetUp() override
    {
        Describe(R"({"disks": [{"number": 0, "model": "M0", "pnpDeviceId": "P0", "sizeBytes": 1000000000},
                               {"number": 1, "model": "M1", "pnpDeviceId": "P1", "sizeBytes": 1000000000}]})");
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                   reinterpret_cast<void**>(&locator)),
                  S_OK);
    }
    void TearDown() override
    {
        if (services != nullptr) services->Release();
        locator->Release();
        CoUninitialize();
        SimMachineFixture::TearDown();
    }

    HRESULT Connect(const wchar_t* nameSpace)
    {
        BSTR name = SysAllocString(nameSpace);
        const HRESULT hr = locator->ConnectServer(name, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services);
        SysFreeString(name);
        return hr;
    }

    HRESULT Query(const wchar_t* language, const wchar_t* query, IEnumWbemClassObject** enumerator)
    {
        BSTR languageText = SysAllocString(language);
        BSTR queryText = SysAllocString(query);
        const HRESULT hr = services->ExecQuery(languageText, queryText, 0x30, nullptr, enumerator);
        SysFreeString(languageText);
        SysFreeString(queryText);
        return hr;
    }

    IWbemLocator* locator = nullptr;
    IWbemServices* services = nullptr;
};

TEST_F(WbemObjects, ConnectsToKnownNamespacesWhateverTheirCase)
{
    EXPECT_EQ(Connect(L"root\\nothing"), WBEM_E_INVALID_NAMESPACE);
    EXPECT_EQ(services, nullptr);
    EXPECT_EQ(Connect(L"root"), WBEM_E_INVALID_NAMESPACE);
    EXPECT_EQ(Connect(L"ROOT\\MICROSOFT\\Windows\\Storage"), S_OK);
    services->Release();
    EXPECT_EQ(Connect(L"\\\\.\\root\\cimv2"), S_OK);
}

TEST_F(WbemObjects, RunsOnlyWqlSelectsOfKnownClasses)
{
    ASSERT_EQ(Connect(L"root\\cimv2"), S_OK);
    IEnumWbemClassObject* enumerator = reinterpret_cast<IEnumWbemClassObject*>(1);
    EXPECT_EQ(Query(L"SQL", L"SELECT * FROM Win32_DiskDrive", &enumerator), WBEM_E_INVALID_QUERY_TYPE);
    EXPECT_EQ(enumerator, nullptr);
    EXPECT_EQ(Query(L"WQL", L"SELECT Model FROM Win32_DiskDrive", &enumerator), WBEM_E_INVALID_QUERY);
    // A class of another namespace is not found here either. A query that
    // returns at once reports the unknown class with its first step.
    for (const wchar_t* unknown : {L"SELECT * FROM Win32_Nothing", L"SELECT * FROM MSStorageDriver_ATAPISmartData"}) {
        ASSERT_EQ(Query(L"WQL", unknown, &enumerator), S_OK);
        IWbemClassObject* object = nullptr;
        ULONG returned = 9;
        EXPECT_EQ(enumerator->Next(static_cast<LONG>(WBEM_INFINITE), 1, &object, &returned), WBEM_E_INVALID_CLASS);
        EXPECT_EQ(returned, 0u);
        enumerator->Release();
    }
    ASSERT_EQ(Query(L"wql", L"select * from win32_diskdrive", &enumerator), S_OK);
    enumerator->Release();
}

TEST_F(WbemObjects, EnumeratesToTheEndAndStaysThere)
{
    ASSERT_EQ(Connect(L"root\\cimv2"), S_OK);
    IEnumWbemClassObject* enumerator = nullptr;
    ASSERT_EQ(Query(L"WQL", L"SELECT * FROM Win32_DiskDrive", &enumerator), S_OK);

    IWbemClassObject* objects[3] = {};
    ULONG returned = 99;
    ASSERT_EQ(enumerator->Next(static_cast<LONG>(WBEM_INFINITE), 1, objects, &returned), WBEM_S_NO_ERROR);
    EXPECT_EQ(returned, 1u);
    objects[0]->Release();
    // Asking for more than is left gives what is left.
    ASSERT_EQ(enumerator->Next(static_cast<LONG>(WBEM_INFINITE), 3, objects, &returned), WBEM_S_FALSE);
    EXPECT_EQ(returned, 1u);
    VARIANT index;
    VariantInit(&index);
    ASSERT_EQ(objects[0]->Get(L"Index", 0, &index, nullptr, nullptr), S_OK);
    EXPECT_EQ(index.lVal, 1);
    objects[0]->Release();
    for (int step = 0; step < 2; ++step) {
        objects[0] = nullptr;
        EXPECT_EQ(enumerator->Next(static_cast<LONG>(WBEM_INFINITE), 1, objects, &returned), WBEM_S_FALSE);
        EXPECT_EQ(returned, 0u);
        EXPECT_EQ(objects[0], nullptr);
    }
    enumerator->Release();
}

}  // namespace
