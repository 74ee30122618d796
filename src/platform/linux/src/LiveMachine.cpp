#include "live/LiveMachine.h"

#include <algorithm>
#include <array>
#include <thread>

#include "DiskCatalog.h"
#include "DriveLetters.h"
#include "LiveDisk.h"
#include "LiveVolume.h"
#include "PerfCounters.h"
#include "SysfsFiles.h"
#include "WmiRows.h"
#include "platform/CaselessNames.h"

namespace live {

namespace {

// {53F56307-B6BF-11D0-94F2-00A0C91EFB8B}, the disk device interface class.
constexpr GUID kDiskInterfaceClass{0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};

const std::array<std::wstring_view, 6> kNamespaces = {
    L"root\\WMI", L"root\\cimv2", L"root\\StandardCimv2", L"root\\cimv2\\Security\\MicrosoftVolumeEncryption",
    L"root\\microsoft\\windows\\storage", L"root\\cimv2\\power"};

constexpr unsigned kCapSysRawio = 17;
constexpr unsigned kCapSysAdmin = 21;

// The N of "PhysicalDriveN": decimal digits without leading zeros.
bool DriveNumber(std::wstring_view digits, std::size_t& number)
{
    if (digits.empty() || digits.size() > 9 || (digits.size() > 1 && digits[0] == L'0')) return false;
    number = 0;
    for (wchar_t c : digits) {
        if (c < L'0' || c > L'9') return false;
        number = number * 10 + static_cast<std::size_t>(c - L'0');
    }
    return true;
}

// The effective capability set from procfs's self/status.
std::uint64_t EffectiveCapabilities(const std::filesystem::path& procRoot)
{
    const std::string status = files::Read(procRoot / "self" / "status").value_or("");
    const auto at = status.find("CapEff:");
    if (at == std::string::npos) return 0;
    return std::stoull(status.substr(at + 7, status.find('\n', at) - at - 7), nullptr, 16);
}

}  // namespace

LiveMachine::LiveMachine(Roots roots, LiveOptions options, std::shared_ptr<Kernel> kernel)
    : m_roots(std::move(roots)), m_options(options), m_kernel(std::move(kernel)), m_disks(ScanDisks(m_roots))
{
    m_letters = AssignLetters(m_disks, files::Read(m_roots.Proc / "self" / "mountinfo").value_or(""));
}

LiveMachine::~LiveMachine() = default;

std::shared_ptr<platform::Device> LiveMachine::OpenDisk(std::size_t index, DWORD& error) const
{
    const DiskEntry& disk = m_disks[index];
    const int result = m_kernel->OpenReadOnly((m_roots.Dev / disk.Name).string());
    if (result == -ENOENT || result == -ENXIO || result == -ENODEV) {
        error = ERROR_FILE_NOT_FOUND;
        return nullptr;
    }
    // Without the right to read the device the disk still answers from sysfs;
    // whatever needs the device itself then meets the error the open met.
    const DWORD openError = result >= 0 ? ERROR_SUCCESS : (result == -EACCES || result == -EPERM) ? ERROR_ACCESS_DENIED
                                                                                                  : ERROR_GEN_FAILURE;
    if (result < 0 && openError != ERROR_ACCESS_DENIED) {
        error = openError;
        return nullptr;
    }
    return std::make_shared<LiveDisk>(disk, m_roots, m_kernel, result, openError);
}

std::shared_ptr<platform::Device> LiveMachine::OpenVolume(wchar_t letter, DWORD& error) const
{
    for (const LetteredPartition& lettered : m_letters) {
        if (platform::FoldUpper(letter) != lettered.Letter) continue;
        auto disk = std::dynamic_pointer_cast<LiveDisk>(OpenDisk(lettered.Disk, error));
        if (!disk) return nullptr;
        const DiskEntry& entry = m_disks[lettered.Disk];
        return std::make_shared<LiveVolume>(std::move(disk), entry, entry.Partitions[lettered.Partition], m_roots);
    }
    error = ERROR_FILE_NOT_FOUND;
    return nullptr;
}

platform::OpenResult LiveMachine::OpenDevice(std::wstring_view path, DWORD)
{
    // Any access may be asked for; the device is opened read-only whatever it is.
    DWORD error = ERROR_FILE_NOT_FOUND;
    for (std::size_t i = 0; i < m_disks.size(); ++i) {
        if (platform::SameCaseless(path, wmi::Wide(m_disks[i].InterfacePath))) {
            auto device = OpenDisk(i, error);
            return {device, device ? DWORD{ERROR_SUCCESS} : error};
        }
    }
    if (!platform::StartsCaseless(path, L"\\\\.\\") && !platform::StartsCaseless(path, L"\\\\?\\")) return {nullptr, ERROR_FILE_NOT_FOUND};
    const std::wstring_view name = path.substr(4);
    std::shared_ptr<platform::Device> device;
    std::size_t number = 0;
    constexpr std::wstring_view kDrive = L"PhysicalDrive";
    if (name.size() == 2 && name[1] == L':') {
        device = OpenVolume(name[0], error);
    } else if (platform::StartsCaseless(name, kDrive) && DriveNumber(name.substr(kDrive.size()), number) && number < m_disks.size()) {
        device = OpenDisk(number, error);
    }
    return {device, device ? DWORD{ERROR_SUCCESS} : error};
}

std::vector<platform::DeviceInterfaceRecord> LiveMachine::DeviceInterfaces(const GUID& interfaceClass)
{
    std::vector<platform::DeviceInterfaceRecord> records;
    if (!(interfaceClass == kDiskInterfaceClass)) return records;
    for (const DiskEntry& disk : m_disks) records.push_back({wmi::Wide(disk.InterfacePath), wmi::Wide(disk.InstanceId)});
    return records;
}

std::wstring LiveMachine::LogicalDriveStrings()
{
    std::wstring strings;
    for (const LetteredPartition& lettered : m_letters) {
        strings += lettered.Letter;
        strings += L":\\";
        strings += L'\0';
    }
    return strings;
}

HRESULT LiveMachine::WmiConnect(std::wstring_view nameSpace) const
{
    for (std::wstring_view known : kNamespaces)
        if (platform::WmiNamesEqual(known, nameSpace)) return S_OK;
    return WBEM_E_INVALID_NAMESPACE;
}

platform::WmiClassAnswer LiveMachine::WmiInstances(std::wstring_view nameSpace, std::wstring_view className) const
{
    platform::WmiClassAnswer answer;
    const auto is = [&](std::wstring_view space, std::wstring_view name) {
        return platform::WmiNamesEqual(nameSpace, space) && platform::WmiNamesEqual(className, name);
    };
    if (is(L"root\\cimv2", L"Win32_DiskDrive")) {
        answer.instances = wmi::Win32DiskDrive(m_disks);
    } else if (is(L"root\\microsoft\\windows\\storage", L"MSFT_PhysicalDisk")) {
        answer.instances = wmi::MsftPhysicalDisk(m_disks);
    } else if (is(L"root\\cimv2", L"Win32_PerfFormattedData_PerfDisk_PhysicalDisk")) {
        const auto start = std::chrono::steady_clock::now();
        const wmi::CounterSample before = wmi::SampleCounters(m_disks, m_roots);
        std::this_thread::sleep_for(m_options.SampleInterval);
        const wmi::CounterSample after = wmi::SampleCounters(m_disks, m_roots);
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        answer.instances = wmi::PerfDiskRows(m_disks, m_letters, before, after, elapsed);
    } else if (is(L"root\\WMI", L"MSStorageDriver_ATAPISmartData")) {
        answer.instances = wmi::AtapiSmartData(m_disks, [this](const DiskEntry& disk) {
            DWORD error = ERROR_SUCCESS;
            return OpenDisk(disk.Number, error);
        });
    } else {
        answer.result = WBEM_E_INVALID_CLASS;
    }
    return answer;
}

std::string LiveMachine::AccessNote() const
{
    const std::uint64_t capabilities = EffectiveCapabilities(m_roots.Proc);
    const bool rawio = (capabilities >> kCapSysRawio & 1) != 0;
    const bool admin = (capabilities >> kCapSysAdmin & 1) != 0;
    bool unreadable = false;
    for (const DiskEntry& disk : m_disks) {
        const int result = m_kernel->OpenReadOnly((m_roots.Dev / disk.Name).string());
        if (result >= 0)
            m_kernel->Close(result);
        else
            unreadable = true;
    }
    std::string note;
    if (unreadable)
        note += "the disk devices cannot be opened for reading, so partition tables (partitions, their GUIDs, "
                "drive letters) are missing; ";
    if (!rawio)
        note += "SMART data and the drives' own models and piece-part ids need SCSI/ATA pass-through (SG_IO), "
                "which needs CAP_SYS_RAWIO; ";
    if (!admin) note += "NVMe identify and health data need NVMe admin commands, which need CAP_SYS_ADMIN; ";
    if (note.empty()) return note;
    note.erase(note.size() - 2);
    return "not running as root: " + note + ". Sizes, models, serials and counters come from sysfs.";
}

}  // namespace live
