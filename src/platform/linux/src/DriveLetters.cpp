#include "DriveLetters.h"

#include <algorithm>
#include <sstream>

namespace live {

namespace {

// Mount points escape blanks and backslashes as \ooo.
std::string Unescape(const std::string& text)
{
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size()) {
            const std::string digits = text.substr(i + 1, 3);
            if (digits.size() == 3 && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; })) {
                plain += static_cast<char>(std::stoi(digits, nullptr, 8));
                i += 3;
                continue;
            }
        }
        plain += text[i];
    }
    return plain;
}

struct Mount {
    std::string point;
    std::size_t disk;
    std::size_t partition;
};

}  // namespace

std::vector<LetteredPartition> AssignLetters(const std::vector<DiskEntry>& disks, const std::string& mountinfo)
{
    std::vector<Mount> mounts;
    std::istringstream lines(mountinfo);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string id, parent, numbers, root, point;
        if (!(fields >> id >> parent >> numbers >> root >> point)) continue;
        for (std::size_t d = 0; d < disks.size(); ++d)
            for (std::size_t p = 0; p < disks[d].Partitions.size(); ++p)
                if (disks[d].Partitions[p].DeviceNumbers == numbers) mounts.push_back({Unescape(point), d, p});
    }
    std::stable_sort(mounts.begin(), mounts.end(), [](const Mount& a, const Mount& b) {
        if ((a.point == "/") != (b.point == "/")) return a.point == "/";
        return a.point < b.point;
    });
    std::vector<LetteredPartition> letters;
    wchar_t next = L'C';
    for (const Mount& mount : mounts) {
        const bool seen = std::any_of(letters.begin(), letters.end(), [&](const LetteredPartition& l) {
            return l.Disk == mount.disk && l.Partition == mount.partition;
        });
        if (seen) continue;
        if (next > L'Z') break;
        letters.push_back({next++, mount.disk, mount.partition});
    }
    return letters;
}

}  // namespace live
