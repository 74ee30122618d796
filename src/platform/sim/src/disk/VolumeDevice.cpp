#include "sim/VolumeDevice.h"

#include "Requests.h"

namespace sim {

platform::IoResult VolumeDevice::Answer(const platform::IoRequest& request)
{
    using namespace requests;
    // A network share, or a volume whose disk or partition the machine lacks,
    // has no answer for the disk requests.
    const PartitionModel* partition =
        m_model.disk && m_disk ? m_disk->FindPartition(m_model.partitionNumber) : nullptr;
    switch (request.code) {
    case IOCTL_STORAGE_GET_DEVICE_NUMBER:
        if (!m_model.disk) return platform::IoResult::Failure(ERROR_INVALID_FUNCTION);
        return Plain(request, [&] { return AnswerDeviceNumber(request, *m_model.disk, m_model.partitionNumber); });
    case IOCTL_DISK_GET_PARTITION_INFO_EX:
        if (partition == nullptr) return platform::IoResult::Failure(ERROR_INVALID_FUNCTION);
        return Plain(request,
                     [&] { return AnswerPartitionInfo(request, *partition, m_disk->Model().layout.style); });
    case IOCTL_DISK_PERFORMANCE:
        if (!m_model.disk) return platform::IoResult::Failure(ERROR_INVALID_FUNCTION);
        return Plain(request, [&] { return AnswerPerformance(request, m_model.counters, *m_model.disk); });
    default: return platform::IoResult::Failure(ERROR_INVALID_FUNCTION);
    }
}

}  // namespace sim
