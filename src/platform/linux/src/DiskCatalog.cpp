#include "DiskCatalog.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "SysfsFiles.h"
#include "platform/Win32.h"

namespace live {

namespace fs = std::filesystem;

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

bool AllDigits(const std::string& text, std::size_t from)
{
    return from < text.size() && std::all_of(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(),
                                             [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// Which block devices are disks; loop, ram, zram, dm-, md, optical drives,
// MMC boot areas and NVMe per-path nodes are not.
bool KindOf(const std::string& name, DiskKind& kind)
{
    if (StartsWith(name, "sd") && name.size() > 2 &&
        std::all_of(name.begin() + 2, name.end(), [](char c) { return c >= 'a' && c <= 'z'; })) {
        kind = DiskKind::Scsi;
        return true;
    }
    if (StartsWith(name, "vd") && name.size() > 2 &&
        std::all_of(name.begin() + 2, name.end(), [](char c) { return c >= 'a' && c <= 'z'; })) {
        kind = DiskKind::Virtio;
        return true;
    }
    if (StartsWith(name, "mmcblk") && AllDigits(name, 6)) {
        kind = DiskKind::Mmc;
        return true;
    }
    if (StartsWith(name, "nvme")) {
        const auto n = name.find('n', 4);
        if (n == std::string::npos || name.find('c', 4) != std::string::npos) return false;
        if (!AllDigits(name.substr(0, n), 4) || !AllDigits(name, n + 1)) return false;
        kind = DiskKind::Nvme;
        return true;
    }
    return false;
}

std::string Canonical(const fs::path& path)
{
    std::error_code error;
    const fs::path resolved = fs::canonical(path, error);
    return error ? path.string() : resolved.string();
}

std::uint32_t ScsiBusType(const std::string& devicePath)
{
    if (devicePath.find("/usb") != std::string::npos) return BusTypeUsb;
    if (devicePath.find("/ata") != std::string::npos) return BusTypeSata;
    if (devicePath.find("/end_device-") != std::string::npos) return BusTypeSas;
    if (devicePath.find("/rport-") != std::string::npos) return BusTypeFibre;
    if (devicePath.find("/session") != std::string::npos) return BusTypeiScsi;
    return BusTypeScsi;
}

// An ATA text field of IDENTIFY DEVICE: byte pairs swapped, blanks trimmed.
std::string AtaText(const std::string& identify, std::size_t firstWord, std::size_t words)
{
    std::string text;
    for (std::size_t w = firstWord; w < firstWord + words && 2 * w + 1 < identify.size(); ++w) {
        text += identify[2 * w + 1];
        text += identify[2 * w];
    }
    return files::Trim(text);
}

// The unit serial number page (VPD 80h): length in byte 3, text from byte 4.
std::string VpdSerial(const fs::path& path)
{
    const std::string page = files::Read(path).value_or("");
    if (page.size() < 4) return {};
    const std::size_t length = static_cast<unsigned char>(page[3]);
    return files::Trim(page.substr(4, std::min(length, page.size() - 4)));
}

void FillScsi(const fs::path& block, DiskEntry& disk)
{
    const fs::path device = block / "device";
    disk.BusType = ScsiBusType(Canonical(device));
    disk.Vendor = files::Text(device / "vendor");
    disk.Product = files::Text(device / "model");
    disk.Revision = files::Text(device / "rev");
    disk.Serial = VpdSerial(device / "vpd_pg80");
    disk.CommandQueueing = files::Number(device / "queue_depth").value_or(1) > 1;
    disk.Ata = disk.BusType == BusTypeSata;
    // The ATA information page (VPD 89h) carries IDENTIFY DEVICE from byte 60,
    // with the model libata's inquiry data cuts to 16 characters.
    const std::string page = files::Read(device / "vpd_pg89").value_or("");
    if (page.size() >= 60 + 512) {
        const std::string identify = page.substr(60, 512);
        disk.Model = AtaText(identify, 27, 20);
        disk.Firmware = AtaText(identify, 23, 4);
        if (disk.Serial.empty()) disk.Serial = AtaText(identify, 10, 10);
    }
    if (disk.Model.empty()) disk.Model = disk.Vendor == "ATA" ? disk.Product : files::Trim(disk.Vendor + " " + disk.Product);
    if (disk.Firmware.empty()) disk.Firmware = disk.Revision;
}

// The controller of a namespace: its device, or under native multipath the
// first controller of the subsystem the namespace head belongs to.
std::string NvmeController(const fs::path& device)
{
    const std::string name = fs::path(Canonical(device)).filename().string();
    if (!StartsWith(name, "nvme-subsys")) return name;
    std::vector<std::string> controllers;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(device, error)) {
        const std::string child = entry.path().filename().string();
        if (StartsWith(child, "nvme") && AllDigits(child, 4)) controllers.push_back(child);
    }
    std::sort(controllers.begin(), controllers.end(), NaturalLess);
    return controllers.empty() ? std::string() : controllers.front();
}

void FillNvme(const fs::path& block, DiskEntry& disk)
{
    const fs::path device = block / "device";
    disk.BusType = BusTypeNvme;
    disk.Vendor = "NVMe";
    disk.Product = files::Text(device / "model");
    disk.Revision = files::Text(device / "firmware_rev");
    disk.Serial = files::Text(device / "serial");
    disk.Model = disk.Product;
    disk.Firmware = disk.Revision;
    disk.CommandQueueing = true;
    disk.Controller = NvmeController(device);
}

void FillVirtio(const fs::path& block, DiskEntry& disk)
{
    disk.BusType = BusTypeScsi;
    disk.Vendor = "VirtIO";
    disk.Product = "Block Device";
    disk.Serial = files::Text(block / "serial");
    disk.Model = "VirtIO Block Device";
}

void FillMmc(const fs::path& block, DiskEntry& disk)
{
    const fs::path device = block / "device";
    disk.BusType = files::Text(device / "type") == "SD" ? BusTypeSd : BusTypeMmc;
    disk.Vendor = files::Text(device / "manfid");
    disk.Product = files::Text(device / "name");
    disk.Revision = files::Text(device / "fwrev");
    disk.Serial = files::Text(device / "serial");
    disk.Model = disk.Product;
    disk.Firmware = disk.Revision;
}

std::vector<PartitionEntry> Partitions(const fs::path& block, const std::string& diskName)
{
    std::vector<PartitionEntry> partitions;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(block, error)) {
        const std::string name = entry.path().filename().string();
        if (!StartsWith(name, diskName)) continue;
        const auto number = files::Number(entry.path() / "partition");
        if (!number) continue;
        PartitionEntry partition;
        partition.Name = name;
        partition.Number = static_cast<std::uint32_t>(*number);
        partition.StartSector = files::Number(entry.path() / "start").value_or(0);
        partition.Sectors = files::Number(entry.path() / "size").value_or(0);
        partition.DeviceNumbers = files::Text(entry.path() / "dev");
        partitions.push_back(std::move(partition));
    }
    std::sort(partitions.begin(), partitions.end(),
              [](const PartitionEntry& a, const PartitionEntry& b) { return a.Number < b.Number; });
    return partitions;
}

// A logical block is a power of two from 512 bytes to 64 KiB; anything else
// sysfs might show (0, garbage) is taken as the 512 bytes of an unreadable one,
// as geometry and sizes divide by it.
std::uint32_t BlockSize(std::optional<std::uint64_t> given)
{
    const std::uint64_t size = given.value_or(512);
    return size >= 512 && size <= 65536 && (size & (size - 1)) == 0 ? static_cast<std::uint32_t>(size) : 512;
}

std::string IdText(const std::string& text)
{
    std::string id;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        id += (u <= 0x20 || u >= 0x7F || c == '\\' || c == '#' || c == ',' || c == '&') ? '_'
                                                                                        : static_cast<char>(std::toupper(u));
    }
    return id;
}

std::string InterfacePathOf(const std::string& instanceId)
{
    std::string path = "\\\\?\\";
    for (char c : instanceId) path += c == '\\' ? '#' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return path + "#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";
}

}  // namespace

bool NaturalLess(const std::string& a, const std::string& b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const bool digitA = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
        const bool digitB = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
        std::size_t endA = i;
        std::size_t endB = j;
        while (endA < a.size() && (std::isdigit(static_cast<unsigned char>(a[endA])) != 0) == digitA) ++endA;
        while (endB < b.size() && (std::isdigit(static_cast<unsigned char>(b[endB])) != 0) == digitB) ++endB;
        std::string runA = a.substr(i, endA - i);
        std::string runB = b.substr(j, endB - j);
        if (digitA && digitB) {
            runA.erase(0, std::min(runA.find_first_not_of('0'), runA.size() - 1));
            runB.erase(0, std::min(runB.find_first_not_of('0'), runB.size() - 1));
        }
        if (digitA != digitB) return digitA;
        if (runA.size() != runB.size()) return runA.size() < runB.size();
        if (runA != runB) return runA < runB;
        i = endA;
        j = endB;
    }
    return a.size() - i < b.size() - j;
}

std::string InstanceIdOf(const DiskEntry& disk)
{
    const std::string enumerator = disk.BusType == BusTypeUsb                                ? "USBSTOR"
                                   : disk.BusType == BusTypeSd || disk.BusType == BusTypeMmc ? "SD"
                                                                                             : "SCSI";
    // Without a serial the kernel name stands in; that id holds only while
    // the kernel names the disk the same way.
    const std::string unit = !disk.Serial.empty() ? IdText(disk.Serial) : "LINUX_" + IdText(disk.Name);
    return enumerator + "\\DISK&VEN_" + IdText(disk.Vendor) + "&PROD_" + IdText(disk.Product) + "\\" + unit;
}

std::vector<DiskEntry> ScanDisks(const Roots& roots)
{
    std::vector<DiskEntry> disks;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(roots.Sys / "block", error)) {
        DiskEntry disk;
        disk.Name = entry.path().filename().string();
        if (!KindOf(disk.Name, disk.Kind)) continue;
        const fs::path block = entry.path();
        switch (disk.Kind) {
        case DiskKind::Scsi: FillScsi(block, disk); break;
        case DiskKind::Nvme: FillNvme(block, disk); break;
        case DiskKind::Virtio: FillVirtio(block, disk); break;
        case DiskKind::Mmc: FillMmc(block, disk); break;
        }
        disk.Sectors = files::Number(block / "size").value_or(0);
        disk.LogicalBlockSize = BlockSize(files::Number(block / "queue/logical_block_size"));
        disk.Rotational = files::Number(block / "queue/rotational").value_or(0) != 0;
        disk.Removable = files::Number(block / "removable").value_or(0) != 0;
        disk.DeviceNumbers = files::Text(block / "dev");
        disk.Partitions = Partitions(block, disk.Name);
        disk.DevicePath = Canonical(block);
        disks.push_back(std::move(disk));
    }
    // Kernel names follow the order in which drives finish probing, which can
    // change from boot to boot; where a drive sits (controller, port, target)
    // does not.
    std::sort(disks.begin(), disks.end(), [](const DiskEntry& a, const DiskEntry& b) {
        if (a.Kind != b.Kind) return a.Kind < b.Kind;
        if (a.DevicePath != b.DevicePath) return NaturalLess(a.DevicePath, b.DevicePath);
        return NaturalLess(a.Name, b.Name);
    });
    for (std::uint32_t i = 0; i < disks.size(); ++i) {
        disks[i].Number = i;
        disks[i].InstanceId = InstanceIdOf(disks[i]);
        disks[i].InterfacePath = InterfacePathOf(disks[i].InstanceId);
    }
    return disks;
}

}  // namespace live
