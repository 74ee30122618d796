// Turns Ctrl-C (and, on Linux, SIGTERM) into a cancellation request; a second
// one ends the process at once. On Linux SIGINT and SIGTERM are blocked for
// the process while a watcher lives and a thread of the watcher waits for
// them: construct it on the main thread before any other thread starts, so
// that every thread inherits the blocked signals.
// On Windows the console's control handler asks the stop source to stop.
#pragma once

#include <csignal>
#include <stop_token>
#include <thread>

namespace Storcoll {

class SigintWatcher {
public:
    explicit SigintWatcher(std::stop_source source);
    ~SigintWatcher();
    SigintWatcher(const SigintWatcher&) = delete;
    SigintWatcher& operator=(const SigintWatcher&) = delete;

private:
    std::stop_source m_source;
#ifndef _WIN32
    void Watch(const std::stop_token& ownStop);

    sigset_t m_previousMask;
    std::jthread m_thread;
#endif
};

}  // namespace Storcoll
