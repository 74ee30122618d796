// On-demand collection for the metrics endpoint: the minimum interval, scrapes
// sharing a collection in flight, and a failed collection not being kept.
#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "MetricsCache.h"

namespace {

using namespace std::chrono_literals;
using Storcoll::MetricsCache;

struct FakeClock {
    std::atomic<MetricsCache::Clock::rep> Ticks{0};
    MetricsCache::Clock::time_point Now() const { return MetricsCache::Clock::time_point(MetricsCache::Clock::duration(Ticks.load())); }
    void Set(MetricsCache::Clock::duration at) { Ticks = at.count(); }
};

TEST(MetricsCache, CollectsAgainOnlyOnceTheIntervalHasPassedAndNeverKeepsAFailure)
{
    FakeClock clock;
    int runs = 0;
    bool fail = true;
    MetricsCache cache(
        [&] {
            ++runs;
            if (fail) {
                throw std::runtime_error("no machine");
            }
            return "run " + std::to_string(runs);
        },
        10s, [&] { return clock.Now(); });

    EXPECT_FALSE(cache.LastCollection().has_value());
    EXPECT_THROW(cache.Get(), std::runtime_error);
    fail = false;
    EXPECT_EQ(cache.Get(), "run 2");
    clock.Set(9s);
    EXPECT_EQ(cache.Get(), "run 2");
    clock.Set(10s);
    EXPECT_EQ(cache.Get(), "run 3");
    EXPECT_EQ(cache.Collections(), 2u);
    EXPECT_TRUE(cache.LastCollection().has_value());
}

TEST(MetricsCache, ScrapesArrivingDuringACollectionShareIt)
{
    FakeClock clock;
    std::atomic<int> runs = 0;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    // No interval at all: only sharing can keep the others from collecting.
    MetricsCache cache(
        [&] {
            ++runs;
            released.wait_for(5s);
            clock.Set(1s);
            return std::string("shared");
        },
        0s, [&] { return clock.Now(); });

    std::vector<std::future<std::string>> scrapes;
    for (int i = 0; i < 4; ++i) {
        scrapes.push_back(std::async(std::launch::async, [&] { return cache.Get(); }));
    }
    std::this_thread::sleep_for(50ms);
    release.set_value();
    for (auto& scrape : scrapes) {
        ASSERT_EQ(scrape.wait_for(10s), std::future_status::ready);
        EXPECT_EQ(scrape.get(), "shared");
    }
    EXPECT_EQ(runs, 1);
    // A scrape after it, with no interval, collects anew.
    clock.Set(2s);
    cache.Get();
    EXPECT_EQ(runs, 2);
}

}  // namespace
