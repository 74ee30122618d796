// Writes the seed inputs that come from the simulated machine: the NVMe pages
// its drives encode, the drive layouts its disks return, the built-in
// description and a few queries; and, from a lab recording, the live
// machine's tree. Usage: fuzz_seeds CORPUS_DIR [--live RECORDED_DIR] [description.json...]
#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "LiveTree.h"
#include "NvmePages.h"
#include "sim/DescriptionLoader.h"
#include "sim/SimMachine.h"

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& file, const void* bytes, std::size_t size)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary).write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
}

void WritePages(const fs::path& root, const std::string& origin, const sim::MachineDescription& description)
{
    sim::SimMachine machine(description);
    for (const auto& disk : description.disks) {
        const std::string name = origin + "-disk" + std::to_string(disk.number);
        if (const auto& nvme = disk.hardware.nvme) {
            const auto identify = sim::nvme_pages::EncodeIdentifyController(nvme->identify);
            const auto health = sim::nvme_pages::EncodeHealthLog(nvme->health);
            Write(root / "identify_controller_fuzz" / name, identify.data(), identify.size());
            Write(root / "health_log_fuzz" / name, health.data(), health.size());
            if (nvme->vendorHealth) {
                const auto vendor = sim::nvme_pages::EncodeVendorHealthLog(*nvme->vendorHealth);
                Write(root / "health_log_fuzz" / (name + "-vendor"), vendor.data(), vendor.size());
            }
        }
        const auto opened = machine.OpenDevice(L"\\\\.\\PhysicalDrive" + std::to_wstring(disk.number), GENERIC_READ);
        if (!opened.device) continue;
        std::vector<std::uint8_t> layout(64 * 1024);
        const platform::IoResult result = opened.device->Control(
            {IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0, layout.data(), static_cast<DWORD>(layout.size())});
        if (result.error == ERROR_SUCCESS) Write(root / "drive_layout_fuzz" / name, layout.data(), result.bytesReturned);
    }
}

std::string Contents(const fs::path& file, std::size_t most = std::string::npos)
{
    std::ifstream in(file, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return bytes.substr(0, most);
}

// The lab's SATA SSD and NVMe drive as recorded: their sysfs and procfs files,
// the partition table areas at the head of their images, and their replies
// with the status an ATA drive returns its registers with.
void WriteLiveSeed(const fs::path& root, const fs::path& recorded)
{
    namespace tree = fuzz_support::live_tree;
    constexpr std::size_t kGptArea = 34 * 512;
    const std::string sense = {'\x02', '\x72', '\x01', 0, '\x1d', 0, 0, 0, '\x0e', '\x09', '\x0c', 0, 0,
                               0, 0, 0, 0, 0, 0, 0, 0, 0, '\x50'};
    std::string seed;
    for (const std::string_view slot : tree::kSlots) {
        const std::string path = tree::PathOf(slot);
        if (slot != tree::kSlots.front()) seed += tree::kSlotMark;
        if (path == "reply/sda.sense")
            seed += sense;
        else if (path.rfind("reply/", 0) == 0)
            seed += Contents(recorded / "replies" / (path.substr(6) + ".bin"));
        else if (path.rfind("dev/", 0) == 0)
            seed += Contents(recorded / "disks" / path.substr(4) / "0", kGptArea);
        else
            seed += Contents(recorded / "tree" / path);
    }
    Write(root / "live_machine_fuzz" / "hwlab-sda-nvme0", seed.data(), seed.size());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: fuzz_seeds CORPUS_DIR [--live RECORDED_DIR] [description.json...]\n";
        return 2;
    }
    const fs::path root = argv[1];
    const std::string_view builtIn = sim::DefaultDescriptionJson();
    Write(root / "description_fuzz" / "built-in.json", builtIn.data(), builtIn.size());
    WritePages(root, "built-in", sim::DefaultDescription());
    for (int i = 2; i < argc; ++i)
        if (std::string_view(argv[i]) == "--live" && i + 1 < argc)
            WriteLiveSeed(root, argv[++i]);
        else
            WritePages(root, fs::path(argv[i]).stem().string(), sim::LoadDescriptionFile(argv[i]));

    for (const std::u16string query : {u"SELECT * FROM Win32_DiskDrive", u"select\t*\r\nfrom MSFT_PhysicalDisk ",
                                       u"SELECT Name FROM Win32_DiskDrive WHERE Index = 0"})
        Write(root / "wql_fuzz" / std::to_string(query.size()), query.data(), query.size() * sizeof(char16_t));
    return 0;
}
