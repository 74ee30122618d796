#include <windows.h>

#include <string>

#include "PluginLibrary.h"

namespace Storcoll {

namespace {

std::string SystemText(DWORD code)
{
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring wide = length > 0 ? std::wstring(text, length) : std::wstring();
    LocalFree(text);
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' ')) {
        wide.pop_back();
    }
    std::string narrow = "error " + std::to_string(code);
    if (!wide.empty()) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                             nullptr, nullptr);
        std::string utf8(static_cast<std::size_t>(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size, nullptr,
                            nullptr);
        narrow += " (" + utf8 + ")";
    }
    return narrow;
}

}  // namespace

void PluginLibrary::Open()
{
    // The plug-in's own DLLs are looked for beside it too.
    const HMODULE module = LoadLibraryExW(m_file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) {
        Refuse("cannot be loaded: " + SystemText(GetLastError()));
    }
    m_handle = module;
    const FARPROC entry = GetProcAddress(module, KVR_PLUGIN_ENTRY_NAME);
    if (entry == nullptr) {
        Close();
        Refuse("not a plug-in: it exports no " KVR_PLUGIN_ENTRY_NAME);
    }
    m_entry = reinterpret_cast<KvrPluginEntryFunction>(reinterpret_cast<void*>(entry));
}

void PluginLibrary::Close() noexcept
{
    if (m_handle != nullptr) {
        FreeLibrary(static_cast<HMODULE>(m_handle));
        m_handle = nullptr;
    }
}

std::filesystem::path PluginLibrary::DefaultFile()
{
    std::wstring self(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
        if (length < self.size()) {
            self.resize(length);
            break;
        }
        self.resize(self.size() * 2);
    }
    return std::filesystem::path(self).parent_path() / L"StorageCollector.dll";
}

}  // namespace Storcoll
