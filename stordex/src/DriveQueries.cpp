#include "DriveQueries.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#include "platform/Layouts.h"

namespace talvex::stordex {

namespace {

constexpr std::size_t kQueryHeaderSize = offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters);
constexpr std::size_t kBusTypeEnd = offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) + sizeof(STORAGE_BUS_TYPE);
// No device descriptor comes near this; a larger Size is a broken answer.
constexpr DWORD kLargestDescriptor = 64 * 1024;

template <typename T>
T ReadAt(const std::vector<std::uint8_t>& buffer, std::size_t offset)
{
    T value;
    std::memcpy(&value, buffer.data() + offset, sizeof(T));
    return value;
}

bool Control(const DriveHandle& drive, void* in, std::size_t inSize, void* out, std::size_t outSize,
             DWORD& returned)
{
    returned = 0;
    return DeviceIoControl(drive.Get(), IOCTL_STORAGE_QUERY_PROPERTY, in, static_cast<DWORD>(inSize), out,
                           static_cast<DWORD>(outSize), &returned, nullptr) != FALSE;
}

}  // namespace

DriveHandle::DriveHandle(std::uint32_t number, DWORD access)
{
    const std::wstring path = L"\\\\.\\PhysicalDrive" + std::to_wstring(number);
    m_handle = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
}

DriveHandle::~DriveHandle()
{
    if (IsOpen()) CloseHandle(m_handle);
}

std::optional<DWORD> QueryBusType(const DriveHandle& drive)
{
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;

    // The header first, for the size of the whole descriptor.
    STORAGE_DESCRIPTOR_HEADER header{};
    DWORD returned = 0;
    if (!Control(drive, &query, sizeof(query), &header, sizeof(header), returned) || returned < sizeof(header)) {
        return std::nullopt;
    }
    if (header.Size < kBusTypeEnd || header.Size > kLargestDescriptor) return std::nullopt;

    std::vector<std::uint8_t> descriptor(header.Size);
    if (!Control(drive, &query, sizeof(query), descriptor.data(), descriptor.size(), returned) ||
        returned < kBusTypeEnd) {
        return std::nullopt;
    }
    return static_cast<DWORD>(ReadAt<STORAGE_BUS_TYPE>(descriptor, offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType)));
}

std::optional<std::vector<std::uint8_t>> QueryNvmeData(const DriveHandle& drive, const NvmeDataRequest& request)
{
    // One buffer in and out: the query header, whose additional parameters
    // are the protocol-specific data, and then room for the data itself.
    const std::size_t dataStart = kQueryHeaderSize + sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA);
    std::vector<std::uint8_t> buffer(dataStart + request.Length);

    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = request.Property;
    query.QueryType = PropertyStandardQuery;
    std::memcpy(buffer.data(), &query, kQueryHeaderSize);

    STORAGE_PROTOCOL_SPECIFIC_DATA protocol{};
    protocol.ProtocolType = ProtocolTypeNvme;
    protocol.DataType = request.DataType;
    protocol.ProtocolDataRequestValue = request.RequestValue;
    protocol.ProtocolDataRequestSubValue = request.RequestSubValue;
    protocol.ProtocolDataOffset = sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA);
    protocol.ProtocolDataLength = request.Length;
    std::memcpy(buffer.data() + kQueryHeaderSize, &protocol, sizeof(protocol));

    DWORD returned = 0;
    if (!Control(drive, buffer.data(), buffer.size(), buffer.data(), buffer.size(), returned)) return std::nullopt;

    // The answer is a protocol data descriptor whose protocol-specific data
    // locates the returned data relative to itself.
    if (returned < sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR)) return std::nullopt;
    const auto descriptor = ReadAt<STORAGE_PROTOCOL_DATA_DESCRIPTOR>(buffer, 0);
    if (descriptor.Version != sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR) ||
        descriptor.Size != sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR)) {
        return std::nullopt;
    }
    const STORAGE_PROTOCOL_SPECIFIC_DATA& answer = descriptor.ProtocolSpecificData;
    if (answer.ProtocolDataOffset < sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA) ||
        answer.ProtocolDataLength < request.Length) {
        return std::nullopt;
    }
    const std::size_t offset = offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, ProtocolSpecificData) +
                               static_cast<std::size_t>(answer.ProtocolDataOffset);
    const std::size_t end = std::min<std::size_t>(returned, buffer.size());
    if (offset > end || end - offset < request.Length) return std::nullopt;
    return std::vector<std::uint8_t>(buffer.begin() + static_cast<std::ptrdiff_t>(offset),
                                     buffer.begin() + static_cast<std::ptrdiff_t>(offset + request.Length));
}

}  // namespace talvex::stordex
