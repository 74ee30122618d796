// The machine the simulator is when no description is given: a workstation
// with an NVMe system disk and a SATA data disk.
#include "sim/DescriptionLoader.h"

namespace sim {

std::string_view DefaultDescriptionJson() noexcept
{
    return R"json({
  "codePage": 1252,
  "debuggerAttached": false,
  "disks": [
    {
      "number": 0,
      "model": "Quorlin QN700 NVMe 512GB",
      "serial": "0025_38B4_71C0_2A5E.",
      "firmware": "4B2QGXA7",
      "pnpDeviceId": "SCSI\\DISK&VEN_NVME&PROD_QUORLIN_QN700_NV\\5&2B8C4D1E&0&000000",
      "interfaceType": "SCSI",
      "sizeBytes": 512110190592
    },
    {
      "number": 1,
      "model": "Kestrel KD2000 SATA",
      "serial": "WKD2A0C31F",
      "firmware": "CC43",
      "pnpDeviceId": "SCSI\\DISK&VEN_&PROD_KESTREL_KD2000\\4&1A2B3C4D&0&010000",
      "interfaceType": "IDE",
      "sizeBytes": 2000398934016
    }
  ]
})json";
}

MachineDescription DefaultDescription() { return ParseDescription(DefaultDescriptionJson()); }

}  // namespace sim
