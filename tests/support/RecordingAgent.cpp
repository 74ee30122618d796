#include "kvr/host/RecordingAgent.h"

namespace Kvr::Host {

RecordingAgent::RecordingAgent() : m_log(std::make_shared<RecordingLog>()) {}

std::shared_ptr<IKvrLog> RecordingAgent::CreateLog(std::string_view logId, const Guid& pluginId)
{
    m_logId = std::string(logId);
    m_pluginId = pluginId;
    return m_log;
}

}  // namespace Kvr::Host
