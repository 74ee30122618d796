// A console program using every dependency of the Windows build: the SDK
// (SetupAPI, COM), a message from a DLL, and the header-only libraries.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include "ProbeLib.h"
#include "WinHeaders.h"

int main(int argc, char** argv)
{
    CLI::App app{"storcoll Windows toolchain smoke check"};
    std::string name = "disk0";
    app.add_option("--name", name, "probe name");
    CLI11_PARSE(app, argc, argv);

    const smoke::Probe probe = smoke::MakeProbe(name, 512);
    const std::string wire = smoke::Encode(probe);

    HDEVINFO set = SetupDiGetClassDevsW(&GUID_DEVINTERFACE_DISK, nullptr, nullptr,
                                        DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "SetupDiGetClassDevsW failed: %lu\n", GetLastError());
        return 1;
    }
    SetupDiDestroyDeviceInfoList(set);

    const nlohmann::json report = {{"name", probe.name()}, {"wire_bytes", wire.size()}};
    fmt::print("smoke: {} thread {}\n", report.dump(), GetCurrentThreadId() != 0);
    return 0;
}
