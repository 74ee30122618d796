// The checks across sections of a description: what each section's reader
// cannot see by itself. They run on every description a machine takes, read
// from JSON or made in code, and name the description's path of the fault.
#include <map>
#include <string>

#include "sim/DescriptionLoader.h"

namespace sim {

namespace {

std::string Path(const char* section, std::size_t index, const char* key)
{
    return std::string("$.") + section + "[" + std::to_string(index) + "]." + key;
}

std::wstring Folded(const std::wstring& text)
{
    std::wstring folded = text;
    for (wchar_t& c : folded)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return folded;
}

}  // namespace

void CheckDescription(const MachineDescription& description)
{
    std::map<std::uint32_t, std::size_t> disks;
    for (std::size_t i = 0; i < description.disks.size(); ++i) {
        const DiskDescription& disk = description.disks[i];
        const auto [taken, fresh] = disks.emplace(disk.number, i);
        if (!fresh)
            throw DescriptionError(Path("disks", i, "number"),
                                   "expected a disk number not used before (" + std::to_string(disk.number) +
                                       " is taken by $.disks[" + std::to_string(taken->second) + "])");
    }
    std::map<wchar_t, std::size_t> letters;
    for (std::size_t i = 0; i < description.volumes.size(); ++i) {
        const VolumeModel& volume = description.volumes[i];
        const wchar_t letter = Folded(std::wstring(1, volume.letter))[0];
        if (letter < L'A' || letter > L'Z') throw DescriptionError(Path("volumes", i, "letter"), "expected a drive letter from A to Z");
        const auto [taken, fresh] = letters.emplace(letter, i);
        if (!fresh)
            throw DescriptionError(Path("volumes", i, "letter"),
                                   std::string("expected a letter not used before (") + static_cast<char>(letter) +
                                       " is taken by $.volumes[" + std::to_string(taken->second) + "])");
        if (!volume.disk) continue;
        const DiskDescription* disk = description.FindDisk(*volume.disk);
        if (disk == nullptr)
            throw DescriptionError(Path("volumes", i, "disk"),
                                   "expected the number of a disk of the machine (there is no disk " +
                                       std::to_string(*volume.disk) + "), or null for a network share");
        std::string numbers;
        bool found = false;
        for (const PartitionModel& partition : disk->hardware.layout.partitions) {
            found = found || partition.number == volume.partitionNumber;
            numbers += (numbers.empty() ? "" : ", ") + std::to_string(partition.number);
        }
        if (!found)
            throw DescriptionError(Path("volumes", i, "partition"),
                                   "expected the number of a partition of disk " + std::to_string(*volume.disk) +
                                       (numbers.empty() ? " (it has none)" : " (it has " + numbers + ")"));
    }
}

}  // namespace sim
