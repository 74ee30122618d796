// The machine a conformance test talks to. In the Windows build the real one
// answers and this does nothing; in the Linux build it puts the built-in
// simulated machine (disks, volumes, WMI) in scope for the test's thread.
#pragma once

#ifndef _WIN32
#include "platform/Machine.h"
#include "sim/DescriptionLoader.h"
#include "sim/SimMachine.h"
#endif

class ConformanceMachine {
#ifndef _WIN32
public:
    ConformanceMachine() : m_machine(sim::DefaultDescription()) {}

private:
    sim::SimMachine m_machine;
    platform::MachineScope m_scope{m_machine};
#endif
};
