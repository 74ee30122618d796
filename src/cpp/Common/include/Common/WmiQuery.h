// A connection to one WMI namespace, used by WmiCommonLib: the COM context,
// the locator and the namespace's services.
#pragma once

#include <string>

#include "Common/ComCtx.h"
#include "Common/ComRef.h"
#include "platform/Win32.h"

namespace Talvex::Quorlin::Cpp::Common {

class WmiQuery {
public:
    WmiQuery() = default;
    WmiQuery(const WmiQuery&) = delete;
    WmiQuery& operator=(const WmiQuery&) = delete;

    // Creates the locator, connects to the namespace and sets the proxy
    // security. Returns S_OK or raises a result error.
    HRESULT Connect(const std::wstring& nameSpace);
    // Runs a WQL query on the connected namespace (E_FAIL when there is none).
    // Returns the call's success code or raises a result error.
    HRESULT ExecQuery(const std::wstring& query, IEnumWbemClassObject** enumerator);

private:
    // Destroyed last to first: services, locator, then the COM context.
    ComCtx m_comCtx;
    ComRef<IWbemLocator> m_locator;
    ComRef<IWbemServices> m_services;
};

}  // namespace Talvex::Quorlin::Cpp::Common
