// Collects on demand for the metrics endpoint, but not more often than a
// minimum interval: a scrape within the interval of the last collection gets
// that collection's text, and scrapes that arrive while a collection runs wait
// for it and all get its result, so that a burst of scrapes costs one
// collection.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace Storcoll {

class MetricsCache {
public:
    using Clock = std::chrono::steady_clock;
    using Produce = std::function<std::string()>;

    // `now` stands in for the clock in tests.
    MetricsCache(Produce produce, Clock::duration minInterval, std::function<Clock::time_point()> now = Clock::now);

    // The text of the current collection, collecting first when there is none
    // yet or the last one started the minimum interval or longer ago. A
    // collection that raises is not kept: its error reaches the caller that
    // ran it, and a caller that waited for it collects anew.
    std::string Get();

    std::uint64_t Collections() const;
    Clock::duration MinInterval() const { return m_minInterval; }
    // The system time the last kept collection started, if any.
    std::optional<std::chrono::system_clock::time_point> LastCollection() const;

private:
    Produce m_produce;
    Clock::duration m_minInterval;
    std::function<Clock::time_point()> m_now;

    // Held across a collection; the status readers take only m_stateMutex,
    // so that the status page answers while a collection runs.
    std::mutex m_collectMutex;
    mutable std::mutex m_stateMutex;
    std::optional<std::string> m_text;
    Clock::time_point m_started{};
    Clock::time_point m_finished{};
    std::chrono::system_clock::time_point m_startedWall{};
    std::uint64_t m_collections = 0;
};

}  // namespace Storcoll
