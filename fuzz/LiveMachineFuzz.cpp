// Any bytes as the Linux system the live machine reads: its sysfs and procfs
// files, the partition tables on the disks and the drives' pass-through
// replies (LiveTree.h lays them out). The plug-in collects all six types from
// it; whatever the bytes, nothing may crash and everything opened is released.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "LiveTree.h"
#include "ReplayKernel.h"
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
        fs::create_directories(dir / tree::kSataDevice / "block/sda");
        fs::create_directories(dir / tree::kNvmeController / "nvme0n1");
        fs::create_directories(dir / "sys/block");
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
// missing file is among the inputs too; replies go to reply/<key>.bin.
void WriteTree(const std::vector<std::string_view>& slots)
{
    for (std::size_t i = 0; i < slots.size(); ++i) {
        std::string path = tree::PathOf(tree::kSlots[i]);
        if (path.rfind("reply/", 0) == 0) path += ".bin";
        const fs::path file = TreeRoot() / path;
        fs::create_directories(file.parent_path());
        if (slots[i].empty() && path.rfind("dev/", 0) != 0) {
            fs::remove(file);
            continue;
        }
        std::ofstream(file, std::ios::binary | std::ios::trunc)
            .write(slots[i].data(), static_cast<std::streamsize>(slots[i].size()));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto slots = tree::Unpack({reinterpret_cast<const char*>(data), size});
    const ScopedTree scoped;
    WriteTree(slots);
    auto kernel = std::make_shared<livetest::ReplayKernel>(TreeRoot() / "reply");
    // Images as large as sysfs says, without the bytes: the partition table
    // reader checks sizes against them. Capped, as a hostile size is any size.
    constexpr std::pair<const char*, std::size_t> kDiskSizes[] = {{"sda", tree::SlotOf("@SATA/block/sda/size")},
                                                                  {"nvme0n1", tree::SlotOf("@NVME/nvme0n1/size")}};
    for (const auto& [disk, sizeSlot] : kDiskSizes) {
        const auto sectors = std::strtoull(std::string(slots[sizeSlot]).c_str(), nullptr, 10);
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
