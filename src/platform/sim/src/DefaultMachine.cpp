// The machine the simulator is when no description is given: a workstation
// with a SATA SSD holding the system (EFI, reserved and C:), a SATA hard disk
// with two data volumes (D:, E:), an NVMe drive with our vendor area and
// customized health log (F:) and two media errors, an ageing SATA hard disk
// (H:) with reallocated and pending sectors and its spin retry count at its
// threshold, a USB stick (G:) whose bridge refuses ATA pass-through, and a
// network share (Z:). Every WMI class is derived from this hardware; between
// them the disks show every health verdict storcoll gives. The description itself is default-machine.json,
// built into the library as text (DefaultDescriptionJson, generated).
#include "sim/DescriptionLoader.h"

namespace sim {

MachineDescription DefaultDescription() { return ParseDescription(DefaultDescriptionJson()); }

}  // namespace sim
