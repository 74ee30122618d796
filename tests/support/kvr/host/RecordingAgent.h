// An agent for tests: hands every plug-in the same recording log and keeps
// what it was asked for.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "kvr/IAgent.h"
#include "kvr/host/RecordingLog.h"

namespace Kvr::Host {

class RecordingAgent final : public IAgent {
public:
    RecordingAgent();

    std::shared_ptr<IKvrLog> CreateLog(std::string_view logId, const Guid& pluginId) override;

    const std::shared_ptr<RecordingLog>& Log() const noexcept { return m_log; }
    // What the last CreateLog call asked for.
    const std::optional<std::string>& RequestedLogId() const noexcept { return m_logId; }
    const std::optional<Guid>& RequestedPluginId() const noexcept { return m_pluginId; }

private:
    std::shared_ptr<RecordingLog> m_log;
    std::optional<std::string> m_logId;
    std::optional<Guid> m_pluginId;
};

}  // namespace Kvr::Host
