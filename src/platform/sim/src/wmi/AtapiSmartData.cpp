// MSStorageDriver_ATAPISmartData (root\WMI): one row per ATA disk whose
// SMART feature set is supported and enabled, in description order, as the
// storage driver publishes it. VendorSpecific is the whole SMART data sector
// the drive answers to SMART READ DATA; the other fields are the bytes of the
// same sector that follow the attribute table. InstanceName is the disk's
// device instance id in WMI's letter case with the instance suffix "_0".
#include "Common.h"
#include "DerivedClasses.h"
#include "sim/AtaData.h"

namespace sim::wmi {

using platform::CimType;

namespace {

std::vector<platform::WmiScalar> Bytes(const std::vector<std::uint8_t>& sector, std::size_t from, std::size_t to)
{
    std::vector<platform::WmiScalar> bytes;
    for (std::size_t i = from; i < to; ++i) bytes.emplace_back(std::uint64_t{sector[i]});
    return bytes;
}

}  // namespace

const std::vector<PropertyType>& AtapiSmartDataProperties()
{
    static const std::vector<PropertyType> properties = {
        {L"Active", CimType::Boolean},
        {L"Checksum", CimType::Uint8},
        {L"ErrorLogCapability", CimType::Uint8},
        {L"ExtendedPollTimeInMinutes", CimType::Uint8},
        {L"InstanceName", CimType::String},
        {L"Length", CimType::Uint32},
        {L"OfflineCollectCapability", CimType::Uint8},
        {L"OfflineCollectionStatus", CimType::Uint8},
        {L"Reserved", CimType::Uint8, true},
        {L"SelfTestStatus", CimType::Uint8},
        {L"ShortPollTimeInMinutes", CimType::Uint8},
        {L"SmartCapability", CimType::Uint16},
        {L"TotalTime", CimType::Uint16},
        {L"VendorSpecific", CimType::Uint8, true},
        {L"VendorSpecific2", CimType::Uint8},
        {L"VendorSpecific3", CimType::Uint8},
        {L"VendorSpecific4", CimType::Uint8, true},
    };
    return properties;
}

std::vector<platform::WmiInstance> AtapiSmartDataRows(const MachineDescription& machine)
{
    std::vector<platform::WmiInstance> rows;
    for (const DiskDescription& disk : machine.disks) {
        const auto& drive = disk.hardware.ata;
        if (!drive || !drive->smartSupported || !drive->smartEnabled) continue;
        // Byte offsets of the SMART data structure after the 30 attribute entries.
        const std::vector<std::uint8_t> s = SmartDataSector(*drive);
        RowBuilder row(AtapiSmartDataProperties());
        row.Flag(L"Active", true)
            .Unsigned(L"Checksum", s[511])
            .Unsigned(L"ErrorLogCapability", s[370])
            .Unsigned(L"ExtendedPollTimeInMinutes", s[373])
            .Text(L"InstanceName", disk.wmiInstanceName)
            .Unsigned(L"Length", s.size())
            .Unsigned(L"OfflineCollectCapability", s[367])
            .Unsigned(L"OfflineCollectionStatus", s[362])
            .Array(L"Reserved", Bytes(s, 374, 385))
            .Unsigned(L"SelfTestStatus", s[363])
            .Unsigned(L"ShortPollTimeInMinutes", s[372])
            .Unsigned(L"SmartCapability", s[368] | s[369] << 8)
            .Unsigned(L"TotalTime", s[364] | s[365] << 8)
            .Array(L"VendorSpecific", Bytes(s, 0, s.size()))
            .Unsigned(L"VendorSpecific2", s[366])
            .Unsigned(L"VendorSpecific3", s[371])
            .Array(L"VendorSpecific4", Bytes(s, 386, 511));
        rows.push_back(row.Take());
    }
    return rows;
}

}  // namespace sim::wmi
