// The WMI client objects of the Linux build: the locator connects to a
// namespace of the machine's WMI service, the services run a query, the
// enumerator steps through the answer and a class object reads properties.
#include <memory>
#include <string>
#include <vector>

#include "CallText.h"
#include "ComObjects.h"
#include "platform/Wql.h"

namespace platform {

using namespace calltext;

ComObjectBase::ComObjectBase(Machine& machine) noexcept : m_machine(machine)
{
    m_machine.Ledger().Acquired(Resource::ComReference);
}

ComObjectBase* ComObjectBase::From(IUnknown* unknown) noexcept { return dynamic_cast<ComObjectBase*>(unknown); }

ULONG ComObjectBase::CountAddRef() noexcept
{
    m_machine.Ledger().Acquired(Resource::ComReference);
    return ++m_references;
}

ULONG ComObjectBase::CountRelease() noexcept
{
    const ULONG left = --m_references;
    m_machine.Ledger().Released(Resource::ComReference);
    try {
        Note(std::string(Kind()) + "::Release() -> " + std::to_string(left));
    } catch (...) {
        // Recording is for tests; a release never fails.
    }
    if (left == 0) delete this;
    return left;
}

namespace {

using Instances = std::vector<WmiInstance>;

class ClassObject final : public ComObject<IWbemClassObject, IID_IWbemClassObject> {
public:
    ClassObject(Machine& machine, std::shared_ptr<const Instances> instances, std::size_t index)
        : ComObject(machine), m_instances(std::move(instances)), m_index(index)
    {
    }
    const char* Kind() const noexcept override { return "IWbemClassObject"; }

    HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG flags, VARIANT* value, CIMTYPE* type, LONG* flavor) override
    {
        Note("IWbemClassObject::Get(" + Quoted(name) + ", " + std::to_string(flags) + ", " + Pointer(value) + ", " +
             Pointer(type) + ", " + Pointer(flavor) + ")");
        if (name == nullptr || flags != 0) return WBEM_E_INVALID_PARAMETER;
        const WmiProperty* property = (*m_instances)[m_index].Find(name);
        if (property == nullptr) return WBEM_E_NOT_FOUND;
        if (value != nullptr) {
            if (FAILED(ToVariant(property->value, *value))) return WBEM_E_OUT_OF_MEMORY;
        }
        if (type != nullptr) *type = CimTypeCode(property->value);
        if (flavor != nullptr) *flavor = WBEM_FLAVOR_ORIGIN_LOCAL;
        return WBEM_S_NO_ERROR;
    }

private:
    std::shared_ptr<const Instances> m_instances;
    std::size_t m_index;
};

class Enumerator final : public ComObject<IEnumWbemClassObject, IID_IEnumWbemClassObject> {
public:
    Enumerator(Machine& machine, std::shared_ptr<const WmiClassAnswer> answer)
        : ComObject(machine),
          m_instances(answer, &answer->instances),
          m_failingNext(answer->failingNext),
          m_failingNextResult(answer->failingNextResult)
    {
    }
    const char* Kind() const noexcept override { return "IEnumWbemClassObject"; }

    HRESULT STDMETHODCALLTYPE Next(LONG timeout, ULONG count, IWbemClassObject** objects, ULONG* returned) override
    {
        Note("IEnumWbemClassObject::Next(" + Hex(static_cast<DWORD>(timeout)) + ", " + std::to_string(count) + ")");
        if (objects == nullptr || returned == nullptr) return WBEM_E_INVALID_PARAMETER;
        *returned = 0;
        if (++m_steps == m_failingNext) return m_failingNextResult;
        while (*returned < count && m_position < m_instances->size()) {
            objects[*returned] = new ClassObject(Owner(), m_instances, m_position++);
            ++*returned;
        }
        return *returned == count ? WBEM_S_NO_ERROR : WBEM_S_FALSE;
    }

private:
    std::shared_ptr<const Instances> m_instances;
    std::size_t m_position = 0;
    ULONG m_steps = 0;
    ULONG m_failingNext;
    HRESULT m_failingNextResult;
};

class Services final : public ComObject<IWbemServices, IID_IWbemServices> {
public:
    Services(Machine& machine, std::wstring nameSpace) : ComObject(machine), m_nameSpace(std::move(nameSpace)) {}
    const char* Kind() const noexcept override { return "IWbemServices"; }

    HRESULT STDMETHODCALLTYPE ExecQuery(const BSTR language, const BSTR query, LONG flags, IWbemContext* context,
                                        IEnumWbemClassObject** enumerator) override
    {
        Note("IWbemServices::ExecQuery(" + Quoted(language) + ", " + Quoted(query) + ", " +
             Hex(static_cast<DWORD>(flags)) + ", " + Pointer(context) + ")");
        if (enumerator == nullptr) return WBEM_E_INVALID_PARAMETER;
        *enumerator = nullptr;
        if (language == nullptr || !WmiNamesEqual(language, L"WQL")) return WBEM_E_INVALID_QUERY_TYPE;
        if (query == nullptr) return WBEM_E_INVALID_PARAMETER;
        const wql::Select select = wql::ReadSelect(query);
        if (FAILED(select.result)) return select.result;
        std::shared_ptr<const WmiClassAnswer> answer = Owner().SharedWmiInstances(m_nameSpace, select.className);
        if (answer->result == WBEM_E_INVALID_CLASS && (flags & WBEM_FLAG_RETURN_IMMEDIATELY) != 0) {
            // A query that returns at once has not looked the class up yet:
            // the service reports the unknown class with the first step.
            auto deferred = std::make_shared<WmiClassAnswer>();
            deferred->failingNext = 1;
            deferred->failingNextResult = answer->result;
            answer = std::move(deferred);
        }
        if (FAILED(answer->result)) return answer->result;
        *enumerator = new Enumerator(Owner(), std::move(answer));
        return WBEM_S_NO_ERROR;
    }

private:
    std::wstring m_nameSpace;
};

class Locator final : public ComObject<IWbemLocator, IID_IWbemLocator> {
public:
    explicit Locator(Machine& machine) : ComObject(machine) {}
    const char* Kind() const noexcept override { return "IWbemLocator"; }

    HRESULT STDMETHODCALLTYPE ConnectServer(const BSTR resource, const BSTR user, const BSTR password,
                                            const BSTR locale, LONG securityFlags, const BSTR authority,
                                            IWbemContext* context, IWbemServices** services) override
    {
        Note("IWbemLocator::ConnectServer(" + Quoted(resource) + ", " + Quoted(user) + ", " + Quoted(password) +
             ", " + Quoted(locale) + ", " + std::to_string(securityFlags) + ", " + Quoted(authority) + ", " +
             Pointer(context) + ")");
        if (services == nullptr || resource == nullptr) return WBEM_E_INVALID_PARAMETER;
        *services = nullptr;
        std::wstring_view nameSpace(resource);
        // A local path may name the machine: "\\.\root\cimv2".
        if (nameSpace.substr(0, 4) == L"\\\\.\\") nameSpace.remove_prefix(4);
        if (const HRESULT hr = Owner().WmiConnect(nameSpace); FAILED(hr)) return hr;
        *services = new Services(Owner(), std::wstring(nameSpace));
        return WBEM_S_NO_ERROR;
    }
};

}  // namespace

IWbemLocator* NewWbemLocator(Machine& machine) { return new Locator(machine); }

}  // namespace platform
