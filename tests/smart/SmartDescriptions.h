// Machine descriptions for the SMART tests: SATA disks with SMART attributes,
// and the data sector a drive would send, for WMI rows that differ from what
// the drive answers. The fixture fails a test that leaves a
// handle, COM reference, string or array open.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "SimMachineFixture.h"
#include "sim/AtaData.h"

namespace smart_test {

using json = nlohmann::json;
using Bytes = std::vector<std::uint8_t>;

inline std::string PnpId(std::uint32_t n)
{
    return "SCSI\\DISK&VEN_ATA&PROD_TEST\\5&1A2B3C&0&00000" + std::to_string(n);
}

// A SATA hard disk at 7200 rpm whose drive reports these SMART attributes and thresholds.
inline json SataDisk(std::uint32_t n, const std::string& model, json attributes = json::array(),
                     json thresholds = json::array())
{
    return {{"number", n},
            {"model", model},
            {"pnpDeviceId", PnpId(n)},
            {"sizeBytes", 1000204886016ull},
            {"interfaceType", "IDE"},
            {"ata", {{"rotationRate", 7200}, {"smart", {{"attributes", attributes}, {"thresholds", thresholds}}}}}};
}

inline json Attr(int id, int current, int worst, std::uint64_t raw)
{
    return {{"id", id}, {"current", current}, {"worst", worst}, {"raw", raw}};
}
inline json Thr(int id, int threshold)
{
    return {{"id", id}, {"threshold", threshold}};
}

inline json Fault(const char* ioctl, const char* kind, int command, json more = json::object())
{
    json fault = {{"ioctl", ioctl}, {"kind", kind}, {"command", command}};
    fault.update(more);
    return fault;
}

// The SMART data sector of a drive with these attributes ({id, flags, current, worst, raw}).
inline Bytes DataSector(std::vector<sim::SmartAttribute> attributes)
{
    sim::AtaDriveModel drive;
    drive.smartAttributes = std::move(attributes);
    return sim::SmartDataSector(drive);
}

inline Bytes ReadFixture(const std::string& name)
{
    std::ifstream file(std::string(SMART_FIXTURES) + "/" + name, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

class SmartTest : public SimMachineFixture {
protected:
    void Machine(const json& disks, const json& wmi = json::object())
    {
        Describe(json{{"disks", disks}, {"wmi", wmi}}.dump());
    }
};

}  // namespace smart_test
