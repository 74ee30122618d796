// The COM runtime state a machine keeps for its threads: the apartment each
// thread has joined, how often, and whether process security has been set.
#pragma once

#include <map>
#include <mutex>
#include <thread>

#include "platform/Win32.h"

namespace platform {

class ComRuntime {
public:
    // CoInitializeEx for the calling thread: S_OK when it joins, S_FALSE when
    // it is already in an apartment of the same kind, RPC_E_CHANGED_MODE when
    // it is in the other kind (nothing is counted then).
    HRESULT Initialize(DWORD coInit);
    // CoUninitialize: undoes one successful Initialize; leaves the apartment
    // with the last one. Without one it does nothing.
    void Uninitialize();
    bool ThreadInitialized() const;
    // CoInitializeSecurity: S_OK once per process, then RPC_E_TOO_LATE;
    // CO_E_NOTINITIALIZED on a thread outside any apartment.
    HRESULT InitializeSecurity();

private:
    struct Apartment {
        bool multithreaded = true;
        unsigned long joins = 0;
    };
    mutable std::mutex m_lock;
    std::map<std::thread::id, Apartment> m_apartments;
    bool m_securitySet = false;
};

}  // namespace platform
