#include "live/Kernel.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/nvme_ioctl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace live {

int Kernel::OpenReadOnly(const std::string& path)
{
    // O_NONBLOCK: a drive without media still opens, as Windows opens it.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    return descriptor >= 0 ? descriptor : -errno;
}

void Kernel::Close(int descriptor) { ::close(descriptor); }

int Kernel::ScsiGeneric(int descriptor, sg_io_hdr& header)
{
    return ::ioctl(descriptor, SG_IO, &header) == 0 ? 0 : -errno;
}

int Kernel::NvmeAdmin(int descriptor, nvme_passthru_cmd& command)
{
    const int result = ::ioctl(descriptor, NVME_IOCTL_ADMIN_CMD, &command);
    return result >= 0 ? result : -errno;
}

}  // namespace live
