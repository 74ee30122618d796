#include "MetricsCache.h"

#include <utility>

namespace Storcoll {

MetricsCache::MetricsCache(Produce produce, Clock::duration minInterval, std::function<Clock::time_point()> now)
    : m_produce(std::move(produce)), m_minInterval(minInterval), m_now(std::move(now))
{
}

std::string MetricsCache::Get()
{
    const auto arrived = m_now();
    // Held across the collection: whoever arrives meanwhile queues here and
    // then finds a result that finished after it arrived.
    std::lock_guard collecting(m_collectMutex);
    {
        std::lock_guard state(m_stateMutex);
        if (m_text && (m_finished >= arrived || arrived - m_started < m_minInterval)) {
            return *m_text;
        }
    }
    const auto started = m_now();
    const auto startedWall = std::chrono::system_clock::now();
    std::string text = m_produce();
    std::lock_guard state(m_stateMutex);
    m_text = std::move(text);
    m_started = started;
    m_startedWall = startedWall;
    m_finished = m_now();
    ++m_collections;
    return *m_text;
}

std::uint64_t MetricsCache::Collections() const
{
    std::lock_guard state(m_stateMutex);
    return m_collections;
}

std::optional<std::chrono::system_clock::time_point> MetricsCache::LastCollection() const
{
    std::lock_guard state(m_stateMutex);
    if (!m_text) {
        return std::nullopt;
    }
    return m_startedWall;
}

}  // namespace Storcoll
