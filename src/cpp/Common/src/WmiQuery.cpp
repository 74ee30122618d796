#include "Common/WmiQuery.h"

#include "failure_reporting/Result.h"

namespace Talvex::Quorlin::Cpp::Common {

namespace {

// A BSTR freed on every path out of the call that made it.
class BstrGuard {
public:
    explicit BstrGuard(const std::wstring& text) : m_text(SysAllocString(text.c_str())) {}
    ~BstrGuard() { SysFreeString(m_text); }
    BstrGuard(const BstrGuard&) = delete;
    BstrGuard& operator=(const BstrGuard&) = delete;
    BSTR Get() const noexcept { return m_text; }

private:
    BSTR m_text;
};

}  // namespace

HRESULT WmiQuery::Connect(const std::wstring& nameSpace)
{
    const BstrGuard resource(nameSpace);
    if (resource.Get() == nullptr) RAISE_HR(E_OUTOFMEMORY);

    RAISE_IF_FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                     reinterpret_cast<LPVOID*>(m_locator.Put())));
    RAISE_IF_FAILED(m_locator->ConnectServer(resource.Get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                             m_services.Put()));
    RAISE_IF_FAILED(CoSetProxyBlanket(m_services.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                                      RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE));
    return S_OK;
}

HRESULT WmiQuery::ExecQuery(const std::wstring& query, IEnumWbemClassObject** enumerator)
{
    if (!m_services) RAISE_HR(E_FAIL);
    const BstrGuard text(query);
    if (text.Get() == nullptr) RAISE_HR(E_OUTOFMEMORY);
    const BstrGuard language(L"WQL");
    if (language.Get() == nullptr) RAISE_HR(E_OUTOFMEMORY);
    return RAISE_IF_FAILED(m_services->ExecQuery(language.Get(), text.Get(),
                                                 WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                                 enumerator));
}

}  // namespace Talvex::Quorlin::Cpp::Common
