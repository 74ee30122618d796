#include "LiveDisk.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "Answers.h"
#include "NvmeQuery.h"
#include "PassThrough.h"
#include "platform/Layouts.h"

namespace live {

namespace {

// Windows' translated geometry of a large disk.
constexpr DWORD kTracksPerCylinder = 255;
constexpr DWORD kSectorsPerTrack = 63;
constexpr std::size_t kLayoutHead = offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry);

std::uint32_t NamespaceId(const std::string& name)
{
    const auto n = name.rfind('n');
    std::uint32_t id = 0;
    for (std::size_t i = n + 1; i < name.size(); ++i) id = id * 10 + static_cast<std::uint32_t>(name[i] - '0');
    return id;
}

}  // namespace

LiveDisk::LiveDisk(const DiskEntry& disk, const Roots& roots, std::shared_ptr<Kernel> kernel, int descriptor,
                   DWORD openError)
    : m_disk(disk), m_roots(roots), m_kernel(std::move(kernel)), m_descriptor(descriptor), m_openError(openError)
{
}

LiveDisk::~LiveDisk()
{
    if (m_descriptor >= 0) m_kernel->Close(m_descriptor);
}

platform::IoResult LiveDisk::Control(const platform::IoRequest& request)
{
    const DeviceAccess access{m_kernel.get(), m_descriptor, m_openError};
    switch (request.code) {
    case IOCTL_STORAGE_GET_DEVICE_NUMBER: return answers::DeviceNumber(request, m_disk.Number, 0);
    case IOCTL_STORAGE_QUERY_PROPERTY: return QueryProperty(request);
    case IOCTL_DISK_GET_DRIVE_GEOMETRY: return Geometry(request);
    case IOCTL_DISK_GET_DRIVE_LAYOUT_EX: return Layout(request);
    case IOCTL_DISK_GET_PARTITION_INFO_EX: return WholeDiskInfo(request);
    case IOCTL_DISK_PERFORMANCE:
        return answers::Performance(request, m_roots.Sys / "block" / m_disk.Name / "stat", m_roots.Proc, m_disk.Number);
    case IOCTL_SCSI_PASS_THROUGH_DIRECT: return ScsiPassThrough(request, access, false);
    case IOCTL_ATA_PASS_THROUGH_DIRECT: return AtaPassThrough(request, access, false);
    case kIoctlScsiPassThrough: return ScsiPassThrough(request, access, true);
    case kIoctlAtaPassThrough: return AtaPassThrough(request, access, true);
    default: return platform::IoResult::Failure(ERROR_INVALID_FUNCTION);
    }
}

platform::IoResult LiveDisk::QueryProperty(const platform::IoRequest& request) const
{
    STORAGE_PROPERTY_QUERY query;
    if (request.in == nullptr || request.inSize < offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters))
        return platform::IoResult::Failure(ERROR_INVALID_PARAMETER);
    std::memcpy(&query, request.in, offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters));
    const bool protocolSpecific = query.PropertyId == StorageAdapterProtocolSpecificProperty ||
                                  query.PropertyId == StorageDeviceProtocolSpecificProperty;
    if (query.PropertyId != StorageDeviceProperty && !(protocolSpecific && m_disk.Kind == DiskKind::Nvme))
        return platform::IoResult::Failure(ERROR_NOT_SUPPORTED);
    if (query.QueryType == PropertyExistsQuery) return platform::IoResult::Success(0);
    if (query.QueryType != PropertyStandardQuery) return platform::IoResult::Failure(ERROR_INVALID_PARAMETER);
    if (query.PropertyId == StorageDeviceProperty) return Descriptor(request);
    const NvmeTarget target{m_kernel.get(), (m_roots.Dev / m_disk.Controller).string(), NamespaceId(m_disk.Name)};
    return NvmeProtocolQuery(request, target);
}

platform::IoResult LiveDisk::Descriptor(const platform::IoRequest& request) const
{
    if (request.out == nullptr || request.outSize < sizeof(STORAGE_DESCRIPTOR_HEADER))
        return platform::IoResult::Failure(ERROR_INSUFFICIENT_BUFFER);
    std::vector<std::uint8_t> reply(sizeof(STORAGE_DEVICE_DESCRIPTOR), 0);
    const auto place = [&reply](const std::string& text) -> DWORD {
        if (text.empty()) return 0;
        const auto offset = static_cast<DWORD>(reply.size());
        reply.insert(reply.end(), text.begin(), text.end());
        reply.push_back(0);
        return offset;
    };
    STORAGE_DEVICE_DESCRIPTOR d;
    std::memset(&d, 0, sizeof(d));
    d.VendorIdOffset = place(m_disk.Vendor);
    d.ProductIdOffset = place(m_disk.Product);
    d.ProductRevisionOffset = place(m_disk.Revision);
    d.SerialNumberOffset = place(m_disk.Serial);
    d.Version = sizeof(STORAGE_DEVICE_DESCRIPTOR);
    d.Size = static_cast<DWORD>(reply.size());
    d.RemovableMedia = m_disk.Removable ? TRUE : FALSE;
    d.CommandQueueing = m_disk.CommandQueueing ? TRUE : FALSE;
    d.BusType = static_cast<STORAGE_BUS_TYPE>(m_disk.BusType);
    std::memcpy(reply.data(), &d, offsetof(STORAGE_DEVICE_DESCRIPTOR, RawDeviceProperties));
    // As much as fits; Size tells the caller how much there is.
    const DWORD copied = std::min<DWORD>(request.outSize, static_cast<DWORD>(reply.size()));
    std::memcpy(request.out, reply.data(), copied);
    return platform::IoResult::Success(copied);
}

platform::IoResult LiveDisk::Geometry(const platform::IoRequest& request) const
{
    if (request.out == nullptr || request.outSize < sizeof(DISK_GEOMETRY))
        return platform::IoResult::Failure(ERROR_INSUFFICIENT_BUFFER);
    DISK_GEOMETRY g;
    std::memset(&g, 0, sizeof(g));
    g.BytesPerSector = m_disk.LogicalBlockSize;
    g.SectorsPerTrack = kSectorsPerTrack;
    g.TracksPerCylinder = kTracksPerCylinder;
    g.MediaType = m_disk.Removable ? RemovableMedia : FixedMedia;
    g.Cylinders.QuadPart =
        static_cast<LONGLONG>(m_disk.SizeBytes() / (std::uint64_t{kTracksPerCylinder} * kSectorsPerTrack * g.BytesPerSector));
    std::memcpy(request.out, &g, sizeof(g));
    return platform::IoResult::Success(sizeof(g));
}

DWORD LiveDisk::Table(PartitionTable& table) const
{
    if (m_descriptor < 0) return m_openError;
    return ReadPartitionTable(m_descriptor, m_disk.LogicalBlockSize, table);
}

platform::IoResult LiveDisk::Layout(const platform::IoRequest& request) const
{
    PartitionTable table;
    if (const DWORD error = Table(table); error != ERROR_SUCCESS) return platform::IoResult::Failure(error);
    // An MBR disk lists its entries four slots at a time, as Windows does.
    std::size_t count = table.Entries.size();
    if (table.Style == PARTITION_STYLE_MBR) count = std::max<std::size_t>(4, (count + 3) / 4 * 4);
    const std::size_t size = kLayoutHead + count * sizeof(PARTITION_INFORMATION_EX);
    if (request.out == nullptr || request.outSize < size) return platform::IoResult::Failure(ERROR_INSUFFICIENT_BUFFER);
    auto* out = static_cast<std::uint8_t*>(request.out);
    std::memset(out, 0, size);
    DRIVE_LAYOUT_INFORMATION_EX head;
    std::memset(&head, 0, sizeof(head));
    head.PartitionStyle = table.Style;
    head.PartitionCount = static_cast<DWORD>(count);
    if (table.Style == PARTITION_STYLE_GPT) {
        head.Gpt.DiskId = table.DiskId;
        head.Gpt.StartingUsableOffset.QuadPart = static_cast<LONGLONG>(table.FirstUsable);
        head.Gpt.UsableLength.QuadPart = static_cast<LONGLONG>(table.UsableLength);
        head.Gpt.MaxPartitionCount = table.MaxPartitionCount;
    } else if (table.Style == PARTITION_STYLE_MBR) {
        head.Mbr.Signature = table.Signature;
        head.Mbr.CheckSum = table.Checksum;
    }
    std::memcpy(out, &head, kLayoutHead);
    for (std::size_t i = 0; i < table.Entries.size(); ++i) {
        PARTITION_INFORMATION_EX entry;
        answers::FillPartitionEntry(entry, table.Entries[i], table.Style);
        std::memcpy(out + kLayoutHead + i * sizeof(entry), &entry, sizeof(entry));
    }
    return platform::IoResult::Success(static_cast<DWORD>(size));
}

platform::IoResult LiveDisk::WholeDiskInfo(const platform::IoRequest& request) const
{
    PartitionTable table;
    if (const DWORD error = Table(table); error != ERROR_SUCCESS) return platform::IoResult::Failure(error);
    TableEntry whole;
    whole.Length = m_disk.SizeBytes();
    return answers::PartitionInfo(request, whole, table.Style);
}

}  // namespace live
