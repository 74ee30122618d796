// The WMI service of a simulated machine: its six namespaces, the classes they
// hold with rows derived from the machine's hardware, and the description's
// overrides applied to them.
#pragma once

#include <memory>

#include <string>
#include <string_view>
#include <vector>

#include "platform/WmiData.h"
#include "sim/MachineDescription.h"

namespace sim {

class WmiRepository {
public:
    // An empty service: the namespaces, and the derived classes without rows.
    WmiRepository();
    // Raises DescriptionError for an override that does not fit the hardware
    // (a row edit naming a derived row the class does not have).
    explicit WmiRepository(const MachineDescription& description);

    HRESULT Connect(std::wstring_view nameSpace) const;
    platform::WmiClassAnswer Instances(std::wstring_view nameSpace, std::wstring_view className) const;
    // The same answer without copying its rows.
    std::shared_ptr<const platform::WmiClassAnswer> SharedInstances(std::wstring_view nameSpace,
                                                                    std::wstring_view className) const;

    // "root\WMI", "root\cimv2", ... as the service names them.
    static const std::vector<std::wstring>& NamespaceNames();

private:
    struct Class {
        std::wstring name;
        std::shared_ptr<platform::WmiClassAnswer> answer = std::make_shared<platform::WmiClassAnswer>();
    };
    struct Namespace {
        std::wstring name;
        HRESULT connectFailure = S_OK;
        std::vector<Class> classes;
    };

    Namespace* FindNamespace(std::wstring_view name);
    const Namespace* FindNamespace(std::wstring_view name) const;

    std::vector<Namespace> m_namespaces;
};

}  // namespace sim
