#include "kvr/BaseCollector.h"

namespace Kvr {

BaseCollector::~BaseCollector() = default;

BaseCollectorPlugin::BaseCollectorPlugin(IAgent& agent, std::string_view logId, const Guid& pluginId)
    : m_logId(logId), m_pluginId(pluginId) {
    Log = agent.CreateLog(logId, pluginId);
    if (!Log) {
        throw ArgumentException("The agent gave no log for log id " + m_logId);
    }
}

}  // namespace Kvr
