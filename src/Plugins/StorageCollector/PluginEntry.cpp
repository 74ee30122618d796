// The library's one entry point for hosts that load it at run time.
#include "StorageCollectorPlugin.h"
#include "kvr/PluginExport.h"

namespace {

using Talvex::Quorlin::Plugins::StorageCollectorPlugin;

constexpr auto Methods = StorageCollectorPlugin::CollectionMethods();

Kvr::BaseCollector* Create(Kvr::IAgent& agent)
{
    return new StorageCollectorPlugin(agent);
}

void Destroy(Kvr::BaseCollector* plugin)
{
    delete static_cast<StorageCollectorPlugin*>(plugin);
}

constexpr Kvr::PluginExport kExport{Kvr::PluginContractVersion,
                                    StorageCollectorPlugin::Plugin,
                                    StorageCollectorPlugin::Publisher,
                                    StorageCollectorPlugin::LogId,
                                    Methods.data(),
                                    Methods.size(),
                                    &Create,
                                    &Destroy};

}  // namespace

extern "C"
#ifndef _WIN32
    __attribute__((visibility("default")))
#endif
    const Kvr::PluginExport*
    KvrPluginEntry()
{
    return &kExport;
}
