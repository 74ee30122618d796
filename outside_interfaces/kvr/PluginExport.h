// How a host finds a plug-in in a shared library: the library exports one C
// function, KvrPluginEntry, that returns the plug-in's export table. The table
// starts with the contract version, which a host checks before it reads
// anything else of the table; a library built against another version of this
// contract is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "kvr/BaseCollector.h"
#include "kvr/IAgent.h"
#include "kvr/Registration.h"

namespace Kvr {

// Raised whenever the layout of PluginExport, of the registration entries or
// of the classes the plug-in and the host share changes.
inline constexpr std::uint32_t PluginContractVersion = 1;

struct PluginExport {
    std::uint32_t ContractVersion;  // PluginContractVersion of the plug-in's build; first, always
    PluginAttribute Plugin;
    PublisherAttribute Publisher;
    std::string_view LogId;
    const CollectionMethodEntry* Methods;
    std::size_t MethodCount;
    // Constructs the plug-in with the host's agent; the host destroys it with Destroy.
    BaseCollector* (*Create)(IAgent& agent);
    void (*Destroy)(BaseCollector* plugin);

    std::span<const CollectionMethodEntry> CollectionMethods() const { return {Methods, MethodCount}; }
};

}  // namespace Kvr

// The exported entry point's name and type.
#define KVR_PLUGIN_ENTRY_NAME "KvrPluginEntry"
extern "C" {
using KvrPluginEntryFunction = const Kvr::PluginExport* (*)();
}
