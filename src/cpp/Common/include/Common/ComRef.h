// An owning reference to a COM interface: released when reset, replaced or
// destroyed. Put() hands out the address for a call that returns a new
// reference, after releasing the one held.
#pragma once

#include "platform/Win32.h"

namespace Talvex::Quorlin::Cpp::Common {

template <typename Interface>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { Reset(); }

    void Reset() noexcept
    {
        if (m_pointer != nullptr) {
            Interface* released = m_pointer;
            m_pointer = nullptr;
            released->Release();
        }
    }
    Interface** Put() noexcept
    {
        Reset();
        return &m_pointer;
    }
    Interface* Get() const noexcept { return m_pointer; }
    Interface* operator->() const noexcept { return m_pointer; }
    explicit operator bool() const noexcept { return m_pointer != nullptr; }

private:
    Interface* m_pointer = nullptr;
};

}  // namespace Talvex::Quorlin::Cpp::Common
