#include "Common/ComCtx.h"

#include "platform/Win32.h"

namespace Talvex::Quorlin::Cpp::Common {

ComCtx::ComCtx()
{
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    m_initialized = SUCCEEDED(hr);
    if (m_initialized) {
        // Fails with RPC_E_TOO_LATE once security is set for the process,
        // which leaves the earlier setting in force.
        CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IMPERSONATE,
                             nullptr, EOAC_NONE, nullptr);
    }
}

ComCtx::~ComCtx()
{
    if (m_initialized) CoUninitialize();
}

}  // namespace Talvex::Quorlin::Cpp::Common
