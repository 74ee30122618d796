// The few kernel calls through which the live machine reaches a device: open
// read-only, SCSI generic and NVMe admin pass-through. Everything that touches
// hardware goes through here, so tests replay recorded replies instead.
#pragma once

#include <string>

struct sg_io_hdr;
struct nvme_passthru_cmd;

namespace live {

class Kernel {
public:
    virtual ~Kernel() = default;
    // open(2) with O_RDONLY, never more: a descriptor, or -errno. There is no
    // way to ask for write access.
    virtual int OpenReadOnly(const std::string& path);
    virtual void Close(int descriptor);
    // ioctl SG_IO and NVME_IOCTL_ADMIN_CMD: 0, or -errno. NVMe's own status
    // (a positive ioctl result) is returned as it is.
    virtual int ScsiGeneric(int descriptor, sg_io_hdr& header);
    virtual int NvmeAdmin(int descriptor, nvme_passthru_cmd& command);
};

}  // namespace live
