// The host's base classes of collector plug-ins.
#pragma once

#include <memory>
#include <string_view>

#include "kvr/Guid.h"
#include "kvr/IAgent.h"
#include "kvr/IKvrLog.h"

namespace Kvr {

class BaseCollector {
public:
    // Marks a collection method in a plug-in's method table (see Registration.h).
    struct CollectionMethodAttribute {};

    virtual ~BaseCollector();
    BaseCollector(const BaseCollector&) = delete;
    BaseCollector& operator=(const BaseCollector&) = delete;

    // The plug-in's log; ready once the base is constructed. Plug-ins only read it.
    std::shared_ptr<IKvrLog> Log;

protected:
    BaseCollector() = default;
};

class BaseCollectorPlugin : public BaseCollector {
public:
    // Asks the agent for the log of `logId`; raises ArgumentException when the
    // agent hands out none.
    BaseCollectorPlugin(IAgent& agent, std::string_view logId, const Guid& pluginId);
};

}  // namespace Kvr
