// The physical disk retrievers' machine: disks and volumes from a DiskSet,
// WMI rows from a named section of data/wmi-rows.json. The sections name no
// disks, so each states the whole of what WMI reports (with the counter
// class's derived summary row dropped) and each test builds its hardware
// with the full disk models.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "DiskMachine.h"
#include "kvr/host/RecordingLog.h"
#include "sim/DescriptionLoader.h"

namespace physical_disk_test {

class PhysicalDiskTest : public hardware_test::DiskTest {
protected:
    // Makes the machine's WMI service answer the rows of section `name`, with
    // `patch` merged over them (a class that fails, say).
    void LoadWmi(const std::string& name, const nlohmann::json& patch = nlohmann::json::object())
    {
        nlohmann::json wmi = nlohmann::json::parse(std::ifstream(PHYSICAL_DISK_TEST_DATA "/wmi-rows.json")).at(name);
        wmi.merge_patch(patch);
        machine.Load(sim::ParseDescription(nlohmann::json{{"wmi", wmi}}.dump()));
    }

    std::shared_ptr<Kvr::Host::RecordingLog> log = std::make_shared<Kvr::Host::RecordingLog>();
};

// A patch that makes `cls` of `nameSpace` answer as `failure` says.
inline nlohmann::json Failing(const char* nameSpace, const char* cls, const nlohmann::json& failure)
{
    return {{nameSpace, {{"classes", {{cls, failure}}}}}};
}

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
