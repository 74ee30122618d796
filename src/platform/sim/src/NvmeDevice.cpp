#include "sim/NvmeDevice.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

#include "NvmePages.h"
#include "disk/Wire.h"

namespace sim {

namespace {

using platform::IoResult;

// What the drive's controller and the driver put in the replies.
constexpr DWORD kIdentifySize = 4096;
constexpr DWORD kIdentifyControllerCns = 0x01;
constexpr DWORD kHealthLogId = 0x02;
constexpr DWORD kVendorHealthLogId = 0xCA;
// STORAGE_PROPERTY_QUERY: PropertyId, QueryType, then the 40-byte
// STORAGE_PROTOCOL_SPECIFIC_DATA; the reply's STORAGE_PROTOCOL_DATA_DESCRIPTOR
// puts Version and Size ahead of the same 40 bytes.
constexpr std::size_t kQueryHeader = 8;
constexpr std::size_t kSpecificData = 40;
constexpr std::size_t kReplyHeader = 8;

std::vector<std::uint8_t> Sized(std::vector<std::uint8_t> page, std::size_t size)
{
    page.resize(size, 0);
    return page;
}

}  // namespace

NvmeDevice::NvmeDevice(NvmeDriveModel model) : m_model(std::move(model))
{
    m_identify = m_model.rawIdentify.empty() ? nvme_pages::EncodeIdentifyController(m_model.identify)
                                             : Sized(m_model.rawIdentify, kIdentifySize);
    m_healthLog = m_model.rawHealthLog.empty() ? nvme_pages::EncodeHealthLog(m_model.health)
                                               : Sized(m_model.rawHealthLog, 512);
    if (!m_model.rawVendorHealthLog.empty()) {
        m_vendorHealthLog = Sized(m_model.rawVendorHealthLog, 512);
    } else if (m_model.vendorHealth) {
        m_vendorHealthLog = nvme_pages::EncodeVendorHealthLog(*m_model.vendorHealth);
    }
}

std::vector<NvmeDevice::ProtocolQuery> NvmeDevice::ProtocolQueries() const
{
    std::lock_guard lock(m_lock);
    return m_queries;
}

IoResult NvmeDevice::Control(const platform::IoRequest& request)
{
    if (request.code != IOCTL_STORAGE_QUERY_PROPERTY) return IoResult::Failure(ERROR_INVALID_FUNCTION);
    if (request.in == nullptr || request.inSize < kQueryHeader) return IoResult::Failure(ERROR_INVALID_PARAMETER);
    const DWORD propertyId = wire::U32(request.in, 0);
    const DWORD queryType = wire::U32(request.in, 4);
    if (propertyId != StorageAdapterProtocolSpecificProperty && propertyId != StorageDeviceProtocolSpecificProperty)
        return IoResult::Failure(ERROR_NOT_SUPPORTED);
    if (queryType == PropertyExistsQuery) return IoResult::Success(0);
    if (queryType != PropertyStandardQuery) return IoResult::Failure(ERROR_NOT_SUPPORTED);
    return ProtocolData(request, propertyId);
}

IoResult NvmeDevice::ProtocolData(const platform::IoRequest& request, DWORD propertyId)
{
    if (request.inSize < kQueryHeader + kSpecificData) return IoResult::Failure(ERROR_INVALID_PARAMETER);
    // Read the whole request before writing: callers pass one buffer for both.
    std::array<std::uint8_t, kSpecificData> asked{};
    std::memcpy(asked.data(), static_cast<const std::uint8_t*>(request.in) + kQueryHeader, kSpecificData);
    const DWORD protocolType = wire::U32(asked.data(), 0);
    const DWORD dataType = wire::U32(asked.data(), 4);
    const DWORD value = wire::U32(asked.data(), 8);
    const DWORD subValue = wire::U32(asked.data(), 12);
    const DWORD dataOffset = wire::U32(asked.data(), 16);
    const DWORD dataLength = wire::U32(asked.data(), 20);
    {
        std::lock_guard lock(m_lock);
        m_queries.push_back({propertyId, protocolType, dataType, value, subValue, dataOffset, dataLength});
    }
    if (protocolType != ProtocolTypeNvme) return IoResult::Failure(ERROR_NOT_SUPPORTED);
    if (dataOffset < kSpecificData || dataLength == 0) return IoResult::Failure(ERROR_INVALID_PARAMETER);

    const std::vector<std::uint8_t>* page = nullptr;
    std::size_t from = 0;
    if (dataType == NVMeDataTypeIdentify) {
        // Controller data is the adapter's; the device property reaches namespaces.
        if (propertyId != StorageAdapterProtocolSpecificProperty) return IoResult::Failure(ERROR_INVALID_PARAMETER);
        if (value != kIdentifyControllerCns) return IoResult::Failure(ERROR_NOT_SUPPORTED);
        if (dataLength < kIdentifySize) return IoResult::Failure(ERROR_INVALID_PARAMETER);
        if (m_model.faults.identify != 0) return IoResult::Failure(m_model.faults.identify);
        page = &m_identify;
    } else if (dataType == NVMeDataTypeLogPage) {
        // The sub-value is the byte offset into the log.
        from = subValue;
        if (value == kHealthLogId) {
            if (m_model.faults.healthLog != 0) return IoResult::Failure(m_model.faults.healthLog);
            page = &m_healthLog;
        } else if (value == kVendorHealthLogId && !m_vendorHealthLog.empty()) {
            if (m_model.faults.vendorHealthLog != 0) return IoResult::Failure(m_model.faults.vendorHealthLog);
            page = &m_vendorHealthLog;
        } else {
            // The controller answers Invalid Log Page.
            return IoResult::Failure(ERROR_INVALID_FUNCTION);
        }
        if (from >= page->size()) return IoResult::Failure(ERROR_INVALID_PARAMETER);
    } else {
        return IoResult::Failure(ERROR_NOT_SUPPORTED);
    }

    // Identify always transfers the whole structure; a log transfers what was
    // asked for, zero past its end.
    const DWORD length = dataType == NVMeDataTypeIdentify ? kIdentifySize : dataLength;
    const std::size_t dataAt = kReplyHeader + dataOffset;
    if (request.out == nullptr || request.outSize < dataAt + length) return IoResult::Failure(ERROR_INSUFFICIENT_BUFFER);

    // The descriptor echoes the request with the length transferred and no
    // fixed return data, then the data at the offset the caller chose.
    wire::Writer out(request.out, dataAt + length);
    out.U32(0, kReplyHeader + kSpecificData);  // Version
    out.U32(4, kReplyHeader + kSpecificData);  // Size
    out.Bytes(kReplyHeader, asked.data(), asked.size());
    out.U32(kReplyHeader + 20, length);
    out.U32(kReplyHeader + 24, 0);
    std::memset(static_cast<std::uint8_t*>(request.out) + dataAt, 0, length);
    out.Bytes(dataAt, page->data() + from, std::min<std::size_t>(length, page->size() - from));
    return IoResult::Success(static_cast<DWORD>(dataAt + length));
}

}  // namespace sim
