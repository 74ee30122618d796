#include "sim/WmiRepository.h"

#include <algorithm>

#include "DerivedClasses.h"
#include "sim/DescriptionLoader.h"

namespace sim {

namespace {

std::vector<platform::WmiInstance> ApplyEdits(const std::vector<platform::WmiInstance>& derived,
                                              const WmiClassOverride& change)
{
    std::vector<platform::WmiInstance> rows = derived;
    std::vector<bool> dropped(derived.size(), false);
    std::vector<platform::WmiInstance> appended;
    for (const WmiRowEdit& edit : change.rows) {
        if (edit.kind != WmiRowEdit::Kind::Add && edit.row >= derived.size())
            throw DescriptionError(edit.path, "expected the number of a derived row (the class derives " +
                                                  std::to_string(derived.size()) + " rows from the hardware)");
        switch (edit.kind) {
        case WmiRowEdit::Kind::Drop: dropped[edit.row] = true; break;
        case WmiRowEdit::Kind::Add: appended.push_back(edit.set); break;
        case WmiRowEdit::Kind::Edit:
        case WmiRowEdit::Kind::Copy: {
            platform::WmiInstance changed = rows[edit.row];
            for (const auto& name : edit.remove) changed.Remove(name);
            for (const auto& property : edit.set.properties) changed.Set(property.name, property.value);
            if (edit.kind == WmiRowEdit::Kind::Edit)
                rows[edit.row] = std::move(changed);
            else
                appended.push_back(std::move(changed));
            break;
        }
        }
    }
    std::vector<platform::WmiInstance> result;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (!dropped[i]) result.push_back(std::move(rows[i]));
    for (auto& row : appended) result.push_back(std::move(row));
    return result;
}

}  // namespace

const std::vector<std::wstring>& WmiRepository::NamespaceNames()
{
    static const std::vector<std::wstring> names = {
        L"root\\WMI",
        L"root\\cimv2",
        L"root\\StandardCimv2",
        L"root\\cimv2\\Security\\MicrosoftVolumeEncryption",
        L"root\\microsoft\\windows\\storage",
        L"root\\cimv2\\power",
    };
    return names;
}

WmiRepository::WmiRepository() : WmiRepository(MachineDescription{}) {}

WmiRepository::WmiRepository(const MachineDescription& description)
{
    for (const auto& name : NamespaceNames()) m_namespaces.push_back(Namespace{name, S_OK, {}});
    for (const auto& derived : wmi::DerivedClasses()) {
        Class added{derived.className};
        added.answer->instances = derived.rows(description);
        FindNamespace(derived.nameSpace)->classes.push_back(std::move(added));
    }
    for (const WmiNamespaceOverride& change : description.wmi) {
        Namespace* target = FindNamespace(change.name);
        if (target == nullptr) continue;  // the loader admits only the service's namespaces
        if (FAILED(change.connectFailure)) target->connectFailure = change.connectFailure;
        for (const WmiClassOverride& classChange : change.classes) {
            auto found = std::find_if(target->classes.begin(), target->classes.end(), [&](const Class& c) {
                return platform::WmiNamesEqual(c.name, classChange.name);
            });
            if (found == target->classes.end()) {
                target->classes.push_back(Class{classChange.name});
                found = target->classes.end() - 1;
            }
            platform::WmiClassAnswer& answer = *found->answer;
            answer.instances = ApplyEdits(answer.instances, classChange);
            if (FAILED(classChange.queryFailure)) answer.result = classChange.queryFailure;
            if (classChange.failingNext != 0) {
                answer.failingNext = classChange.failingNext;
                answer.failingNextResult = classChange.failingNextResult;
            }
        }
    }
}

WmiRepository::Namespace* WmiRepository::FindNamespace(std::wstring_view name)
{
    for (auto& nameSpace : m_namespaces)
        if (platform::WmiNamesEqual(nameSpace.name, name)) return &nameSpace;
    return nullptr;
}

const WmiRepository::Namespace* WmiRepository::FindNamespace(std::wstring_view name) const
{
    return const_cast<WmiRepository*>(this)->FindNamespace(name);
}

HRESULT WmiRepository::Connect(std::wstring_view nameSpace) const
{
    const Namespace* found = FindNamespace(nameSpace);
    if (found == nullptr) return WBEM_E_INVALID_NAMESPACE;
    return found->connectFailure;
}

platform::WmiClassAnswer WmiRepository::Instances(std::wstring_view nameSpace, std::wstring_view className) const
{
    return *SharedInstances(nameSpace, className);
}

std::shared_ptr<const platform::WmiClassAnswer> WmiRepository::SharedInstances(std::wstring_view nameSpace,
                                                                               std::wstring_view className) const
{
    if (const Namespace* found = FindNamespace(nameSpace)) {
        for (const Class& c : found->classes)
            if (platform::WmiNamesEqual(c.name, className)) return c.answer;
    }
    auto unknown = std::make_shared<platform::WmiClassAnswer>();
    unknown->result = WBEM_E_INVALID_CLASS;
    return unknown;
}

}  // namespace sim
