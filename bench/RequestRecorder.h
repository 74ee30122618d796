// A machine in front of another that keeps every request a collection makes
// of it (device opens, device requests with their input, WMI connections and
// queries), counts them by kind and replays them alone against a machine, so
// that a collection's time can be set against the requests it had to make.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ForwardingMachine.h"

namespace bench {

class RequestRecorder : public platform::ForwardingMachine {
public:
    struct Counts {
        std::size_t opens = 0;
        std::size_t requests = 0;
        std::size_t wmiQueries = 0;
        std::size_t wmiRows = 0;
    };

    explicit RequestRecorder(platform::Machine& inner) : ForwardingMachine(inner) {}

    void Clear() { m_steps.clear(); }
    Counts Count() const;
    // Makes the recorded calls of `machine` directly, in their order.
    void Replay(platform::Machine& machine) const;

    platform::OpenResult OpenDevice(std::wstring_view path, DWORD access) override;
    std::vector<platform::DeviceInterfaceRecord> DeviceInterfaces(const GUID& interfaceClass) override;
    std::shared_ptr<const std::vector<platform::DeviceInterfaceRecord>> SharedDeviceInterfaces(
        const GUID& interfaceClass) override;
    std::wstring LogicalDriveStrings() override;
    HRESULT WmiConnect(std::wstring_view nameSpace) const override;
    platform::WmiClassAnswer WmiInstances(std::wstring_view nameSpace, std::wstring_view className) const override;

    // Keeps and passes on a request of the device opened at step `opened`.
    platform::IoResult Control(std::size_t opened, platform::Device& device, const platform::IoRequest& request);

private:
    enum class Kind { Open,
                      Control,
                      Interfaces,
                      DriveStrings,
                      WmiConnect,
                      WmiQuery };
    struct Step {
        Kind kind = Kind::Open;
        std::wstring text;   // path, namespace
        std::wstring text2;  // class
        DWORD value = 0;     // access, I/O control code
        GUID interfaceClass{};
        std::size_t opened = 0;
        std::vector<std::uint8_t> in;
        DWORD outSize = 0;
        bool inPlace = false;  // the request's input and output are one buffer
        std::size_t rows = 0;
    };
    Step& Add(Kind kind, std::wstring_view text = {}, std::wstring_view text2 = {}, DWORD value = 0) const;

    mutable std::vector<Step> m_steps;
};

}  // namespace bench
