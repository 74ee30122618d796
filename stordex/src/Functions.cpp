// The library's exported functions: find the drives, ask them, decode.
#include "stordex/Functions.h"

#include "Custody.h"
#include "CustomizedHealthInfo.h"
#include "DriveQueries.h"
#include "HealthInfo.h"
#include "IdentifyControllerData.h"

namespace {

using namespace talvex::stordex;
namespace nvme = talvex::stordex::nvme;

constexpr std::uint32_t kDriveNumbers = 32;
constexpr DWORD kIdentifyControllerCns = 1;
constexpr DWORD kNoNamespace = 0;
constexpr DWORD kFromLogStart = 0;

std::optional<std::vector<std::uint8_t>> ReadNvmeData(std::uint32_t drive, const NvmeDataRequest& request)
{
    // Protocol-specific queries need a handle opened for reading.
    const DriveHandle handle(drive, GENERIC_READ);
    if (!handle.IsOpen()) return std::nullopt;
    return QueryNvmeData(handle, request);
}

std::optional<std::vector<std::uint8_t>> ReadLogPage(std::uint32_t drive, std::uint8_t logId, std::size_t size)
{
    return ReadNvmeData(drive, {StorageDeviceProtocolSpecificProperty, NVMeDataTypeLogPage, logId, kFromLogStart,
                                static_cast<DWORD>(size)});
}

}  // namespace

std::uint32_t SXGetPhysicalDrives()
{
    std::uint32_t drives = 0;
    for (std::uint32_t number = 0; number < kDriveNumbers; ++number) {
        // No access asked for: a drive that opens at all exists.
        if (DriveHandle(number, 0).IsOpen()) drives |= 1U << number;
    }
    return drives;
}

StorageBusType SXQueryStorageBusType(std::uint32_t drive)
{
    const DriveHandle handle(drive, 0);
    if (!handle.IsOpen()) return StorageBusType::Unknown;
    return static_cast<StorageBusType>(QueryBusType(handle).value_or(BusTypeUnknown));
}

nvme::IIdentifyControllerData* SXNvmNewIdentifyControllerData(std::uint32_t drive)
{
    const auto page = ReadNvmeData(drive, {StorageAdapterProtocolSpecificProperty, NVMeDataTypeIdentify,
                                           kIdentifyControllerCns, kNoNamespace, nvme::kIdentifyControllerSize});
    if (!page) return nullptr;
    Custody& custody = LibraryCustody();
    return custody.HandOut(nvme::DecodeIdentifyController(*page, custody));
}

nvme::IHealthInfo* SXNvmNewHealthInfo(std::uint32_t drive)
{
    const auto page = ReadLogPage(drive, nvme::kHealthLogId, nvme::kHealthLogSize);
    if (!page) return nullptr;
    Custody& custody = LibraryCustody();
    return custody.HandOut(nvme::DecodeHealthLog(*page, custody));
}

nvme::ICustomizedHealthInfo* SXNvmNewCustomizedHealthInfo(std::uint32_t drive)
{
    const auto page = ReadLogPage(drive, nvme::kCustomizedHealthLogId, nvme::kCustomizedHealthLogSize);
    if (!page) return nullptr;
    return LibraryCustody().HandOut(nvme::DecodeCustomizedHealthLog(*page));
}

void SXDelete(void* object) noexcept
{
    if (object == nullptr) return;
    ReleaseFromLibraryCustody(object);
}
