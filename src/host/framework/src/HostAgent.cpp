#include "kvr/host/HostAgent.h"

#include <utility>

namespace Kvr::Host {

HostAgent::HostAgent(std::shared_ptr<TextLogWriter> writer) : m_writer(std::move(writer)) {}

std::shared_ptr<IKvrLog> HostAgent::CreateLog(std::string_view logId, const Guid&)
{
    return std::make_shared<TextLog>(m_writer, std::string(logId));
}

}  // namespace Kvr::Host
