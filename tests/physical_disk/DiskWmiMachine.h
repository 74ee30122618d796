// The physical disk retrievers' machine: disks and volumes from a DiskSet,
// WMI rows from a description's `wmi` section. The description names no disks
// and the rows are all added by the test, so each test states the whole of
// what WMI reports and builds its hardware with the full disk models.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "DiskMachine.h"
#include "kvr/host/RecordingLog.h"
#include "sim/DescriptionLoader.h"

namespace physical_disk_test {

// The WMI classes the retrievers read, as row lists that tests fill. A class
// without rows is still created, so its query answers with no rows; a class
// given a failure answers its query with that HRESULT.
struct WmiRows {
    nlohmann::json diskDrives = nlohmann::json::array();       // root\cimv2 Win32_DiskDrive
    nlohmann::json physicalDisks = nlohmann::json::array();    // storage MSFT_PhysicalDisk
    nlohmann::json counters = nlohmann::json::array();         // root\cimv2 perf counters
    nlohmann::json diskDriveClass = nlohmann::json::object();  // extra keys ("fail", "failAtNext")
    nlohmann::json physicalDiskClass = nlohmann::json::object();
    nlohmann::json counterClass = nlohmann::json::object();

    void DiskDrive(std::uint32_t index, const std::string& model, const std::string& pnpDeviceId)
    {
        diskDrives.push_back({{"add", {{"Index", index}, {"Model", model}, {"PNPDeviceID", pnpDeviceId}}}});
    }
    // MediaType as WMI types it for MSFT_PhysicalDisk, a uint16.
    void PhysicalDisk(const std::string& deviceId, unsigned mediaType)
    {
        physicalDisks.push_back(
            {{"add", {{"DeviceId", deviceId}, {"MediaType", {{"cim", "uint16"}, {"value", mediaType}}}}}});
    }
    // The formatted counters are uint64 properties, which WMI hands out as text;
    // a test that needs another value sets it as {"cim": ..., "value": ...}.
    void Counters(const std::string& name, std::uint64_t idle, std::uint64_t read, std::uint64_t write,
                  std::uint64_t readBytes, std::uint64_t writeBytes)
    {
        auto u64 = [](std::uint64_t value) { return nlohmann::json{{"cim", "uint64"}, {"value", value}}; };
        counters.push_back({{"add",
                             {{"Name", name},
                              {"PercentIdleTime", u64(idle)},
                              {"PercentDiskReadTime", u64(read)},
                              {"PercentDiskWriteTime", u64(write)},
                              {"DiskReadBytesPersec", u64(readBytes)},
                              {"DiskWriteBytesPersec", u64(writeBytes)}}}});
    }

    std::string Description() const
    {
        auto withRows = [](nlohmann::json cls, const nlohmann::json& rows) {
            cls["rows"] = rows;
            return cls;
        };
        nlohmann::json wmi;
        wmi["root\\cimv2"]["classes"]["Win32_DiskDrive"] = withRows(diskDriveClass, diskDrives);
        // With no described disks the counter class still derives its
        // summary row; it is dropped so that the test's rows are all there is.
        nlohmann::json counterRows = nlohmann::json::array({{{"drop", 0}}});
        counterRows.insert(counterRows.end(), counters.begin(), counters.end());
        wmi["root\\cimv2"]["classes"]["Win32_PerfFormattedData_PerfDisk_PhysicalDisk"] =
            withRows(counterClass, counterRows);
        wmi["root\\microsoft\\windows\\storage"]["classes"]["MSFT_PhysicalDisk"] =
            withRows(physicalDiskClass, physicalDisks);
        return nlohmann::json{{"wmi", wmi}}.dump();
    }
};

class PhysicalDiskTest : public hardware_test::DiskTest {
protected:
    // Makes the machine's WMI service answer what `rows` holds.
    void Load(const WmiRows& rows) { machine.Load(sim::ParseDescription(rows.Description())); }

    std::shared_ptr<Kvr::Host::RecordingLog> log = std::make_shared<Kvr::Host::RecordingLog>();
    WmiRows wmi;
};

// The description a native error gives of itself, as the host reads it.
template <class Action>
std::string NativeErrorText(Action&& action)
{
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    ADD_FAILURE() << "no native error";
    return {};
}

}  // namespace physical_disk_test
