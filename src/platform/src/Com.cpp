// The COM runtime of the Linux build: apartments and process security kept per
// machine, the WBEM locator as the one creatable class, proxy security.
#include <string>

#include "CallText.h"
#include "ComObjects.h"
#include "platform/ComRuntime.h"
#include "platform/Machine.h"

namespace platform {

HRESULT ComRuntime::Initialize(DWORD coInit)
{
    const bool multithreaded = (coInit & COINIT_APARTMENTTHREADED) == 0;
    std::lock_guard lock(m_lock);
    Apartment& apartment = m_apartments[std::this_thread::get_id()];
    if (apartment.joins == 0) {
        apartment.multithreaded = multithreaded;
        apartment.joins = 1;
        return S_OK;
    }
    if (apartment.multithreaded != multithreaded) return RPC_E_CHANGED_MODE;
    ++apartment.joins;
    return S_FALSE;
}

void ComRuntime::Uninitialize()
{
    std::lock_guard lock(m_lock);
    const auto found = m_apartments.find(std::this_thread::get_id());
    if (found == m_apartments.end()) return;
    if (--found->second.joins == 0) m_apartments.erase(found);
}

bool ComRuntime::ThreadInitialized() const
{
    std::lock_guard lock(m_lock);
    return m_apartments.count(std::this_thread::get_id()) != 0;
}

HRESULT ComRuntime::InitializeSecurity()
{
    std::lock_guard lock(m_lock);
    if (m_apartments.count(std::this_thread::get_id()) == 0) return CO_E_NOTINITIALIZED;
    if (m_securitySet) return RPC_E_TOO_LATE;
    m_securitySet = true;
    return S_OK;
}

// A machine without a WMI service: no namespace to connect to.
HRESULT Machine::WmiConnect(std::wstring_view) const { return WBEM_E_INVALID_NAMESPACE; }

WmiClassAnswer Machine::WmiInstances(std::wstring_view, std::wstring_view) const
{
    WmiClassAnswer answer;
    answer.result = WBEM_E_INVALID_CLASS;
    return answer;
}

void Machine::NoteComCall(std::string_view) {}

}  // namespace platform

using namespace platform::calltext;

HRESULT CoInitializeEx(LPVOID reserved, DWORD coInit)
{
    auto& machine = platform::CurrentMachine();
    machine.NoteComCall("CoInitializeEx(" + Pointer(reserved) + ", " + Hex(coInit) + ")");
    if (reserved != nullptr) return E_INVALIDARG;
    return machine.Com().Initialize(coInit);
}

void CoUninitialize()
{
    auto& machine = platform::CurrentMachine();
    machine.NoteComCall("CoUninitialize()");
    machine.Com().Uninitialize();
}

HRESULT CoInitializeSecurity(PSECURITY_DESCRIPTOR securityDescriptor, LONG authServiceCount,
                             SOLE_AUTHENTICATION_SERVICE* authServices, void* reserved1, DWORD authnLevel,
                             DWORD impLevel, void* authList, DWORD capabilities, void* reserved3)
{
    auto& machine = platform::CurrentMachine();
    machine.NoteComCall("CoInitializeSecurity(" + Pointer(securityDescriptor) + ", " +
                        std::to_string(authServiceCount) + ", " + Pointer(authServices) + ", " +
                        Pointer(reserved1) + ", " + std::to_string(authnLevel) + ", " + std::to_string(impLevel) +
                        ", " + Pointer(authList) + ", " + std::to_string(capabilities) + ", " +
                        Pointer(reserved3) + ")");
    if (reserved1 != nullptr || reserved3 != nullptr) return E_INVALIDARG;
    return machine.Com().InitializeSecurity();
}

HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD clsContext, REFIID iid, LPVOID* object)
{
    auto& machine = platform::CurrentMachine();
    machine.NoteComCall("CoCreateInstance(" + Guid(clsid) + ", " + Pointer(outer) + ", " +
                        std::to_string(clsContext) + ", " + Guid(iid) + ")");
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!machine.Com().ThreadInitialized()) return CO_E_NOTINITIALIZED;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    if (clsid != CLSID_WbemLocator || (clsContext & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
    if (iid != IID_IWbemLocator && iid != IID_IUnknown) return E_NOINTERFACE;
    *object = platform::NewWbemLocator(machine);
    return S_OK;
}

HRESULT CoSetProxyBlanket(IUnknown* proxy, DWORD authnService, DWORD authzService, OLECHAR* serverPrincipalName,
                          DWORD authnLevel, DWORD impLevel, RPC_AUTH_IDENTITY_HANDLE authInfo, DWORD capabilities)
{
    const auto* object = platform::ComObjectBase::From(proxy);
    auto& machine = object != nullptr ? object->Owner() : platform::CurrentMachine();
    machine.NoteComCall("CoSetProxyBlanket(" + std::string(object != nullptr ? object->Kind() : Pointer(proxy).c_str()) +
                        ", " + std::to_string(authnService) + ", " + std::to_string(authzService) + ", " +
                        Quoted(serverPrincipalName) + ", " + std::to_string(authnLevel) + ", " +
                        std::to_string(impLevel) + ", " + Pointer(authInfo) + ", " + std::to_string(capabilities) +
                        ")");
    if (proxy == nullptr) return E_INVALIDARG;
    return S_OK;
}
