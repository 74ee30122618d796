// Reads a machine description (JSON) into a MachineDescription. A malformed
// description is refused as a whole with a DescriptionError that names the
// JSON path of the fault and what was expected there.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "sim/MachineDescription.h"

namespace sim {

class DescriptionError : public std::runtime_error {
public:
    // what(): "<path>: <problem>", e.g. "$.disks[1].modle: unknown key".
    DescriptionError(std::string path, const std::string& problem);
    const std::string& Path() const noexcept { return m_path; }

private:
    std::string m_path;
};

MachineDescription ParseDescription(std::string_view json);
// Refuses a description whose sections do not fit together: a volume on a
// disk or partition the machine lacks, a letter or disk number used twice.
// ParseDescription and SimMachine::Load run it.
void CheckDescription(const MachineDescription& description);
// As ParseDescription; a file that cannot be read is refused at path "$".
MachineDescription LoadDescriptionFile(const std::filesystem::path& file);

// Every problem of a description, each with its JSON path, rather than the
// first: the readers go on past a refused value. The cross-section checks run
// only on a description whose sections read well. Empty for a good one.
std::vector<DescriptionError> DescriptionProblems(std::string_view json);
std::vector<DescriptionError> DescriptionFileProblems(const std::filesystem::path& file);

// The description built into the simulator, used when no description file
// is given: a SATA SSD, two SATA hard disks, an NVMe drive and a USB stick
// with their volumes, and a network share.
std::string_view DefaultDescriptionJson() noexcept;
MachineDescription DefaultDescription();

}  // namespace sim
