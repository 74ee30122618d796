// IOCTL_STORAGE_QUERY_PROPERTY for the device property: STORAGE_DEVICE_DESCRIPTOR,
// a 40-byte head with the bus type, followed by the NUL-terminated vendor,
// product, revision and serial texts that its offsets point to. A short
// output receives as much of the descriptor as fits, whose Size tells the
// caller what to ask for.
#include <algorithm>
#include <string>
#include <vector>

#include "Requests.h"

namespace sim::requests {

namespace {

constexpr DWORD kQueryBytes = 12;  // PropertyId, QueryType, AdditionalParameters
constexpr DWORD kHeaderBytes = 8;  // Version, Size
constexpr std::size_t kDescriptorHead = 40;
constexpr std::uint32_t kDeviceProperty = 0;
constexpr std::uint32_t kStandardQuery = 0;
constexpr std::uint32_t kExistsQuery = 1;

std::vector<std::uint8_t> Descriptor(const StorageDescriptor& d)
{
    std::vector<std::uint8_t> bytes(kDescriptorHead, 0);
    auto place = [&bytes](const std::string& text) -> std::uint32_t {
        if (text.empty()) return 0;
        const auto offset = static_cast<std::uint32_t>(bytes.size());
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.push_back(0);
        return offset;
    };
    const std::uint32_t vendor = place(d.vendor);
    const std::uint32_t product = place(d.product);
    const std::uint32_t revision = place(d.revision);
    const std::uint32_t serial = place(d.serial);
    wire::Writer out(bytes.data(), bytes.size());
    out.U32(0, kDescriptorHead);  // Version: the size of the structure
    out.U32(4, bytes.size());
    out.U8(8, d.deviceType);
    out.U8(9, 0);
    out.U8(10, d.removable ? 1 : 0);
    out.U8(11, d.commandQueueing ? 1 : 0);
    out.U32(12, vendor);
    out.U32(16, product);
    out.U32(20, revision);
    out.U32(24, serial);
    out.U32(28, static_cast<std::uint32_t>(d.busType));
    out.U32(32, 0);  // no raw properties
    return bytes;
}

}  // namespace

platform::IoResult AnswerQueryProperty(const platform::IoRequest& request, const StorageDescriptor& descriptor)
{
    if (request.in == nullptr || request.inSize < kQueryBytes) return platform::IoResult::Failure(ERROR_INVALID_PARAMETER);
    const std::uint32_t property = wire::U32(request.in, 0);
    const std::uint32_t query = wire::U32(request.in, 4);
    if (property != kDeviceProperty) return platform::IoResult::Failure(ERROR_NOT_SUPPORTED);
    if (query == kExistsQuery) return platform::IoResult::Success(0);
    if (query != kStandardQuery) return platform::IoResult::Failure(ERROR_INVALID_PARAMETER);
    if (request.out == nullptr || request.outSize < kHeaderBytes)
        return platform::IoResult::Failure(ERROR_INSUFFICIENT_BUFFER);
    const auto bytes = Descriptor(descriptor);
    const DWORD copied = std::min(request.outSize, static_cast<DWORD>(bytes.size()));
    std::copy_n(bytes.begin(), copied, static_cast<std::uint8_t*>(request.out));
    return platform::IoResult::Success(copied);
}

}  // namespace sim::requests
