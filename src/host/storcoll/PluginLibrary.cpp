#include "PluginLibrary.h"

namespace Storcoll {

PluginLibrary::PluginLibrary(const std::filesystem::path& file) : m_file(file)
{
    std::error_code error;
    if (!std::filesystem::exists(m_file, error)) {
        Refuse("no such file");
    }
    Open();
    m_exports = m_entry();
    if (m_exports == nullptr) {
        Close();
        Refuse("its entry point " KVR_PLUGIN_ENTRY_NAME " returned no plug-in");
    }
    if (m_exports->ContractVersion != Kvr::PluginContractVersion) {
        const auto version = m_exports->ContractVersion;
        Close();
        Refuse("built for plug-in contract version " + std::to_string(version) + ", this storcoll needs version " +
               std::to_string(Kvr::PluginContractVersion));
    }
}

PluginLibrary::~PluginLibrary()
{
    Close();
}

void PluginLibrary::Refuse(const std::string& reason) const
{
    throw PluginLoadError("plug-in library \"" + m_file.string() + "\": " + reason);
}

}  // namespace Storcoll
