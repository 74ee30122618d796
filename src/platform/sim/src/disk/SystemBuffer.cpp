#include <algorithm>
#include <cstring>

#include "Requests.h"

namespace sim::requests {

SystemBuffer::SystemBuffer(const platform::IoRequest& request)
    : m_bytes(std::max(request.inSize, request.outSize), 0)
{
    if (request.in != nullptr) std::memcpy(m_bytes.data(), request.in, request.inSize);
}

platform::IoResult SystemBuffer::Complete(const platform::IoRequest& request, DWORD bytes)
{
    bytes = std::min(bytes, request.outSize);
    if (bytes != 0) std::memcpy(request.out, m_bytes.data(), bytes);
    return platform::IoResult::Success(bytes);
}

}  // namespace sim::requests
