#include "SigintWatcher.h"

#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <utility>

#include "Commands.h"

namespace Storcoll {

namespace {

// SIGTERM too: a service manager stops `storcoll serve` with it, and a
// collection it interrupts is cancelled as for Ctrl-C.
sigset_t SigintSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

}  // namespace

SigintWatcher::SigintWatcher(std::stop_source source) : m_source(std::move(source))
{
    const sigset_t set = SigintSet();
    pthread_sigmask(SIG_BLOCK, &set, &m_previousMask);
    m_thread = std::jthread([this](std::stop_token ownStop) { Watch(ownStop); });
}

SigintWatcher::~SigintWatcher()
{
    m_thread.request_stop();
    m_thread.join();
    // A Ctrl-C that came too late to cancel anything is dropped rather than
    // delivered once the mask is restored.
    const sigset_t set = SigintSet();
    const timespec now{0, 0};
    while (sigtimedwait(&set, nullptr, &now) > 0) {
    }
    pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
}

void SigintWatcher::Watch(const std::stop_token& ownStop)
{
    const sigset_t set = SigintSet();
    // Wakes up now and then to see whether the watcher is being destroyed.
    const timespec poll{0, 50'000'000};
    while (!ownStop.stop_requested()) {
        const int signal = sigtimedwait(&set, nullptr, &poll);
        if (signal != SIGINT && signal != SIGTERM) {
            continue;
        }
        if (m_source.stop_requested()) {
            _exit(Cancelled);
        }
        m_source.request_stop();
    }
}

}  // namespace Storcoll
