// Turns Ctrl-C into a cancellation request: while a watcher lives, SIGINT is
// blocked for the process and a thread of the watcher waits for it and asks
// the stop source to stop. A second SIGINT ends the process at once.
// Construct it on the main thread before any other thread starts, so that
// every thread inherits the blocked signal.
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
    void Watch(const std::stop_token& ownStop);

    std::stop_source m_source;
    sigset_t m_previousMask;
    std::jthread m_thread;
};

}  // namespace Storcoll
