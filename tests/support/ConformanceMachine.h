// The machine a conformance test talks to. In the Windows build the real one
// answers and this does nothing; in the Linux build it puts the built-in
// simulated machine (disks, volumes, WMI) in scope for the test's thread.
#pragma once

#include <gtest/gtest.h>

#include <string>

#ifndef _WIN32
#include "platform/Machine.h"
#include "sim/DescriptionLoader.h"
#include "sim/SimMachine.h"
#endif

class ConformanceMachine {
#ifndef _WIN32
public:
    ConformanceMachine() : m_machine(sim::DefaultDescription()) {}

    // What the test acquired and has not released, "" when nothing.
    std::string OpenResources() const { return m_machine.Ledger().OpenReport(); }

private:
    sim::SimMachine m_machine;
    platform::MachineScope m_scope{m_machine};
#endif
};

// A conformance case that must release every string, array, handle and COM
// reference it acquires: the simulated machine counts them, the real one cannot.
class ConformanceTest : public ::testing::Test {
protected:
    void TearDown() override
    {
#ifndef _WIN32
        EXPECT_EQ(machine.OpenResources(), "") << "resources left open by the test";
#endif
    }
    ConformanceMachine machine;
};
