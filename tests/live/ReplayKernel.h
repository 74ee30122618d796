// The live machine's kernel seam, answered from drive replies kept as files
// (<disk>.<command>.bin in one folder: what record.sh recorded in the hw lab,
// or what a fuzz input holds). A pass-through command the drive was never
// asked gets the abort an ATA drive gives; a command asking for the ATA
// registers gets them in descriptor sense, or the status byte and sense of
// <disk>.sense.bin where there is one. Every call that would reach a drive is
// counted.
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

#include "live/Kernel.h"

namespace livetest {

namespace fs = std::filesystem;

inline std::vector<std::uint8_t> Bytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

#ifdef LIVE_RECORDED_DIR
inline const fs::path recorded = LIVE_RECORDED_DIR;

// A /dev folder with one sparse image per recorded disk, built once per process.
inline const fs::path& DevRoot()
{
    static const fs::path root = [] {
        const fs::path dev = fs::temp_directory_path() / ("live-dev-" + std::to_string(::getpid()));
        fs::create_directories(dev);
        for (const auto& disk : fs::directory_iterator(recorded / "disks")) {
            std::ofstream image(dev / disk.path().filename(), std::ios::binary);
            for (const auto& chunk : fs::directory_iterator(disk.path())) {
                if (chunk.path().filename() == "size") continue;
                const auto bytes = Bytes(chunk.path());
                image.seekp(static_cast<std::streamoff>(std::stoull(chunk.path().filename().string())));
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
#endif

class ReplayKernel : public live::Kernel {
public:
    explicit ReplayKernel(fs::path replies) : m_replies(std::move(replies)) {}

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
        // ATA(16): the command, with the feature of SMART or the log of READ LOG EXT.
        char command[16] = "inquiry";
        const bool qualified = cdb[14] == 0xB0 || cdb[14] == 0x2F;
        if (cdb[0] != 0x12) std::snprintf(command, sizeof command, qualified ? "%02x-%02x" : "%02x", cdb[14], cdb[cdb[14] == 0xB0 ? 4 : 8]);
        const auto data = Bytes(m_replies / (Name(descriptor) + "." + command + ".bin"));
        const std::size_t copied = std::min<std::size_t>(data.size(), header.dxfer_len);
        if (copied != 0) std::memcpy(header.dxferp, data.data(), copied);
        header.resid = static_cast<int>(header.dxfer_len - copied);
        if (!data.empty() && !(cdb[0] == 0x85 && (cdb[2] & 0x20) != 0)) return 0;
        // Status, then descriptor sense with the ATA status return descriptor.
        std::vector<std::uint8_t> sense = Bytes(m_replies / (Name(descriptor) + ".sense.bin"));
        if (sense.empty()) {
            sense = {0x02, 0x72, static_cast<std::uint8_t>(data.empty() ? 0x0B : 0x01), 0, 0x1D, 0, 0, 0, 14, 0x09, 0x0C};
            sense.resize(23);
            sense[12] = data.empty() ? 0x04 : 0;     // error: abort
            sense[22] = data.empty() ? 0x51 : 0x50;  // status
        }
        header.status = sense[0];
        header.sb_len_wr = static_cast<unsigned char>(std::min<std::size_t>(sense.size() - 1, header.mx_sb_len));
        std::memcpy(header.sbp, sense.data() + 1, header.sb_len_wr);
        return 0;
    }

    int NvmeAdmin(int descriptor, nvme_passthru_cmd& command) override
    {
        ++reached;
        char file[64];
        const bool identify = command.opcode == 0x06;
        std::snprintf(file, sizeof file, identify ? "%s.identify-%02x.bin" : "%s.log-%02x.bin", Name(descriptor).c_str(),
                      identify ? command.cdw10 : command.cdw10 & 0xFF);
        const auto data = Bytes(m_replies / file);
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

    const fs::path m_replies;
    std::mutex m_lock;
    std::map<int, std::string> m_names;
};

}  // namespace livetest
