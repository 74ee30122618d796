// Any bytes as the drive layout a disk driver returns: the walk sizes its
// buffer from the reported partition count, then reads every entry. The
// driver is taken to keep its own rule, refusing a buffer too small for the
// count it reports, and to report at most 128 partitions (GPT's usual table).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "Common/PhysicalDiskInfoFetcher.h"
#include "failure_reporting/ResultException.h"
#include "platform/Machine.h"
#include "sim/DescriptionLoader.h"
#include "sim/SimMachine.h"

namespace {

using Talvex::Quorlin::Cpp::Common::DiskPartitionEntry;
using Talvex::Quorlin::Cpp::Common::PhysicalDiskInfoFetcher;

constexpr std::size_t kHeadBytes = offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry);
constexpr DWORD kMostPartitions = 128;

class ReplayingFetcher final : public PhysicalDiskInfoFetcher {
public:
    explicit ReplayingFetcher(std::span<const std::uint8_t> reply) : m_reply(reply) {}

    BOOL SendIoControl(HANDLE, DWORD, void*, DWORD, void* out, DWORD outSize, DWORD* returned,
                       OVERLAPPED*) override
    {
        const DWORD needed = static_cast<DWORD>(kHeadBytes + sizeof(PARTITION_INFORMATION_EX) * Count());
        if (outSize < needed) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        // A reply shorter than the bytes it claims reads as zeros past its end,
        // so the walk sees the same count that was checked against the cap.
        std::memset(out, 0, outSize);
        std::memcpy(out, m_reply.data(), std::min<std::size_t>(m_reply.size(), outSize));
        *returned = needed;
        return TRUE;
    }

    DWORD Count() const noexcept
    {
        DWORD count = 0;
        const std::size_t at = offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionCount);
        if (m_reply.size() > at)
            std::memcpy(&count, m_reply.data() + at, std::min(m_reply.size() - at, sizeof(count)));
        return count;
    }

private:
    std::span<const std::uint8_t> m_reply;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static sim::SimMachine machine(sim::DefaultDescription());
    platform::MachineScope scope(machine);
    ReplayingFetcher fetcher(std::span(data, size));
    if (fetcher.Count() > kMostPartitions) return 0;
    std::vector<DiskPartitionEntry> partitions;
    std::wstring diskGuid;
    try {
        fetcher.GetDiskLayout(0, partitions, diskGuid);
    } catch (const Talvex::Quorlin::Cpp::Common::ResultException&) {
    }
    if (machine.Ledger().OpenTotal() != 0) __builtin_trap();
    return 0;
}
