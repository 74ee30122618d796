// A disk of the running system behind \\.\PhysicalDriveN: sysfs answers what
// it knows, the read-only block device the partition table, and pass-through
// what only the drive knows.
#pragma once

#include <memory>

#include "DiskCatalog.h"
#include "PartitionTable.h"
#include "live/Kernel.h"
#include "live/Roots.h"
#include "platform/Device.h"

namespace live {

class LiveDisk : public platform::Device {
public:
    // descriptor: the block device opened read-only, or -1 with the error the
    // open met; the disk then answers from sysfs alone.
    LiveDisk(const DiskEntry& disk, const Roots& roots, std::shared_ptr<Kernel> kernel, int descriptor,
             DWORD openError);
    ~LiveDisk() override;
    LiveDisk(const LiveDisk&) = delete;
    LiveDisk& operator=(const LiveDisk&) = delete;

    platform::IoResult Control(const platform::IoRequest& request) override;

    // The partition table, or the error that kept it from being read.
    DWORD Table(PartitionTable& table) const;

private:
    platform::IoResult QueryProperty(const platform::IoRequest& request) const;
    platform::IoResult Descriptor(const platform::IoRequest& request) const;
    platform::IoResult Geometry(const platform::IoRequest& request) const;
    platform::IoResult Layout(const platform::IoRequest& request) const;
    platform::IoResult WholeDiskInfo(const platform::IoRequest& request) const;

    DiskEntry m_disk;
    Roots m_roots;
    std::shared_ptr<Kernel> m_kernel;
    int m_descriptor;
    DWORD m_openError;
};

}  // namespace live
