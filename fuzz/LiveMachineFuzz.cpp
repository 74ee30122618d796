// Any bytes as the Linux system the live machine reads: its sysfs and procfs
// files, the partition tables on the disks and the drives' pass-through
// replies (LiveTree.h lays them out). The plug-in collects all six types from
// it; whatever the bytes, nothing may crash and everything opened is released.
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <linux/nvme_ioctl.h>
#include <map>
#include <scsi/sg.h>
#include <sstream>
#include <string>
#include <unistd.h>

#include "LiveTree.h"
#include "StorageCollectorPlugin.h"
#include "kvr/Exceptions.h"
#include "kvr/host/HostAgent.h"
#include "kvr/host/TextLog.h"
#include "live/LiveMachine.h"

namespace {

namespace fs = std::filesystem;
namespace tree = fuzz_support::live_tree;

const fs::path& TreeRoot()
{
    static const fs::path root = (fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()) /
                                 ("live-fuzz-" + std::to_string(::getpid()));
    return root;
}

// The tree's folders and links for one input, removed with it: libFuzzer ends
// a run without the process's exit handlers, so nothing may wait for those.
struct ScopedTree {
    ScopedTree()
    {
        const fs::path& dir = TreeRoot();
        fs::create_directories(dir / tree::kSataDevice / "block/sda/queue");
        fs::create_directories(dir / tree::kNvmeController / "nvme0n1/queue");
        fs::create_directories(dir / "sys/block");
        fs::create_directories(dir / "proc/self");
        fs::create_directories(dir / "dev");
        fs::create_symlink(fs::path("..") / fs::path(tree::kSataDevice).lexically_relative("sys") / "block/sda",
                           dir / "sys/block/sda");
        fs::create_symlink("../../../0:0:0:0", dir / tree::kSataDevice / "block/sda/device");
        fs::create_symlink(fs::path("..") / fs::path(tree::kNvmeController).lexically_relative("sys") / "nvme0n1",
                           dir / "sys/block/nvme0n1");
        fs::create_symlink("../../nvme0", dir / tree::kNvmeController / "nvme0n1/device");
    }
    ~ScopedTree() { fs::remove_all(TreeRoot()); }
    ScopedTree(const ScopedTree&) = delete;
    ScopedTree& operator=(const ScopedTree&) = delete;
};

// Writes each slot's file, or removes it when the slot is empty, so that a
// missing file is among the inputs too. Disk images get the size sysfs gives.
std::map<std::string, std::string> WriteTree(const std::vector<std::string_view>& slots)
{
    std::map<std::string, std::string> replies;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const std::string path = tree::PathOf(tree::kSlots[i]);
        if (path.rfind("reply/", 0) == 0) {
            replies[path.substr(6)] = std::string(slots[i]);
            continue;
        }
        const fs::path file = TreeRoot() / path;
        fs::create_directories(file.parent_path());
        if (slots[i].empty() && path.rfind("dev/", 0) != 0) {
            fs::remove(file);
            continue;
        }
        std::ofstream(file, std::ios::binary | std::ios::trunc)
            .write(slots[i].data(), static_cast<std::streamsize>(slots[i].size()));
    }
    return replies;
}

// The drives behind the kernel seam answer from the input's replies.
class FuzzKernel final : public live::Kernel {
public:
    explicit FuzzKernel(std::map<std::string, std::string> replies) : m_replies(std::move(replies)) {}

    int OpenReadOnly(const std::string& path) override
    {
        const std::string name = fs::path(path).filename().string();
        const bool controller = name == "nvme0";
        const int descriptor = controller ? ::open("/dev/null", O_RDONLY | O_CLOEXEC) : live::Kernel::OpenReadOnly(path);
        if (descriptor >= 0) m_names[descriptor] = name;
        return descriptor;
    }

    int ScsiGeneric(int descriptor, sg_io_hdr& header) override
    {
        const auto* cdb = header.cmdp;
        char key[32];
        if (cdb[0] == 0x12)
            std::snprintf(key, sizeof key, "%s.inquiry", m_names[descriptor].c_str());
        else if (cdb[14] == 0xB0)
            std::snprintf(key, sizeof key, "%s.b0-%02x", m_names[descriptor].c_str(), cdb[4]);
        else
            std::snprintf(key, sizeof key, "%s.%02x", m_names[descriptor].c_str(), cdb[14]);
        const std::string& data = m_replies[key];
        const std::size_t copied = std::min<std::size_t>(data.size(), header.dxfer_len);
        std::memcpy(header.dxferp, data.data(), copied);
        header.resid = static_cast<int>(header.dxfer_len - copied);
        // The status and sense come with a command that asks for the drive's
        // registers, and with one the drive did not answer.
        const std::string& sense = m_replies[m_names[descriptor] + ".sense"];
        const bool registers = cdb[0] == 0x85 && (cdb[2] & 0x20) != 0;
        if ((registers || data.empty()) && !sense.empty()) {
            header.status = static_cast<unsigned char>(sense[0]);
            header.sb_len_wr = static_cast<unsigned char>(std::min<std::size_t>(sense.size() - 1, header.mx_sb_len));
            std::memcpy(header.sbp, sense.data() + 1, header.sb_len_wr);
        }
        return 0;
    }

    int NvmeAdmin(int descriptor, nvme_passthru_cmd& command) override
    {
        char key[32];
        std::snprintf(key, sizeof key, command.opcode == 0x06 ? "%s.identify-%02x" : "%s.log-%02x",
                      m_names[descriptor].c_str(), command.opcode == 0x06 ? command.cdw10 : command.cdw10 & 0xFF);
        const std::string& data = m_replies[key];
        if (data.empty()) return 0x4109;  // Invalid Log Page
        std::memcpy(reinterpret_cast<void*>(command.addr), data.data(), std::min<std::size_t>(data.size(), command.data_len));
        return 0;
    }

private:
    std::map<std::string, std::string> m_replies;
    std::map<int, std::string> m_names;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto slots = tree::Unpack({reinterpret_cast<const char*>(data), size});
    const ScopedTree scoped;
    auto kernel = std::make_shared<FuzzKernel>(WriteTree(slots));
    // Images as large as sysfs says, without the bytes: the partition table
    // reader checks sizes against them. Capped, as a hostile size is any size.
    for (const char* disk : {"sda", "nvme0n1"}) {
        const auto sectors = std::strtoull(std::string(slots[disk[0] == 's' ? 6 : 25]).c_str(), nullptr, 10);
        const std::uintmax_t bytes = std::min<std::uintmax_t>(sectors, 1ULL << 27) * 512;
        std::error_code ignored;
        if (bytes > fs::file_size(TreeRoot() / "dev" / disk, ignored)) fs::resize_file(TreeRoot() / "dev" / disk, bytes, ignored);
    }

    live::LiveMachine machine({TreeRoot() / "sys", TreeRoot() / "proc", TreeRoot() / "dev"},
                              live::LiveOptions{std::chrono::milliseconds(0)}, kernel);
    {
        platform::MachineScope scope(machine);
        std::ostringstream log;
        Kvr::Host::HostAgent agent(std::make_shared<Kvr::Host::TextLogWriter>(log, Kvr::LogLevel::Trace));
        Talvex::Quorlin::Plugins::StorageCollectorPlugin plugin(agent);
        // A collection may end in a KvrException, which is an outcome; anything
        // else reaching the host is a finding.
        for (const auto& method : Talvex::Quorlin::Plugins::StorageCollectorPlugin::CollectionMethods()) {
            try {
                method.Invoke(plugin, std::nullopt, std::nullopt);
            } catch (const Kvr::KvrException&) {
            }
        }
    }
    if (!machine.Ledger().OpenReport().empty()) {
        std::fprintf(stderr, "left open:\n%s\n", machine.Ledger().OpenReport().c_str());
        std::abort();
    }
    return 0;
}
