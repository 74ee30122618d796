#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include "PluginLibrary.h"

namespace Storcoll {

void PluginLibrary::Open()
{
    m_handle = dlopen(m_file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_handle == nullptr) {
        const char* reason = dlerror();
        Refuse(std::string("cannot be loaded: ") + (reason != nullptr ? reason : "unknown reason"));
    }
    void* entry = dlsym(m_handle, KVR_PLUGIN_ENTRY_NAME);
    if (entry == nullptr) {
        Close();
        Refuse("not a plug-in: it exports no " KVR_PLUGIN_ENTRY_NAME);
    }
    m_entry = reinterpret_cast<KvrPluginEntryFunction>(entry);
}

void PluginLibrary::Close() noexcept
{
    if (m_handle != nullptr) {
        dlclose(m_handle);
        m_handle = nullptr;
    }
}

std::filesystem::path PluginLibrary::DefaultFile()
{
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    const std::filesystem::path folder =
        length > 0 ? std::filesystem::path(std::string(self, static_cast<std::size_t>(length))).parent_path()
                   : std::filesystem::current_path();
    return folder / "libStorageCollector.so";
}

}  // namespace Storcoll
