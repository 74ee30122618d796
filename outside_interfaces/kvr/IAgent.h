// The host's agent: what the host hands a plug-in at construction. A plug-in
// only passes it on to its base, which asks it for the plug-in's log.
#pragma once

#include <memory>
#include <string_view>

#include "kvr/Guid.h"
#include "kvr/IKvrLog.h"

namespace Kvr {

class IAgent {
public:
    virtual ~IAgent() = default;

    // A ready log for the plug-in with this log id; never null.
    virtual std::shared_ptr<IKvrLog> CreateLog(std::string_view logId, const Guid& pluginId) = 0;
};

}  // namespace Kvr
