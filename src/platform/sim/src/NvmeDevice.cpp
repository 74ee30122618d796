#include "sim/NvmeDevice.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#include "NvmePages.h"

namespace sim {

namespace {

using platform::IoResult;

// What the drive's controller and the driver put in the replies.
constexpr DWORD kIdentifySize = 4096;
constexpr DWORD kIdentifyControllerCns = 0x01;
constexpr DWORD kHealthLogId = 0x02;
constexpr DWORD kVendorHealthLogId = 0xCA;
constexpr std::size_t kQueryHeader = offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters);
constexpr std::size_t kProtocolData = offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, ProtocolSpecificData);

template <typename T>
T Read(const void* buffer, std::size_t offset)
{
    T value;
    std::memcpy(&value, static_cast<const std::uint8_t*>(buffer) + offset, sizeof(T));
    return value;
}

std::vector<std::uint8_t> Sized(std::vector<std::uint8_t> page, std::size_t size)
{
    page.resize(size, 0);
    return page;
}

// A descriptor string: the model's, or the Identify text without its padding.
std::string DescriptorText(const std::string& given, const std::string& identifyText)
{
    if (!given.empty()) return given;
    const auto end = identifyText.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : identifyText.substr(0, end + 1);
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
    switch (request.code) {
    case IOCTL_STORAGE_QUERY_PROPERTY: return QueryProperty(request);
    case IOCTL_STORAGE_GET_DEVICE_NUMBER: return DeviceNumber(request);
    case IOCTL_DISK_GET_DRIVE_GEOMETRY: return Geometry(request);
    default: return IoResult::Failure(ERROR_INVALID_FUNCTION);
    }
}

IoResult NvmeDevice::QueryProperty(const platform::IoRequest& request)
{
    if (request.in == nullptr || request.inSize < kQueryHeader) return IoResult::Failure(ERROR_INVALID_PARAMETER);
    const auto propertyId = Read<DWORD>(request.in, offsetof(STORAGE_PROPERTY_QUERY, PropertyId));
    const auto queryType = Read<DWORD>(request.in, offsetof(STORAGE_PROPERTY_QUERY, QueryType));
    const bool known = propertyId == StorageDeviceProperty || propertyId == StorageAdapterProtocolSpecificProperty ||
                       propertyId == StorageDeviceProtocolSpecificProperty;
    if (!known) return IoResult::Failure(ERROR_NOT_SUPPORTED);
    if (queryType == PropertyExistsQuery) return IoResult::Success(0);
    if (queryType != PropertyStandardQuery) return IoResult::Failure(ERROR_NOT_SUPPORTED);
    if (propertyId == StorageDeviceProperty) return DeviceDescriptor(request);
    return ProtocolData(request, propertyId);
}

IoResult NvmeDevice::DeviceDescriptor(const platform::IoRequest& request) const
{
    if (m_model.faults.deviceDescriptor != 0) return IoResult::Failure(m_model.faults.deviceDescriptor);
    if (request.out == nullptr || request.outSize < sizeof(STORAGE_DESCRIPTOR_HEADER)) {
        return IoResult::Failure(ERROR_INSUFFICIENT_BUFFER);
    }

    // The fixed part, then the NUL-terminated strings it points at.
    std::vector<std::uint8_t> reply(sizeof(STORAGE_DEVICE_DESCRIPTOR), 0);
    STORAGE_DEVICE_DESCRIPTOR descriptor{};
    const auto append = [&reply](const std::string& text) -> DWORD {
        if (text.empty()) return 0;
        const auto offset = static_cast<DWORD>(reply.size());
        reply.insert(reply.end(), text.begin(), text.end());
        reply.push_back(0);
        return offset;
    };
    const NvmeIdentify& id = m_model.identify;
    descriptor.VendorIdOffset = append(m_model.vendorId);
    descriptor.ProductIdOffset = append(DescriptorText(m_model.productId, id.mn));
    descriptor.ProductRevisionOffset = append(DescriptorText(m_model.productRevision, id.fr));
    descriptor.SerialNumberOffset = append(DescriptorText(m_model.serialNumber, id.sn));
    descriptor.Version = sizeof(STORAGE_DEVICE_DESCRIPTOR);
    descriptor.Size = static_cast<DWORD>(reply.size());
    descriptor.DeviceType = 0;  // direct-access block device
    descriptor.CommandQueueing = TRUE;
    descriptor.BusType = static_cast<STORAGE_BUS_TYPE>(m_model.busType);
    std::memcpy(reply.data(), &descriptor, offsetof(STORAGE_DEVICE_DESCRIPTOR, RawDeviceProperties));

    // As much as fits; Size tells the caller how much there is.
    const DWORD copied = std::min<DWORD>(request.outSize, static_cast<DWORD>(reply.size()));
    std::memcpy(request.out, reply.data(), copied);
    return IoResult::Success(copied);
}

IoResult NvmeDevice::ProtocolData(const platform::IoRequest& request, DWORD propertyId)
{
    if (request.inSize < kQueryHeader + sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA)) {
        return IoResult::Failure(ERROR_INVALID_PARAMETER);
    }
    // Read the whole request before writing: callers pass one buffer for both.
    const auto asked = Read<STORAGE_PROTOCOL_SPECIFIC_DATA>(request.in, kQueryHeader);
    {
        std::lock_guard lock(m_lock);
        m_queries.push_back({propertyId, static_cast<DWORD>(asked.ProtocolType), asked.DataType,
                             asked.ProtocolDataRequestValue, asked.ProtocolDataRequestSubValue,
                             asked.ProtocolDataOffset, asked.ProtocolDataLength});
    }
    if (asked.ProtocolType != ProtocolTypeNvme) return IoResult::Failure(ERROR_NOT_SUPPORTED);
    if (asked.ProtocolDataOffset < sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA) || asked.ProtocolDataLength == 0) {
        return IoResult::Failure(ERROR_INVALID_PARAMETER);
    }

    const std::vector<std::uint8_t>* page = nullptr;
    std::size_t from = 0;
    if (asked.DataType == NVMeDataTypeIdentify) {
        // Controller data is the adapter's; the device property reaches namespaces.
        if (propertyId != StorageAdapterProtocolSpecificProperty) return IoResult::Failure(ERROR_INVALID_PARAMETER);
        if (asked.ProtocolDataRequestValue != kIdentifyControllerCns) return IoResult::Failure(ERROR_NOT_SUPPORTED);
        if (asked.ProtocolDataLength < kIdentifySize) return IoResult::Failure(ERROR_INVALID_PARAMETER);
        if (m_model.faults.identify != 0) return IoResult::Failure(m_model.faults.identify);
        page = &m_identify;
    } else if (asked.DataType == NVMeDataTypeLogPage) {
        // The sub-value is the byte offset into the log.
        from = asked.ProtocolDataRequestSubValue;
        if (asked.ProtocolDataRequestValue == kHealthLogId) {
            if (m_model.faults.healthLog != 0) return IoResult::Failure(m_model.faults.healthLog);
            page = &m_healthLog;
        } else if (asked.ProtocolDataRequestValue == kVendorHealthLogId && !m_vendorHealthLog.empty()) {
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
    const DWORD length = asked.DataType == NVMeDataTypeIdentify ? kIdentifySize : asked.ProtocolDataLength;
    const std::size_t dataAt = kProtocolData + asked.ProtocolDataOffset;
    if (request.out == nullptr || request.outSize < dataAt + length) {
        return IoResult::Failure(ERROR_INSUFFICIENT_BUFFER);
    }

    auto* out = static_cast<std::uint8_t*>(request.out);
    STORAGE_PROTOCOL_DATA_DESCRIPTOR reply{};
    reply.Version = sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR);
    reply.Size = sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR);
    reply.ProtocolSpecificData = asked;
    reply.ProtocolSpecificData.ProtocolDataLength = length;
    reply.ProtocolSpecificData.FixedProtocolReturnData = 0;
    std::memcpy(out, &reply, sizeof(reply));
    std::memset(out + dataAt, 0, length);
    const std::size_t available = std::min<std::size_t>(length, page->size() - from);
    std::memcpy(out + dataAt, page->data() + from, available);
    return IoResult::Success(static_cast<DWORD>(dataAt + length));
}

IoResult NvmeDevice::DeviceNumber(const platform::IoRequest& request) const
{
    if (request.out == nullptr || request.outSize < sizeof(STORAGE_DEVICE_NUMBER)) {
        return IoResult::Failure(ERROR_INSUFFICIENT_BUFFER);
    }
    const STORAGE_DEVICE_NUMBER number{FILE_DEVICE_DISK, m_model.deviceNumber, 0};
    std::memcpy(request.out, &number, sizeof(number));
    return IoResult::Success(sizeof(number));
}

IoResult NvmeDevice::Geometry(const platform::IoRequest& request) const
{
    if (request.out == nullptr || request.outSize < sizeof(DISK_GEOMETRY)) {
        return IoResult::Failure(ERROR_INSUFFICIENT_BUFFER);
    }
    // The usual translated geometry: 255 heads, 63 sectors of 512 bytes.
    const std::uint64_t size = m_model.sizeBytes != 0 ? m_model.sizeBytes : m_model.identify.tnvmcap.low;
    DISK_GEOMETRY geometry{};
    geometry.BytesPerSector = 512;
    geometry.SectorsPerTrack = 63;
    geometry.TracksPerCylinder = 255;
    geometry.MediaType = FixedMedia;
    geometry.Cylinders.QuadPart = static_cast<LONGLONG>(size / (512ULL * 63 * 255));
    std::memcpy(request.out, &geometry, sizeof(geometry));
    return IoResult::Success(sizeof(geometry));
}

}  // namespace sim
