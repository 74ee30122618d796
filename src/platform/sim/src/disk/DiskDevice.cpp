#include "sim/DiskDevice.h"

#include "Requests.h"

namespace sim {

DiskDevice::DiskDevice(DiskModel model) : m_model(std::move(model))
{
    if (m_model.nvme) m_nvme = std::make_shared<NvmeDevice>(*m_model.nvme);
}

const PartitionModel* DiskDevice::FindPartition(std::uint32_t number) const
{
    for (const auto& partition : m_model.layout.partitions)
        if (partition.number == number) return &partition;
    return nullptr;
}

platform::IoResult DiskDevice::Answer(const platform::IoRequest& request)
{
    using namespace requests;
    const AtaDriveModel* drive = m_model.ata ? &*m_model.ata : nullptr;
    switch (request.code) {
    case IOCTL_STORAGE_GET_DEVICE_NUMBER:
        return Plain(request, [&] { return AnswerDeviceNumber(request, m_model.number, 0); });
    case IOCTL_STORAGE_QUERY_PROPERTY: {
        // Protocol-specific queries reach the NVMe controller; the storage
        // stack answers the others for any disk.
        const std::optional<DWORD> property = QueriedProperty(request);
        if (m_nvme && (property == StorageAdapterProtocolSpecificProperty ||
                       property == StorageDeviceProtocolSpecificProperty))
            return Plain(request, [&] { return m_nvme->Control(request); });
        return Plain(request, [&] { return AnswerQueryProperty(request, m_model.descriptor); });
    }
    case IOCTL_DISK_GET_DRIVE_GEOMETRY:
        return Plain(request, [&] { return AnswerGeometry(request, m_model.geometry); });
    case IOCTL_DISK_GET_DRIVE_LAYOUT_EX:
        return Plain(request, [&] { return AnswerDriveLayout(request, m_model.layout); });
    case IOCTL_ATA_PASS_THROUGH_DIRECT: return AnswerAtaPassThrough(request, drive, m_model.faults);
    case IOCTL_SCSI_PASS_THROUGH_DIRECT:
        return AnswerScsiPassThrough(request, drive, m_model.descriptor, m_model.faults);
    default: return platform::IoResult::Failure(ERROR_INVALID_FUNCTION);
    }
}

}  // namespace sim
