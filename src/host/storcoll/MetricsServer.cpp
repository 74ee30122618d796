#include "MetricsServer.h"

#include <dlfcn.h>

#include "PluginLibrary.h"

namespace Storcoll {

std::unique_ptr<MetricsServer> MetricsServer::Load(MetricsCache& cache, const std::string& about)
{
    const auto file = PluginLibrary::DefaultFile().parent_path() / "libstorcoll_serve.so";
    // Never closed: the server's code is in it until the process ends.
    void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* reason = dlerror();
        throw ListenError("cannot serve: the HTTP server library \"" + file.string() +
                          "\" cannot be loaded: " + (reason != nullptr ? reason : "unknown reason"));
    }
    const auto create = reinterpret_cast<MetricsServerFactory>(dlsym(library, STORCOLL_METRICS_SERVER_ENTRY_NAME));
    if (create == nullptr) {
        throw ListenError("cannot serve: \"" + file.string() + "\" exports no " STORCOLL_METRICS_SERVER_ENTRY_NAME);
    }
    return std::unique_ptr<MetricsServer>(create(cache, about));
}

}  // namespace Storcoll
