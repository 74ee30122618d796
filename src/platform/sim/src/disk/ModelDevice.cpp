#include "sim/ModelDevice.h"

#include <cstring>

namespace sim {

namespace {

constexpr DWORD kGenericAll = 0x10000000;
constexpr DWORD kFileWriteData = 0x0002;
constexpr DWORD kFileAppendData = 0x0004;

}  // namespace

std::optional<DWORD> ModelDevice::QueriedProperty(const platform::IoRequest& request)
{
    if (request.code != IOCTL_STORAGE_QUERY_PROPERTY || request.in == nullptr || request.inSize < 4) return std::nullopt;
    DWORD property = 0;
    std::memcpy(&property, request.in, sizeof property);
    return property;
}

platform::IoResult ModelDevice::Control(const platform::IoRequest& request)
{
    RecordedRequest record;
    record.code = request.code;
    record.inSize = request.inSize;
    record.outSize = request.outSize;
    record.sameBuffer = request.in != nullptr && request.in == request.out;
    if (request.in != nullptr && request.inSize != 0) {
        const auto* bytes = static_cast<const std::uint8_t*>(request.in);
        record.input.assign(bytes, bytes + request.inSize);
    }
    {
        std::lock_guard lock(m_lock);
        if (m_requests.size() == kKeptRequests) m_requests.pop_front();
        m_requests.push_back(std::move(record));
    }
    return Answer(request);
}

DWORD ModelDevice::OpenError(DWORD access) const
{
    const DeviceFaults& faults = Faults();
    switch (faults.access) {
    case OpenAccess::None: return faults.openError;
    case OpenAccess::ReadOnly:
        return (access & (GENERIC_WRITE | kGenericAll | kFileWriteData | kFileAppendData)) != 0 ? faults.openError
                                                                                                : ERROR_SUCCESS;
    default: return ERROR_SUCCESS;
    }
}

std::vector<RecordedRequest> ModelDevice::Requests() const
{
    std::lock_guard lock(m_lock);
    return {m_requests.begin(), m_requests.end()};
}

std::vector<RecordedRequest> ModelDevice::Requests(DWORD code) const
{
    std::lock_guard lock(m_lock);
    std::vector<RecordedRequest> matching;
    for (const auto& request : m_requests)
        if (request.code == code) matching.push_back(request);
    return matching;
}

void ModelDevice::ZeroReply(const platform::IoRequest& request, DWORD bytes)
{
    if (request.out != nullptr && bytes != 0) std::memset(request.out, 0, bytes);
}

}  // namespace sim
