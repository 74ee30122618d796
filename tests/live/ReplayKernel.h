// The live machine's kernel seam, answered from what record.sh recorded in the
// hw lab: block devices are sparse images holding the recorded table areas,
// pass-through commands get the drive's recorded reply (or, for a command the
// drive was never asked, the abort an ATA drive gives), and every call that
// would reach a drive is counted.
#pragma once

#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <linux/nvme_ioctl.h>
#include <map>
#include <mutex>
#include <scsi/sg.h>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "live/Kernel.h"

namespace livetest {

namespace fs = std::filesystem;

inline const fs::path recorded = LIVE_RECORDED_DIR;

inline std::vector<std::uint8_t> Bytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A /dev folder with one sparse image per recorded disk, built once per process.
inline const fs::path& DevRoot()
{
    static const fs::path root = [] {
        const fs::path dev = fs::path(testing::TempDir()) / ("live-dev-" + std::to_string(::getpid()));
        fs::create_directories(dev);
        for (const auto& disk : fs::directory_iterator(recorded / "disks")) {
            std::ofstream image(dev / disk.path().filename(), std::ios::binary);
            for (const auto& chunk : fs::directory_iterator(disk.path())) {
                const std::string name = chunk.path().filename().string();
                if (name == "size") continue;
                const std::uint64_t offset = std::stoull(name);
                const auto bytes = Bytes(chunk.path());
                image.seekp(static_cast<std::streamoff>(offset));
                image.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            }
            image.close();
            const auto size = Bytes(disk.path() / "size");
            fs::resize_file(dev / disk.path().filename(), std::stoull(std::string(size.begin(), size.end())));
        }
        return dev;
    }();
    return root;
}

class ReplayKernel : public live::Kernel {
public:
    int OpenReadOnly(const std::string& path) override
    {
        if (denyOpen) return -EACCES;
        const std::string name = fs::path(path).filename().string();
        // NVMe controllers have no image; their commands are replayed by name.
        const bool controller = name.rfind("nvme", 0) == 0 && name.find('n', 4) == std::string::npos;
        const int descriptor = controller ? ::open("/dev/null", O_RDONLY | O_CLOEXEC)
                                          : live::Kernel::OpenReadOnly(path);
        std::lock_guard lock(m_lock);
        if (descriptor >= 0) m_names[descriptor] = name;
        return descriptor;
    }

    int ScsiGeneric(int descriptor, sg_io_hdr& header) override
    {
        ++reached;
        const auto* cdb = header.cmdp;
        std::string reply = Name(descriptor);
        char hex[16];
        if (cdb[0] == 0x12)
            reply += ".inquiry";
        else if (cdb[0] == 0x85 && cdb[14] == 0xB0)
            reply += std::snprintf(hex, sizeof hex, ".b0-%02x", cdb[4]) > 0 ? hex : "";
        else if (cdb[0] == 0x85 && cdb[14] == 0x2F)
            reply += std::snprintf(hex, sizeof hex, ".2f-%02x", cdb[8]) > 0 ? hex : "";
        else if (cdb[0] == 0x85)
            reply += std::snprintf(hex, sizeof hex, ".%02x", cdb[14]) > 0 ? hex : "";
        const auto data = Bytes(recorded / "replies" / (reply + ".bin"));
        const std::size_t copied = std::min<std::size_t>(data.size(), header.dxfer_len);
        if (copied != 0) std::memcpy(header.dxferp, data.data(), copied);
        header.resid = static_cast<int>(header.dxfer_len - copied);
        const bool registers = cdb[0] == 0x85 && (cdb[2] & 0x20) != 0;
        if (data.empty() || registers) {
            // Descriptor sense with the ATA status return descriptor.
            std::uint8_t sense[22] = {0x72, static_cast<std::uint8_t>(data.empty() ? 0x0B : 0x01), 0, 0x1D, 0, 0, 0, 14,
                                      0x09, 0x0C};
            sense[11] = data.empty() ? 0x04 : 0;     // error: abort
            sense[21] = data.empty() ? 0x51 : 0x50;  // status
            header.sb_len_wr = static_cast<unsigned char>(std::min<std::size_t>(sizeof sense, header.mx_sb_len));
            std::memcpy(header.sbp, sense, header.sb_len_wr);
            header.status = 0x02;
        }
        return 0;
    }

    int NvmeAdmin(int descriptor, nvme_passthru_cmd& command) override
    {
        ++reached;
        char file[64];
        if (command.opcode == 0x06)
            std::snprintf(file, sizeof file, "%s.identify-%02x.bin", Name(descriptor).c_str(), command.cdw10);
        else
            std::snprintf(file, sizeof file, "%s.log-%02x.bin", Name(descriptor).c_str(), command.cdw10 & 0xFF);
        const auto data = Bytes(recorded / "replies" / file);
        if (data.empty()) return 0x4109;  // Invalid Log Page
        std::memcpy(reinterpret_cast<void*>(command.addr), data.data(), std::min<std::size_t>(data.size(), command.data_len));
        return 0;
    }

    std::atomic<int> reached{0};
    bool denyOpen = false;

private:
    std::string Name(int descriptor)
    {
        std::lock_guard lock(m_lock);
        return m_names[descriptor];
    }

    std::mutex m_lock;
    std::map<int, std::string> m_names;
};

}  // namespace livetest
