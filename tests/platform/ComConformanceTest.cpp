#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "ConformanceMachine.h"
#include "Wine.h"
#include "platform/Win32.h"

namespace {

// Runs the body on a fresh thread, so that its COM initialisation is its own.
template <typename Body>
void OnNewThread(Body body)
{
    std::thread thread(body);
    thread.join();
}

TEST(CoInitializeEx, CountsRepeatsAndRefusesAnotherApartment)
{
    OnNewThread([] {
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
        CoUninitialize();
        CoUninitialize();
    });
    OnNewThread([] {
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
        CoUninitialize();  // only the call that succeeded is undone
    });
}

// A COM pointer released at the end of its scope.
template <typename T>
struct Held {
    T* p = nullptr;
    ~Held()
    {
        if (p != nullptr) p->Release();
    }
};

// A string released at the end of its scope.
struct Text {
    explicit Text(const wchar_t* text) : b(SysAllocString(text)) {}
    ~Text() { SysFreeString(b); }
    BSTR b;
};

class WmiConformance : public ConformanceTest {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))); }
    void TearDown() override
    {
        CoUninitialize();
        ConformanceTest::TearDown();
    }

    HRESULT Connect(const wchar_t* nameSpace, Held<IWbemServices>& services)
    {
        Held<IWbemLocator> locator;
        const HRESULT created = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                                 reinterpret_cast<void**>(&locator.p));
        if (FAILED(created)) return created;
        Text name(nameSpace);
        return locator.p->ConnectServer(name.b, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services.p);
    }

    HRESULT Query(IWbemServices* services, const wchar_t* query, LONG flags, Held<IEnumWbemClassObject>& result)
    {
        Text language(L"WQL");
        Text text(query);
        return services->ExecQuery(language.b, text.b, flags, nullptr, &result.p);
    }

    static constexpr LONG kSemiSync = WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY;
};

TEST_F(WmiConformance, LocatorConnectsKnownNamespacesOnly)
{
    Held<IWbemLocator> locator;
    ASSERT_EQ(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                               reinterpret_cast<void**>(&locator.p)),
              S_OK);
    ASSERT_NE(locator.p, nullptr);
    // Only the locator's class is registered, and it is no services object.
    const CLSID unregistered = {0x7A11B0B0, 0x5EED, 0x4C1A, {0x9E, 0x21, 0x51, 0x0C, 0x0A, 0x11, 0x5E, 0xED}};
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(unregistered, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator, &object),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemServices, &object),
              E_NOINTERFACE);
    Held<IWbemServices> cimv2;
    EXPECT_EQ(Connect(L"root\\cimv2", cimv2), S_OK);
    EXPECT_NE(cimv2.p, nullptr);
    Held<IWbemServices> upper;
    EXPECT_EQ(Connect(L"ROOT\\CIMV2", upper), S_OK);
    Held<IWbemServices> none;
    EXPECT_EQ(Connect(L"root\\nosuchnamespace", none), WBEM_E_INVALID_NAMESPACE);
    EXPECT_EQ(none.p, nullptr);
}

TEST_F(WmiConformance, ExecQueryRefusesTextThatIsNotWql)
{
    Held<IWbemServices> services;
    ASSERT_EQ(Connect(L"root\\cimv2", services), S_OK);
    for (const LONG flags : {LONG{0}, kSemiSync}) {
        Held<IEnumWbemClassObject> result;
        EXPECT_EQ(Query(services.p, L"this is not a query", flags, result), WBEM_E_INVALID_QUERY) << flags;
        EXPECT_EQ(result.p, nullptr);
    }
    Held<IEnumWbemClassObject> result;
    Text sql(L"SQL");
    Text query(L"SELECT * FROM Win32_DiskDrive");
    EXPECT_EQ(services.p->ExecQuery(sql.b, query.b, 0, nullptr, &result.p), WBEM_E_INVALID_QUERY_TYPE);
}

TEST_F(WmiConformance, UnknownClassFailsAtOnceOrAtTheFirstStep)
{
    Held<IWbemServices> services;
    ASSERT_EQ(Connect(L"root\\cimv2", services), S_OK);
    if (RunningUnderWine()) {
        // Wine answers a class it does not know in root\cimv2 with no rows;
        // its own tests record Windows' failure as not yet matched.
        Held<IEnumWbemClassObject> result;
        EXPECT_EQ(Query(services.p, L"SELECT * FROM Win32_NoSuchClass", kSemiSync, result), S_OK);
        GTEST_SKIP() << "Wine lists no rows for an unknown class instead of failing";
    }
    // Waiting for the answer, the query itself fails.
    Held<IEnumWbemClassObject> waited;
    EXPECT_EQ(Query(services.p, L"SELECT * FROM Win32_NoSuchClass", 0, waited), WBEM_E_INVALID_CLASS);
    EXPECT_EQ(waited.p, nullptr);
    // Returning at once, the failure comes with the first step.
    Held<IEnumWbemClassObject> early;
    ASSERT_EQ(Query(services.p, L"SELECT * FROM Win32_NoSuchClass", kSemiSync, early), S_OK);
    ASSERT_NE(early.p, nullptr);
    IWbemClassObject* object = nullptr;
    ULONG returned = 5;
    EXPECT_EQ(early.p->Next(WBEM_INFINITE, 1, &object, &returned), WBEM_E_INVALID_CLASS);
    EXPECT_EQ(returned, 0u);
    EXPECT_EQ(object, nullptr);
}

TEST_F(WmiConformance, NextAnswersFalseWithNothingAtAndAfterTheEnd)
{
    Held<IWbemServices> services;
    ASSERT_EQ(Connect(L"root\\cimv2", services), S_OK);
    Held<IEnumWbemClassObject> result;
    ASSERT_EQ(Query(services.p, L"SELECT * FROM Win32_DiskDrive", kSemiSync, result), S_OK);
    int rows = 0;
    for (;;) {
        IWbemClassObject* object = nullptr;
        ULONG returned = 7;
        const HRESULT hr = result.p->Next(WBEM_INFINITE, 1, &object, &returned);
        if (returned == 0) {
            EXPECT_EQ(hr, WBEM_S_FALSE);
            break;
        }
        EXPECT_EQ(hr, WBEM_S_NO_ERROR);
        ASSERT_NE(object, nullptr);
        object->Release();
        ASSERT_LT(++rows, 100);
    }
    EXPECT_GE(rows, 1);
    for (int again = 0; again < 2; ++again) {
        IWbemClassObject* object = nullptr;
        ULONG returned = 7;
        EXPECT_EQ(result.p->Next(WBEM_INFINITE, 1, &object, &returned), WBEM_S_FALSE);
        EXPECT_EQ(returned, 0u);
        EXPECT_EQ(object, nullptr);
    }
}

TEST_F(WmiConformance, GetGivesEachCimTypeItsVariantType)
{
    Held<IWbemServices> services;
    ASSERT_EQ(Connect(L"root\\cimv2", services), S_OK);
    Held<IEnumWbemClassObject> result;
    ASSERT_EQ(Query(services.p, L"SELECT * FROM Win32_DiskDrive", kSemiSync, result), S_OK);
    Held<IWbemClassObject> disk;
    ULONG returned = 0;
    ASSERT_EQ(result.p->Next(WBEM_INFINITE, 1, &disk.p, &returned), WBEM_S_NO_ERROR);
    ASSERT_EQ(returned, 1u);

    struct Expected {
        const wchar_t* name;
        VARTYPE vt;
        CIMTYPE cim;
    };
    // uint32 travels as VT_I4, uint64 as decimal text; names match in any case.
    for (const Expected& e : {Expected{L"Index", VT_I4, CIM_UINT32}, Expected{L"Size", VT_BSTR, CIM_UINT64},
                              Expected{L"Model", VT_BSTR, CIM_STRING}, Expected{L"deviceid", VT_BSTR, CIM_STRING}}) {
        VARIANT value;
        VariantInit(&value);
        CIMTYPE type = 0;
        EXPECT_EQ(disk.p->Get(e.name, 0, &value, &type, nullptr), WBEM_S_NO_ERROR) << std::wstring(e.name).size();
        EXPECT_EQ(value.vt, e.vt);
        EXPECT_EQ(type, e.cim);
        if (value.vt == VT_BSTR && e.cim == CIM_UINT64) {
            const std::wstring digits(value.bstrVal);
            EXPECT_FALSE(digits.empty());
            EXPECT_EQ(digits.find_first_not_of(L"0123456789"), std::wstring::npos);
        }
        EXPECT_EQ(VariantClear(&value), S_OK);
    }
    VARIANT value;
    VariantInit(&value);
    CIMTYPE type = CIM_ILLEGAL;
    EXPECT_EQ(disk.p->Get(L"NoSuchProperty", 0, &value, &type, nullptr), WBEM_E_NOT_FOUND);
    EXPECT_EQ(value.vt, VT_EMPTY);
    EXPECT_EQ(type, CIM_ILLEGAL) << "the type is left as it was";
}

}  // namespace
