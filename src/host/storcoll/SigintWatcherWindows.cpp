#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <utility>

#include "Commands.h"
#include "SigintWatcher.h"

namespace Storcoll {

namespace {

// The console calls its handlers on a thread of its own, with no argument but
// the event: the watcher's stop source is kept here while the watcher lives.
std::atomic<std::stop_source*> g_source{nullptr};

BOOL WINAPI OnConsoleControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        return FALSE;
    }
    std::stop_source* source = g_source.load();
    if (source == nullptr) {
        return FALSE;
    }
    if (source->stop_requested()) {
        std::_Exit(Cancelled);
    }
    source->request_stop();
    return TRUE;
}

}  // namespace

SigintWatcher::SigintWatcher(std::stop_source source) : m_source(std::move(source))
{
    g_source.store(&m_source);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

SigintWatcher::~SigintWatcher()
{
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    g_source.store(nullptr);
}

}  // namespace Storcoll
