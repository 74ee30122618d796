#include "sim/DiskSet.h"

#include <algorithm>

#include "platform/CaselessNames.h"

namespace sim {

namespace {

// The N of "PhysicalDriveN": decimal digits, without leading zeros.
bool ParseDriveNumber(std::wstring_view digits, std::uint32_t& number)
{
    if (digits.empty() || digits.size() > 10 || (digits.size() > 1 && digits[0] == L'0')) return false;
    std::uint64_t value = 0;
    for (wchar_t c : digits) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + static_cast<std::uint64_t>(c - L'0');
    }
    if (value > 0xFFFFFFFFu) return false;
    number = static_cast<std::uint32_t>(value);
    return true;
}

}  // namespace

std::size_t DiskSet::FoldedHash::operator()(std::wstring_view path) const noexcept
{
    std::size_t hash = 14695981039346656037ull;
    for (wchar_t c : path) hash = (hash ^ static_cast<std::size_t>(platform::FoldUpper(c))) * 1099511628211ull;
    return hash;
}

bool DiskSet::FoldedEqual::operator()(std::wstring_view a, std::wstring_view b) const noexcept
{
    return platform::SameCaseless(a, b);
}

std::shared_ptr<DiskDevice> DiskSet::AddDisk(DiskModel disk)
{
    auto device = std::make_shared<DiskDevice>(std::move(disk));
    const DiskModel& model = device->Model();
    if (!model.interfacePath.empty()) {
        m_interfaces.push_back({{model.interfacePath, model.instanceId}, device});
        m_interfaceByPath.emplace(model.interfacePath, device);
    }
    m_diskByNumber.emplace(model.number, device);
    m_disks.push_back(device);
    for (const auto& volume : m_volumes)
        if (volume->Model().disk == model.number && Disk(model.number) == device) volume->Attach(device);
    return device;
}

void DiskSet::AddDevice(std::uint32_t number, platform::DeviceInterfaceRecord record,
                        std::shared_ptr<platform::Device> device)
{
    if (!record.path.empty()) {
        m_interfaceByPath.emplace(record.path, device);
        m_interfaces.push_back({std::move(record), device});
    }
    m_otherDisks.push_back({number, std::move(device)});
}

void DiskSet::AddInterface(platform::DeviceInterfaceRecord record)
{
    m_interfaceByPath.emplace(record.path, nullptr);
    m_interfaces.push_back({std::move(record), nullptr});
}

std::shared_ptr<VolumeDevice> DiskSet::AddVolume(VolumeModel volume)
{
    auto device = std::make_shared<VolumeDevice>(std::move(volume));
    if (const auto& disk = device->Model().disk) device->Attach(Disk(*disk));
    m_volumes.push_back(device);
    return device;
}

std::shared_ptr<DiskDevice> DiskSet::Disk(std::uint32_t number) const
{
    const auto found = m_diskByNumber.find(number);
    return found == m_diskByNumber.end() ? nullptr : found->second;
}

std::shared_ptr<VolumeDevice> DiskSet::Volume(wchar_t letter) const
{
    for (const auto& volume : m_volumes)
        if (platform::FoldUpper(volume->Model().letter) == platform::FoldUpper(letter)) return volume;
    return nullptr;
}

std::shared_ptr<platform::Device> DiskSet::AnyDisk(std::uint32_t number) const
{
    if (auto disk = Disk(number)) return disk;
    for (const auto& other : m_otherDisks)
        if (other.number == number) return other.device;
    return nullptr;
}

std::shared_ptr<platform::Device> DiskSet::Find(std::wstring_view path) const
{
    // Null for an interface without a device.
    if (const auto found = m_interfaceByPath.find(path); found != m_interfaceByPath.end()) return found->second;
    if (!platform::StartsCaseless(path, L"\\\\.\\") && !platform::StartsCaseless(path, L"\\\\?\\")) return nullptr;
    const std::wstring_view name = path.substr(4);
    if (name.size() == 2 && name[1] == L':') return Volume(name[0]);
    constexpr std::wstring_view kDrive = L"PhysicalDrive";
    std::uint32_t number = 0;
    if (platform::StartsCaseless(name, kDrive) && ParseDriveNumber(name.substr(kDrive.size()), number)) return AnyDisk(number);
    return nullptr;
}

platform::OpenResult DiskSet::OpenDevice(std::wstring_view path, DWORD access) const
{
    auto device = Find(path);
    if (!device) return {nullptr, ERROR_FILE_NOT_FOUND};
    if (const auto* model = dynamic_cast<const ModelDevice*>(device.get())) {
        if (const DWORD error = model->OpenError(access); error != ERROR_SUCCESS) return {nullptr, error};
    }
    return {std::move(device), ERROR_SUCCESS};
}

std::vector<platform::DeviceInterfaceRecord> DiskSet::DeviceInterfaces(const GUID& interfaceClass) const
{
    std::vector<platform::DeviceInterfaceRecord> records;
    if (!(interfaceClass == kDiskInterfaceClass)) return records;
    for (const auto& entry : m_interfaces) records.push_back(entry.record);
    return records;
}

std::wstring DiskSet::LogicalDriveStrings() const
{
    std::vector<wchar_t> letters;
    for (const auto& volume : m_volumes) letters.push_back(platform::FoldUpper(volume->Model().letter));
    std::sort(letters.begin(), letters.end());
    std::wstring strings;
    for (wchar_t letter : letters) {
        strings += letter;
        strings += L":\\";
        strings += L'\0';
    }
    return strings;
}

}  // namespace sim
