// A plug-in library loaded at run time, as the host framework loads one: the
// library is opened, its entry point KvrPluginEntry found and called, and the
// contract version of the table it returns checked. dlopen on Linux,
// LoadLibrary on Windows.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "kvr/PluginExport.h"

namespace Storcoll {

// A library that is missing, cannot be loaded or is no compatible plug-in.
// what(): "plug-in library \"<file>\": <reason>".
class PluginLoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class PluginLibrary {
public:
    // Raises PluginLoadError.
    explicit PluginLibrary(const std::filesystem::path& file);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    const Kvr::PluginExport& Exports() const { return *m_exports; }
    const std::filesystem::path& File() const { return m_file; }

    // The plug-in library installed beside the running program.
    static std::filesystem::path DefaultFile();

private:
    [[noreturn]] void Refuse(const std::string& reason) const;
    // The platform's part: opens the library and finds the entry point, or
    // raises with the system's reason.
    void Open();
    void Close() noexcept;

    std::filesystem::path m_file;
    void* m_handle = nullptr;
    KvrPluginEntryFunction m_entry = nullptr;
    const Kvr::PluginExport* m_exports = nullptr;
};

}  // namespace Storcoll
