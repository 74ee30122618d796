#include "kvr/BaseCollector.h"

#include <string>

namespace Kvr {

BaseCollector::~BaseCollector() = default;

BaseCollectorPlugin::BaseCollectorPlugin(IAgent& agent, std::string_view logId, const Guid& pluginId)
{
    Log = agent.CreateLog(logId, pluginId);
    if (!Log) {
        throw ArgumentException("The agent gave no log for log id " + std::string(logId));
    }
}

}  // namespace Kvr
