#include "RequestRecorder.h"

#include <cstring>
#include <memory>

namespace bench {

namespace {

class RecordedDevice final : public platform::Device {
public:
    RecordedDevice(RequestRecorder& recorder, std::size_t opened, std::shared_ptr<platform::Device> inner)
        : m_recorder(recorder), m_opened(opened), m_inner(std::move(inner))
    {
    }
    platform::IoResult Control(const platform::IoRequest& request) override
    {
        return m_recorder.Control(m_opened, *m_inner, request);
    }

private:
    RequestRecorder& m_recorder;
    std::size_t m_opened;
    std::shared_ptr<platform::Device> m_inner;
};

// Points a pass-through block's data pointer at `data`, sized as it asks.
void Redirect(DWORD code, std::vector<std::uint8_t>& block, std::vector<std::uint8_t>& data)
{
    auto place = [&](auto* header) {
        data.assign(header->DataTransferLength, 0);
        header->DataBuffer = data.data();
    };
    if (code == IOCTL_SCSI_PASS_THROUGH_DIRECT && block.size() >= sizeof(SCSI_PASS_THROUGH_DIRECT))
        place(reinterpret_cast<SCSI_PASS_THROUGH_DIRECT*>(block.data()));
    else if (code == IOCTL_ATA_PASS_THROUGH_DIRECT && block.size() >= sizeof(ATA_PASS_THROUGH_DIRECT))
        place(reinterpret_cast<ATA_PASS_THROUGH_DIRECT*>(block.data()));
}

}  // namespace

RequestRecorder::Step& RequestRecorder::Add(Kind kind, std::wstring_view text, std::wstring_view text2,
                                            DWORD value) const
{
    Step& step = m_steps.emplace_back();
    step.kind = kind;
    step.text = text;
    step.text2 = text2;
    step.value = value;
    return step;
}

RequestRecorder::Counts RequestRecorder::Count() const
{
    Counts counts;
    for (const Step& step : m_steps) {
        counts.opens += step.kind == Kind::Open;
        counts.requests += step.kind == Kind::Control;
        counts.wmiQueries += step.kind == Kind::WmiQuery;
        counts.wmiRows += step.rows;
    }
    return counts;
}

platform::OpenResult RequestRecorder::OpenDevice(std::wstring_view path, DWORD access)
{
    const std::size_t opened = m_steps.size();
    Add(Kind::Open, path, {}, access);
    platform::OpenResult result = m_inner.OpenDevice(path, access);
    if (result.device) result.device = std::make_shared<RecordedDevice>(*this, opened, std::move(result.device));
    return result;
}

std::vector<platform::DeviceInterfaceRecord> RequestRecorder::DeviceInterfaces(const GUID& interfaceClass)
{
    Add(Kind::Interfaces).interfaceClass = interfaceClass;
    return m_inner.DeviceInterfaces(interfaceClass);
}

std::shared_ptr<const std::vector<platform::DeviceInterfaceRecord>> RequestRecorder::SharedDeviceInterfaces(
    const GUID& interfaceClass)
{
    Add(Kind::Interfaces).interfaceClass = interfaceClass;
    return m_inner.SharedDeviceInterfaces(interfaceClass);
}

std::wstring RequestRecorder::LogicalDriveStrings()
{
    Add(Kind::DriveStrings);
    return m_inner.LogicalDriveStrings();
}

HRESULT RequestRecorder::WmiConnect(std::wstring_view nameSpace) const
{
    Add(Kind::WmiConnect, nameSpace);
    return m_inner.WmiConnect(nameSpace);
}

platform::WmiClassAnswer RequestRecorder::WmiInstances(std::wstring_view nameSpace, std::wstring_view className) const
{
    platform::WmiClassAnswer answer = m_inner.WmiInstances(nameSpace, className);
    Add(Kind::WmiQuery, nameSpace, className).rows = answer.instances.size();
    return answer;
}

platform::IoResult RequestRecorder::Control(std::size_t opened, platform::Device& device,
                                            const platform::IoRequest& request)
{
    Step& step = Add(Kind::Control, {}, {}, request.code);
    step.opened = opened;
    if (request.in != nullptr) {
        const auto* in = static_cast<const std::uint8_t*>(request.in);
        step.in.assign(in, in + request.inSize);
    }
    step.outSize = request.outSize;
    step.inPlace = request.in != nullptr && request.in == request.out;
    return device.Control(request);
}

void RequestRecorder::Replay(platform::Machine& machine) const
{
    std::vector<std::shared_ptr<platform::Device>> devices(m_steps.size());
    std::vector<std::uint8_t> in;
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> data;
    for (std::size_t i = 0; i < m_steps.size(); ++i) {
        const Step& step = m_steps[i];
        switch (step.kind) {
        case Kind::Open: devices[i] = machine.OpenDevice(step.text, step.value).device; break;
        case Kind::Interfaces: machine.SharedDeviceInterfaces(step.interfaceClass); break;
        case Kind::DriveStrings: machine.LogicalDriveStrings(); break;
        case Kind::WmiConnect: machine.WmiConnect(step.text); break;
        case Kind::WmiQuery: machine.SharedWmiInstances(step.text, step.text2); break;
        case Kind::Control: {
            if (!devices[step.opened]) break;
            in = step.in;
            Redirect(step.value, in, data);
            out.assign(step.outSize, 0);
            if (step.inPlace) in.resize(std::max<std::size_t>(in.size(), step.outSize));
            platform::IoRequest request{step.value, in.empty() ? nullptr : in.data(), static_cast<DWORD>(step.in.size()),
                                        step.inPlace ? in.data() : out.data(), step.outSize};
            devices[step.opened]->Control(request);
            break;
        }
        }
    }
}

}  // namespace bench
