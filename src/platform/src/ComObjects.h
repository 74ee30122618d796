// The COM objects the platform hands out for a machine: reference counting,
// QueryInterface, and the machine's ledger counting every reference held. An
// object belongs to the machine that made it and must not outlive it.
#pragma once

#include <atomic>
#include <string>

#include "platform/Machine.h"
#include "platform/Win32.h"

namespace platform {

class ComObjectBase {
public:
    ComObjectBase(const ComObjectBase&) = delete;
    ComObjectBase& operator=(const ComObjectBase&) = delete;
    virtual ~ComObjectBase() = default;

    // The interface name used in call records ("IWbemServices").
    virtual const char* Kind() const noexcept = 0;
    Machine& Owner() const noexcept { return m_machine; }

    // The object behind an interface pointer the platform handed out, or null.
    static ComObjectBase* From(IUnknown* unknown) noexcept;

protected:
    explicit ComObjectBase(Machine& machine) noexcept;

    ULONG CountAddRef() noexcept;
    // Deletes the object when the last reference goes.
    ULONG CountRelease() noexcept;
    void Note(const std::string& call) const { m_machine.NoteComCall(call); }

private:
    Machine& m_machine;
    std::atomic<ULONG> m_references{1};
};

// One object implementing one interface, created with one reference.
template <typename Interface, const IID& OwnIid>
class ComObject : public Interface, public ComObjectBase {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (object == nullptr) return E_POINTER;
        if (iid == IID_IUnknown || iid == OwnIid) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return CountAddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return CountRelease(); }

protected:
    explicit ComObject(Machine& machine) noexcept : ComObjectBase(machine) {}
};

// The WBEM locator CoCreateInstance makes for the machine in scope.
IWbemLocator* NewWbemLocator(Machine& machine);

}  // namespace platform
