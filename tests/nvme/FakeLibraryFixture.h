// Tests over the scripted library: a fresh library per test, a simulated
// machine for the WMI drive list, and a teardown that fails the test when a
// library object was leaked or released without being the caller's.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "FakeStordex.h"
#include "NvmeDataGetter.h"
#include "SimMachineFixture.h"

namespace nvme_test {

class FakeLibraryTest : public SimMachineFixture {
protected:
    void SetUp() override { library.Reset(); }
    void TearDown() override
    {
        EXPECT_EQ(library.Live(), 0) << "library objects never released";
        EXPECT_EQ(library.StrayReleases(), 0) << "releases of objects the caller does not own";
        SimMachineFixture::TearDown();
    }

    // The message of drive `drive`'s Identify object, released afterwards.
    Talvex::Quorlin::Datatypes::NvmeIdentifyControllerData ConvertIdentify(std::uint32_t drive = 0)
    {
        const std::shared_ptr<talvex::stordex::nvme::IIdentifyControllerData> object(
            SXNvmNewIdentifyControllerData(drive), SXDelete);
        auto message = Talvex::Quorlin::Plugins::NvmeDataGetter::toIdentifyControllerData(object.get());
        EXPECT_TRUE(message.has_value());
        return message.value_or(Talvex::Quorlin::Datatypes::NvmeIdentifyControllerData{});
    }

    // Win32_DiskDrive rows, one per drive number and PNP device id, in this order.
    void DescribeDisks(const std::vector<std::pair<std::uint32_t, std::string>>& disks)
    {
        std::string json = R"({"disks": [)";
        for (const auto& [number, pnpDeviceId] : disks) {
            if (json.back() == '}') json += ", ";
            json += R"({"number": )" + std::to_string(number) + R"(, "model": "Model )" + std::to_string(number) +
                    R"(", "pnpDeviceId": ")" + JsonText(pnpDeviceId) + R"(", "sizeBytes": 1000000000})";
        }
        Describe(json + "]}");
    }

    static std::string JsonText(const std::string& text)
    {
        std::string escaped;
        for (const char c : text) {
            if (c == '\\' || c == '"') escaped += '\\';
            escaped += c;
        }
        return escaped;
    }

    stordex_fake::Library& library = stordex_fake::Library::Instance();
};

}  // namespace nvme_test
