// The common side of the simulated disks and volumes: every request is
// recorded as it arrived, so a test can check the bytes the system sent, and
// opening is checked against the device's access faults.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/Device.h"
#include "sim/DiskModels.h"

namespace sim {

struct RecordedRequest {
    DWORD code = 0;
    std::vector<std::uint8_t> input;  // the input buffer as sent
    DWORD inSize = 0;
    DWORD outSize = 0;
    bool sameBuffer = false;  // input and output were one buffer
};

class ModelDevice : public platform::Device {
public:
    platform::IoResult Control(const platform::IoRequest& request) final;

    // The error CreateFileW reports for this access, or ERROR_SUCCESS.
    DWORD OpenError(DWORD access) const;

    // The latest requests the device answered, oldest first: at most
    // kKeptRequests, so that a machine serving for days does not grow.
    static constexpr std::size_t kKeptRequests = 1024;
    std::vector<RecordedRequest> Requests() const;
    std::vector<RecordedRequest> Requests(DWORD code) const;

    virtual const DeviceFaults& Faults() const = 0;

protected:
    virtual platform::IoResult Answer(const platform::IoRequest& request) = 0;

    // The PropertyId a property query asks for; none for other requests and
    // for an input too short to hold one.
    static std::optional<DWORD> QueriedProperty(const platform::IoRequest& request);

    // A request outside the pass-through paths, with the device's fault for
    // its code applied: Fail and Refuse fail it, ZeroData zeroes its reply.
    template <typename AnswerFn>
    platform::IoResult Plain(const platform::IoRequest& request, AnswerFn&& answer)
    {
        const RequestFault* fault = Faults().Find(request.code, std::nullopt, std::nullopt, QueriedProperty(request));
        if (fault != nullptr && fault->kind != FaultKind::ZeroData) return platform::IoResult::Failure(fault->error);
        platform::IoResult result = answer();
        if (fault != nullptr && result.error == ERROR_SUCCESS) ZeroReply(request, result.bytesReturned);
        return result;
    }

private:
    static void ZeroReply(const platform::IoRequest& request, DWORD bytes);

    mutable std::mutex m_lock;
    std::deque<RecordedRequest> m_requests;
};

}  // namespace sim
