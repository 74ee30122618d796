// A machine in front of another that numbers every platform call that can
// fail (opening a device, each device request, each WMI connection, query,
// enumerator step and property read) and makes the one at a chosen position
// fail in a chosen way. A first run with nothing armed lists the positions;
// a fault sweep then fails each in turn.
#pragma once

#include <cstddef>
#include <mutex>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "platform/ForwardingMachine.h"

namespace sim {

class FaultingMachine : public platform::ForwardingMachine {
public:
    // Wmi: a connection, a query, an enumerator step or a property read.
    enum class Point { Open,
                       Request,
                       PassThrough,
                       Wmi };
    enum class Fault {
        OpenRefused,     // CreateFileW fails with ERROR_ACCESS_DENIED
        RequestFails,    // DeviceIoControl fails with ERROR_IO_DEVICE
        ZeroData,        // succeeds, every data byte zero
        ShortData,       // succeeds with the first half of the data, the rest zero
        CheckCondition,  // a pass-through command the device refuses (CHECK CONDITION, ATA ABRT)
        WmiFails,        // the WMI call answers WBEM_E_FAILED; a property read, WBEM_E_NOT_FOUND
    };

    // `inner` answers every call that is not failed; it must outlive this machine.
    explicit FaultingMachine(platform::Machine& inner);

    // Fails the call at `position` (0 for the first counted) with `fault`, and
    // starts counting afresh. Disarm() only counts.
    void Arm(std::size_t position, Fault fault);
    void Disarm();
    // The points counted since the last Arm or Disarm, in call order.
    std::vector<Point> Points() const;
    // The faults a point can suffer.
    static std::vector<Fault> FaultsAt(Point point);
    // The I/O control code and calling thread of every device request since
    // the last Arm or Disarm.
    std::vector<std::pair<DWORD, std::thread::id>> Requests() const;

    platform::OpenResult OpenDevice(std::wstring_view path, DWORD access) override;
    HRESULT WmiConnect(std::wstring_view nameSpace) const override;
    platform::WmiClassAnswer WmiInstances(std::wstring_view nameSpace, std::wstring_view className) const override;

    // Counts a request of `device` and answers it, failed or not.
    platform::IoResult Control(platform::Device& device, const platform::IoRequest& request);

private:
    // Counts one point; true when it is the armed one.
    bool Reached(Point point) const;
    bool Armed(Fault fault) const { return m_fault == fault; }

    mutable std::mutex m_lock;
    mutable std::vector<Point> m_points;
    std::vector<std::pair<DWORD, std::thread::id>> m_requests;
    std::size_t m_target = static_cast<std::size_t>(-1);
    Fault m_fault = Fault::RequestFails;
};

}  // namespace sim
