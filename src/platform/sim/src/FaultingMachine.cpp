#include "sim/FaultingMachine.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace sim {

namespace {

// A device that hands each request to the machine that counts it.
class CountedDevice final : public platform::Device {
public:
    CountedDevice(FaultingMachine& machine, std::shared_ptr<platform::Device> inner)
        : m_machine(machine), m_inner(std::move(inner))
    {
    }
    platform::IoResult Control(const platform::IoRequest& request) override
    {
        return m_machine.Control(*m_inner, request);
    }

private:
    FaultingMachine& m_machine;
    std::shared_ptr<platform::Device> m_inner;
};

bool IsPassThrough(DWORD code) noexcept
{
    return code == IOCTL_SCSI_PASS_THROUGH_DIRECT || code == IOCTL_ATA_PASS_THROUGH_DIRECT;
}

// Where the data of a request lands: the caller's data buffer for a
// pass-through command, else the output buffer.
struct DataArea {
    std::uint8_t* bytes = nullptr;
    std::size_t size = 0;
};

template <typename Block>
DataArea BlockData(const platform::IoRequest& request)
{
    const auto* block = static_cast<const Block*>(request.in);
    return {static_cast<std::uint8_t*>(block->DataBuffer), block->DataTransferLength};
}

DataArea Data(const platform::IoRequest& request, const platform::IoResult& result)
{
    if (request.code == IOCTL_SCSI_PASS_THROUGH_DIRECT && request.inSize >= sizeof(SCSI_PASS_THROUGH_DIRECT))
        return BlockData<SCSI_PASS_THROUGH_DIRECT>(request);
    if (request.code == IOCTL_ATA_PASS_THROUGH_DIRECT && request.inSize >= sizeof(ATA_PASS_THROUGH_DIRECT))
        return BlockData<ATA_PASS_THROUGH_DIRECT>(request);
    return {static_cast<std::uint8_t*>(request.out), std::min<std::size_t>(result.bytesReturned, request.outSize)};
}

// The device refuses the command: CHECK CONDITION with ABORTED COMMAND sense
// on the SCSI path, ERR with ABRT in the task file on the ATA path.
platform::IoResult Refuse(const platform::IoRequest& request)
{
    const DataArea data = Data(request, {});
    if (data.bytes != nullptr) std::memset(data.bytes, 0, data.size);
    if (request.code == IOCTL_SCSI_PASS_THROUGH_DIRECT) {
        auto* block = static_cast<SCSI_PASS_THROUGH_DIRECT*>(request.out);
        block->ScsiStatus = 0x02;
        block->DataTransferLength = 0;
        auto* sense = static_cast<std::uint8_t*>(request.out) + block->SenseInfoOffset;
        if (block->SenseInfoLength >= 14 && block->SenseInfoOffset + 14u <= request.outSize) {
            sense[0] = 0x70;
            sense[2] = 0x0B;  // ABORTED COMMAND
            sense[7] = 6;
        }
        return platform::IoResult::Success(request.outSize);
    }
    auto* block = static_cast<ATA_PASS_THROUGH_DIRECT*>(request.out);
    block->DataTransferLength = 0;
    block->CurrentTaskFile[0] = 0x04;  // ABRT
    block->CurrentTaskFile[6] = 0x51;  // DRDY, DSC, ERR
    return platform::IoResult::Success(request.outSize);
}

}  // namespace

FaultingMachine::FaultingMachine(platform::Machine& inner) : ForwardingMachine(inner) {}

void FaultingMachine::Arm(std::size_t position, Fault fault)
{
    std::lock_guard lock(m_lock);
    m_target = position;
    m_fault = fault;
    m_points.clear();
    m_requests.clear();
}

void FaultingMachine::Disarm() { Arm(static_cast<std::size_t>(-1), Fault::RequestFails); }

std::vector<FaultingMachine::Point> FaultingMachine::Points() const
{
    std::lock_guard lock(m_lock);
    return m_points;
}

std::vector<std::pair<DWORD, std::thread::id>> FaultingMachine::Requests() const
{
    std::lock_guard lock(m_lock);
    return m_requests;
}

std::vector<FaultingMachine::Fault> FaultingMachine::FaultsAt(Point point)
{
    switch (point) {
    case Point::Open: return {Fault::OpenRefused};
    case Point::Request: return {Fault::RequestFails, Fault::ZeroData, Fault::ShortData};
    case Point::PassThrough: return {Fault::RequestFails, Fault::ZeroData, Fault::ShortData, Fault::CheckCondition};
    default: return {Fault::WmiFails};
    }
}

bool FaultingMachine::Reached(Point point) const
{
    std::lock_guard lock(m_lock);
    m_points.push_back(point);
    return m_points.size() - 1 == m_target;
}

platform::OpenResult FaultingMachine::OpenDevice(std::wstring_view path, DWORD access)
{
    if (Reached(Point::Open)) return {nullptr, ERROR_ACCESS_DENIED};
    platform::OpenResult opened = m_inner.OpenDevice(path, access);
    if (opened.device) opened.device = std::make_shared<CountedDevice>(*this, std::move(opened.device));
    return opened;
}

platform::IoResult FaultingMachine::Control(platform::Device& device, const platform::IoRequest& request)
{
    {
        std::lock_guard lock(m_lock);
        m_requests.emplace_back(request.code, std::this_thread::get_id());
    }
    // Another thread may run here, as it may between two requests on a
    // loaded machine: work that should not overlap then shows that it does.
    std::this_thread::yield();
    if (!Reached(IsPassThrough(request.code) ? Point::PassThrough : Point::Request)) return device.Control(request);
    if (Armed(Fault::RequestFails)) return platform::IoResult::Failure(ERROR_IO_DEVICE);
    if (Armed(Fault::CheckCondition)) return Refuse(request);
    platform::IoResult result = device.Control(request);
    if (result.error != ERROR_SUCCESS) return result;
    DataArea data = Data(request, result);
    if (data.bytes == nullptr) return result;
    const std::size_t kept = Armed(Fault::ShortData) ? data.size / 2 : 0;
    std::memset(data.bytes + kept, 0, data.size - kept);
    if (Armed(Fault::ShortData)) {
        if (request.code == IOCTL_SCSI_PASS_THROUGH_DIRECT)
            static_cast<SCSI_PASS_THROUGH_DIRECT*>(request.out)->DataTransferLength = static_cast<ULONG>(kept);
        else if (request.code == IOCTL_ATA_PASS_THROUGH_DIRECT)
            static_cast<ATA_PASS_THROUGH_DIRECT*>(request.out)->DataTransferLength = static_cast<ULONG>(kept);
        else
            result.bytesReturned = static_cast<DWORD>(kept);
    }
    return result;
}

HRESULT FaultingMachine::WmiConnect(std::wstring_view nameSpace) const
{
    if (Reached(Point::Wmi)) return WBEM_E_FAILED;
    return m_inner.WmiConnect(nameSpace);
}

platform::WmiClassAnswer FaultingMachine::WmiInstances(std::wstring_view nameSpace, std::wstring_view className) const
{
    if (Reached(Point::Wmi)) return {WBEM_E_FAILED, {}, 0, S_OK};
    platform::WmiClassAnswer answer = m_inner.WmiInstances(nameSpace, className);
    if (FAILED(answer.result)) return answer;
    // One point per enumerator step, the one that finds the end included,
    // then one per property of each row: a property read fails as a property
    // the row lacks.
    for (ULONG step = 1; step <= answer.instances.size() + 1; ++step)
        if (Reached(Point::Wmi) && (answer.failingNext == 0 || step < answer.failingNext)) {
            answer.failingNext = step;
            answer.failingNextResult = WBEM_E_FAILED;
        }
    for (auto& row : answer.instances)
        for (std::size_t i = 0; i < row.properties.size(); ++i)
            if (Reached(Point::Wmi)) row.properties.erase(row.properties.begin() + static_cast<std::ptrdiff_t>(i--));
    return answer;
}

}  // namespace sim
