// The Ctrl-C watcher of storcoll on Linux: SIGINT becomes a stop request.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <stop_token>
#include <thread>

#include <gtest/gtest.h>

#include "SigintWatcher.h"

namespace {

using namespace std::chrono;
using namespace std::chrono_literals;

bool SigintBlocked()
{
    sigset_t mask;
    pthread_sigmask(SIG_SETMASK, nullptr, &mask);
    return sigismember(&mask, SIGINT) == 1;
}

TEST(SigintWatcher, CtrlCRequestsStopAndTheMaskIsRestoredAfterwards)
{
    ASSERT_FALSE(SigintBlocked());
    std::stop_source stop;
    {
        Storcoll::SigintWatcher watcher(stop);
        EXPECT_TRUE(SigintBlocked());
        ASSERT_EQ(kill(getpid(), SIGINT), 0);
        const auto deadline = steady_clock::now() + 5s;
        while (!stop.stop_requested() && steady_clock::now() < deadline) {
            std::this_thread::sleep_for(5ms);
        }
        EXPECT_TRUE(stop.stop_requested());
    }
    EXPECT_FALSE(SigintBlocked());
}

}  // namespace
