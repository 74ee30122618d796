// The agent the host hands to the plug-ins it constructs: each plug-in's log
// writes through the host's one text log writer.
#pragma once

#include <memory>

#include "kvr/IAgent.h"
#include "kvr/host/TextLog.h"

namespace Kvr::Host {

class HostAgent final : public IAgent {
public:
    explicit HostAgent(std::shared_ptr<TextLogWriter> writer);

    std::shared_ptr<IKvrLog> CreateLog(std::string_view logId, const Guid& pluginId) override;

private:
    std::shared_ptr<TextLogWriter> m_writer;
};

}  // namespace Kvr::Host
