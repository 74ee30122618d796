// A simulated machine in scope for one test. The test fails if it leaves a
// COM reference, string, array, handle or any other counted resource open.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/Machine.h"
#include "sim/DescriptionLoader.h"
#include "sim/SimMachine.h"

class SimMachineFixture : public ::testing::Test {
protected:
    void TearDown() override
    {
        EXPECT_EQ(machine.Ledger().OpenReport(), "") << "resources left open by the test";
    }

    // Makes the machine what the description says.
    void Describe(std::string_view json) { machine.Load(sim::ParseDescription(json)); }
    // ... as the description file at `path` says.
    void DescribeFile(const std::string& path) { machine.Load(sim::LoadDescriptionFile(path)); }

    sim::SimMachine machine;
    platform::MachineScope scope{machine};
};
