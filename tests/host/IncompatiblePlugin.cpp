// A plug-in library built against a contract version storcoll does not know.
#include "kvr/PluginExport.h"

namespace {

constexpr Kvr::PluginExport Export{999, {}, {}, {}, nullptr, 0, nullptr, nullptr};

}  // namespace

extern "C" __attribute__((visibility("default"))) const Kvr::PluginExport* KvrPluginEntry()
{
    return &Export;
}
