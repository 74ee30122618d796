#include "NvmeQuery.h"

#include <cstddef>
#include <cstring>
#include <linux/nvme_ioctl.h>
#include <vector>

#include "ReadOnlyRules.h"
#include "Win32Errors.h"
#include "platform/Layouts.h"

namespace live {

namespace {

constexpr std::uint8_t kAdminGetLogPage = 0x02;
constexpr std::uint8_t kAdminIdentify = 0x06;
constexpr std::uint32_t kIdentifyBytes = 4096;
constexpr std::uint32_t kAllNamespaces = 0xFFFFFFFF;
constexpr std::uint32_t kTimeoutMs = 10000;
constexpr std::uint32_t kLargestTransfer = 1u << 20;
constexpr std::size_t kQueryHead = offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters);
constexpr std::size_t kDataHead = offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, ProtocolSpecificData);

class Descriptor {
public:
    Descriptor(Kernel& kernel, const std::string& path) : m_kernel(kernel), m_result(kernel.OpenReadOnly(path)) {}
    ~Descriptor()
    {
        if (m_result >= 0) m_kernel.Close(m_result);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Result() const { return m_result; }

private:
    Kernel& m_kernel;
    int m_result;
};

}  // namespace

platform::IoResult NvmeProtocolQuery(const platform::IoRequest& request, const NvmeTarget& target)
{
    STORAGE_PROTOCOL_SPECIFIC_DATA asked;
    if (request.in == nullptr || request.inSize < kQueryHead + sizeof(asked))
        return platform::IoResult::Failure(ERROR_INVALID_PARAMETER);
    std::memcpy(&asked, static_cast<const std::uint8_t*>(request.in) + kQueryHead, sizeof(asked));
    if (asked.ProtocolType != ProtocolTypeNvme) return platform::IoResult::Failure(ERROR_NOT_SUPPORTED);

    nvme_passthru_cmd command;
    std::memset(&command, 0, sizeof(command));
    std::uint32_t length = asked.ProtocolDataLength;
    if (asked.DataType == NVMeDataTypeIdentify) {
        if (!NvmeIdentifyAllowed(asked.ProtocolDataRequestValue)) return platform::IoResult::Failure(ERROR_ACCESS_DENIED);
        length = kIdentifyBytes;
        command.opcode = kAdminIdentify;
        command.nsid = asked.ProtocolDataRequestValue == 0 ? target.namespaceId : 0;
        command.cdw10 = asked.ProtocolDataRequestValue;
    } else if (asked.DataType == NVMeDataTypeLogPage) {
        if (!NvmeLogAllowed(asked.ProtocolDataRequestValue)) return platform::IoResult::Failure(ERROR_ACCESS_DENIED);
        if (length == 0 || length % 4 != 0 || length > kLargestTransfer)
            return platform::IoResult::Failure(ERROR_INVALID_PARAMETER);
        const std::uint32_t dwords = length / 4 - 1;
        command.opcode = kAdminGetLogPage;
        command.nsid = kAllNamespaces;
        command.cdw10 = asked.ProtocolDataRequestValue | (dwords & 0xFFFF) << 16;
        command.cdw11 = dwords >> 16;
        command.cdw12 = asked.ProtocolDataRequestSubValue;   // byte offset, low
        command.cdw13 = asked.ProtocolDataRequestSubValue2;  // byte offset, high
    } else {
        // Features and everything else stay away from the controller.
        return platform::IoResult::Failure(ERROR_ACCESS_DENIED);
    }
    if (asked.ProtocolDataOffset < sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA))
        return platform::IoResult::Failure(ERROR_INVALID_PARAMETER);
    const std::size_t dataAt = kDataHead + asked.ProtocolDataOffset;
    if (request.out == nullptr || request.outSize < dataAt + length)
        return platform::IoResult::Failure(ERROR_INSUFFICIENT_BUFFER);

    const Descriptor controller(*target.kernel, target.controllerPath);
    if (controller.Result() < 0) return platform::IoResult::Failure(Win32ErrorOf(-controller.Result()));
    std::vector<std::uint8_t> data(length, 0);
    command.addr = reinterpret_cast<std::uintptr_t>(data.data());
    command.data_len = length;
    command.timeout_ms = kTimeoutMs;
    const int result = target.kernel->NvmeAdmin(controller.Result(), command);
    if (result < 0) return platform::IoResult::Failure(Win32ErrorOf(-result));
    // The controller refused (invalid log page, invalid field).
    if (result > 0) return platform::IoResult::Failure(ERROR_INVALID_FUNCTION);

    STORAGE_PROTOCOL_DATA_DESCRIPTOR reply;
    std::memset(&reply, 0, sizeof(reply));
    reply.Version = sizeof(reply);
    reply.Size = sizeof(reply);
    reply.ProtocolSpecificData = asked;
    reply.ProtocolSpecificData.ProtocolDataLength = length;
    reply.ProtocolSpecificData.FixedProtocolReturnData = command.result;
    auto* out = static_cast<std::uint8_t*>(request.out);
    std::memcpy(out, &reply, sizeof(reply));
    std::memcpy(out + dataAt, data.data(), length);
    return platform::IoResult::Success(static_cast<DWORD>(dataAt + length));
}

}  // namespace live
