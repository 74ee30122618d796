// A health verdict per disk, drawn from what the collection methods returned:
// the SMART attributes of ATA disks and the health log of NVMe drives. The
// rules are one table in Health.cpp (documented in docs/health.md); nothing
// here reads a device.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Collection.h"

namespace Talvex::Quorlin::Datatypes {
class SmartDynamicInfo;
class SmartNvmeInfo;
}  // namespace Talvex::Quorlin::Datatypes

namespace Storcoll {

// Ordered from best to worst, so that the worse of two is the larger. None:
// the disk's health data could not be read, and DiskHealth::Unavailable says why.
enum class Verdict {
    Good,
    Caution,
    Bad,
    None,
};

// "good", "caution", "bad", "none"
std::string_view VerdictName(Verdict verdict);

struct HealthReason {
    Storcoll::Verdict Severity;  // Caution or Bad
    std::string Text;            // "Reallocated sectors (5): raw value 8"
};

struct DiskHealth {
    std::string ItemId;
    std::string Model;   // from the disk's static info when it was collected, else ""
    std::string Source;  // "ATA SMART", "NVMe health log", or "" when there is none
    Storcoll::Verdict Verdict = Storcoll::Verdict::None;
    std::vector<HealthReason> Reasons;  // every rule that fired, worst first
    std::string Unavailable;            // why there is no verdict; "" when there is one
};

// One disk's verdict from its SMART attributes or its NVMe health log.
DiskHealth AssessSmart(const std::string& itemId, const Talvex::Quorlin::Datatypes::SmartDynamicInfo& smart);
DiskHealth AssessNvme(const std::string& itemId, const Talvex::Quorlin::Datatypes::SmartNvmeInfo& nvme);

// Every disk that any collected method reported (in the order they were first
// reported, the disk list first), each with its verdict. Uses the items of
// CollectSmartDynamicInfo, CollectSmartNvmeInfo and, for the disk list and the
// models, CollectPhysicalDiskStaticInfo and CollectSmartStaticInfo; a disk
// whose health methods were not run, failed or returned nothing for it gets
// Verdict::None with the reason. Nothing when neither health method was run.
std::vector<DiskHealth> AssessHealth(std::span<const MethodOutcome> outcomes);

}  // namespace Storcoll
