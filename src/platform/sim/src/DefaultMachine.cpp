// The machine the simulator is when no description is given: a workstation
// with a SATA SSD holding the system (EFI, reserved and C:), a SATA hard disk
// with two data volumes (D:, E:), an NVMe drive with our vendor area and
// customized health log (F:), and a network share (Z:). Every WMI class is
// derived from this hardware.
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
      "model": "Quorlin QS500 SATA SSD 512GB",
      "serial": "QS5A21C0477K",
      "firmware": "SVT01B6Q",
      "pnpDeviceId": "SCSI\\DISK&VEN_&PROD_QUORLIN_QS500_SA\\4&2A5D4A4C&0&000000",
      "interfaceType": "IDE",
      "sizeBytes": 512110190592,
      "ata": {
        "rotationRate": 1,
        "eppid": "CN0V7R2K7426151A0B1C",
        "smart": {
          "attributes": [
            {"id": 5, "flags": 51, "current": 100, "worst": 100, "raw": 0},
            {"id": 9, "flags": 50, "current": 99, "worst": 99, "raw": 4213},
            {"id": 12, "flags": 50, "current": 99, "worst": 99, "raw": 1187},
            {"id": 177, "flags": 19, "current": 98, "worst": 98, "raw": 31},
            {"id": 179, "flags": 19, "current": 100, "worst": 100, "raw": 0},
            {"id": 181, "flags": 50, "current": 100, "worst": 100, "raw": 0},
            {"id": 182, "flags": 50, "current": 100, "worst": 100, "raw": 0},
            {"id": 183, "flags": 19, "current": 100, "worst": 100, "raw": 0},
            {"id": 187, "flags": 50, "current": 100, "worst": 100, "raw": 0},
            {"id": 190, "flags": 50, "current": 67, "worst": 52, "raw": 33},
            {"id": 194, "flags": 34, "current": 67, "worst": 52, "rawHex": "21 00 12 00 30 00"},
            {"id": 195, "flags": 26, "current": 200, "worst": 200, "raw": 0},
            {"id": 199, "flags": 62, "current": 100, "worst": 100, "raw": 0},
            {"id": 235, "flags": 18, "current": 99, "worst": 99, "raw": 42},
            {"id": 241, "flags": 50, "current": 99, "worst": 99, "raw": 23571902211}
          ],
          "thresholds": [
            {"id": 5, "threshold": 10}, {"id": 9, "threshold": 0}, {"id": 12, "threshold": 0},
            {"id": 177, "threshold": 5}, {"id": 179, "threshold": 10}, {"id": 181, "threshold": 10},
            {"id": 182, "threshold": 10}, {"id": 183, "threshold": 10}, {"id": 187, "threshold": 0},
            {"id": 190, "threshold": 0}, {"id": 194, "threshold": 0}, {"id": 195, "threshold": 0},
            {"id": 199, "threshold": 0}, {"id": 235, "threshold": 0}, {"id": 241, "threshold": 0}
          ]
        }
      },
      "layout": {
        "style": "gpt",
        "diskId": "7C3F0E0A-5B1D-4E8A-9A51-2D0C7B9E4F11",
        "partitions": [
          {"number": 1, "type": "efi", "length": 104857600, "id": "0B6C2F4E-1D3A-4B5C-8E7F-901A2B3C4D5E"},
          {"number": 2, "type": "msr", "length": 16777216, "id": "1C7D3A5F-2E4B-4C6D-9F80-A12B3C4D5E6F"},
          {"number": 3, "type": "basic", "length": 511982264320, "id": "2D8E4B60-3F5C-4D7E-A091-B23C4D5E6F70"}
        ]
      },
      "perf": {"percentIdleTime": 96, "percentDiskReadTime": 2, "percentDiskWriteTime": 1,
               "diskReadBytesPersec": 1572864, "diskWriteBytesPersec": 524288}
    },
    {
      "number": 1,
      "model": "Kestrel KD2000 SATA",
      "serial": "WKD2A0C31F",
      "firmware": "CC43",
      "pnpDeviceId": "SCSI\\DISK&VEN_&PROD_KESTREL_KD2000\\4&1A2B3C4D&0&010000",
      "interfaceType": "IDE",
      "sizeBytes": 2000398934016,
      "ata": {
        "rotationRate": 7200,
        "smart": {
          "attributes": [
            {"id": 1, "flags": 15, "current": 117, "worst": 99, "raw": 150237264},
            {"id": 3, "flags": 3, "current": 97, "worst": 96, "raw": 0},
            {"id": 4, "flags": 50, "current": 100, "worst": 100, "raw": 1204},
            {"id": 5, "flags": 51, "current": 100, "worst": 100, "raw": 0},
            {"id": 7, "flags": 15, "current": 86, "worst": 60, "raw": 431582911},
            {"id": 9, "flags": 50, "current": 83, "worst": 83, "raw": 15371},
            {"id": 10, "flags": 19, "current": 100, "worst": 100, "raw": 0},
            {"id": 12, "flags": 50, "current": 100, "worst": 100, "raw": 1190},
            {"id": 184, "flags": 50, "current": 100, "worst": 100, "raw": 0},
            {"id": 187, "flags": 50, "current": 100, "worst": 100, "raw": 0},
            {"id": 188, "flags": 50, "current": 100, "worst": 100, "raw": 0},
            {"id": 189, "flags": 58, "current": 100, "worst": 100, "raw": 0},
            {"id": 190, "flags": 34, "current": 64, "worst": 55, "raw": 36},
            {"id": 191, "flags": 50, "current": 100, "worst": 100, "raw": 0},
            {"id": 192, "flags": 50, "current": 100, "worst": 100, "raw": 87},
            {"id": 193, "flags": 50, "current": 99, "worst": 99, "raw": 2841},
            {"id": 194, "flags": 34, "current": 36, "worst": 45, "rawHex": "24 00 00 00 14 00"},
            {"id": 197, "flags": 18, "current": 100, "worst": 100, "raw": 0},
            {"id": 198, "flags": 16, "current": 100, "worst": 100, "raw": 0},
            {"id": 199, "flags": 62, "current": 200, "worst": 200, "raw": 0},
            {"id": 240, "flags": 0, "current": 100, "worst": 253, "raw": 14872},
            {"id": 241, "flags": 0, "current": 100, "worst": 253, "raw": 18837421960},
            {"id": 242, "flags": 0, "current": 100, "worst": 253, "raw": 40112830127}
          ],
          "thresholds": [
            {"id": 1, "threshold": 6}, {"id": 3, "threshold": 0}, {"id": 4, "threshold": 20},
            {"id": 5, "threshold": 10}, {"id": 7, "threshold": 30}, {"id": 9, "threshold": 0},
            {"id": 10, "threshold": 97}, {"id": 12, "threshold": 20}, {"id": 184, "threshold": 99},
            {"id": 187, "threshold": 0}, {"id": 188, "threshold": 0}, {"id": 189, "threshold": 0},
            {"id": 190, "threshold": 40}, {"id": 191, "threshold": 0}, {"id": 192, "threshold": 0},
            {"id": 193, "threshold": 0}, {"id": 194, "threshold": 0}, {"id": 197, "threshold": 0},
            {"id": 198, "threshold": 0}, {"id": 199, "threshold": 0}, {"id": 240, "threshold": 0},
            {"id": 241, "threshold": 0}, {"id": 242, "threshold": 0}
          ]
        }
      },
      "layout": {
        "style": "mbr",
        "signature": "0x1A2B3C4D",
        "partitions": [
          {"number": 1, "type": "basic", "length": 1000204140544},
          {"number": 2, "type": "basic", "length": 999192696320}
        ]
      },
      "perf": {"percentIdleTime": 88, "percentDiskReadTime": 7, "percentDiskWriteTime": 4,
               "diskReadBytesPersec": 8912896, "diskWriteBytesPersec": 2097152}
    },
    {
      "number": 2,
      "model": "Quorlin QN700 NVMe 1TB",
      "serial": "0025_38B4_71C0_2A5E.",
      "firmware": "4B2QGXA7",
      "pnpDeviceId": "SCSI\\DISK&VEN_NVME&PROD_QUORLIN_QN700_NV\\5&2B8C4D1E&0&000000",
      "interfaceType": "SCSI",
      "sizeBytes": 1024209543168,
      "nvme": {
        "identify": {
          "vid": "0x1F7A", "ssvid": "0x1F7A", "sn": "QN7A0B1C2D3E4F5G", "ieee": "0x00A0B1",
          "ver": "0x00010400", "oacs": "0x0017", "frmw": 22, "lpa": 14, "npss": 4,
          "wctemp": 357, "cctemp": 361, "mntmt": 273, "mxtmt": 357, "hctma": 1,
          "subnqn": "nqn.2021-06.com.quorlin:nvme:qn700:QN7A0B1C2D3E4F5G",
          "psd": [
            {"mp": 800, "enlat": 0, "exlat": 0},
            {"mp": 600, "enlat": 0, "exlat": 0, "rrt": 1, "rrl": 1, "rwt": 1, "rwl": 1},
            {"mp": 450, "enlat": 0, "exlat": 0, "rrt": 2, "rrl": 2, "rwt": 2, "rwl": 2},
            {"mp": 350, "mxps": true, "nops": true, "enlat": 2000, "exlat": 2000, "rrt": 3, "rrl": 3, "rwt": 3, "rwl": 3},
            {"mp": 50, "mxps": true, "nops": true, "enlat": 500, "exlat": 9000, "rrt": 4, "rrl": 4, "rwt": 4, "rwl": 4}
          ],
          "vendor": {
            "eppid": "CN0QN700A1B2C3D4E5F6G7H8I9J0K1L2",
            "formFactor": 4,
            "systemCrashProtection": true,
            "deviceCategory": [1, 2, 3, 11],
            "guid": "0f1e2d3c4b5a69788796a5b4c3d2e1f0",
            "componentId": "QN700"
          }
        },
        "health": {
          "temperature": 318, "tempSensor": [318, 325], "availSpare": 100, "spareThresh": 10, "percentUsed": 2,
          "dataUnitsRead": 48211823, "dataUnitsWritten": 39018274, "hostReads": 612830112, "hostWrites": 520113998,
          "ctrlBusyTime": 1742, "powerCycles": 1187, "powerOnHours": 4213, "unsafeShutdowns": 61,
          "mediaErrors": 0, "numErrLogEntries": 14
        },
        "vendorHealth": {
          "wearLevelingCount": 3, "reservedBlockCountTotal": 2048, "minimumTemperature": 293,
          "maximumTemperature": 341, "totalDataWrittenByController": 41233018, "hostActiveIdleCounter": 90211,
          "nonOperationalPowerStateCounter": 1544
        }
      },
      "layout": {
        "style": "gpt",
        "diskId": "9E1A5C2B-7D3F-4A6E-B182-C34D5E6F7081",
        "partitions": [
          {"number": 1, "type": "basic", "length": 1024207446016, "name": "Data",
           "id": "3E9F5C71-4A6D-4E8F-B1A2-C34D5E6F7A8B"}
        ]
      },
      "perf": {"percentIdleTime": 99, "percentDiskReadTime": 0, "percentDiskWriteTime": 1,
               "diskReadBytesPersec": 262144, "diskWriteBytesPersec": 1048576}
    }
  ],
  "volumes": [
    {"letter": "C", "disk": 0, "partition": 3,
     "counters": {"bytesRead": 48318382080, "bytesWritten": 21474836480, "readCount": 3120544, "writeCount": 1874402}},
    {"letter": "D", "disk": 1, "partition": 1,
     "counters": {"bytesRead": 161061273600, "bytesWritten": 53687091200, "readCount": 1290211, "writeCount": 702199}},
    {"letter": "E", "disk": 1, "partition": 2,
     "counters": {"bytesRead": 3221225472, "bytesWritten": 1048575, "readCount": 21944, "writeCount": 17}},
    {"letter": "F", "disk": 2, "partition": 1,
     "counters": {"bytesRead": 96636764160, "bytesWritten": 75161927680, "readCount": 811023, "writeCount": 640118}},
    {"letter": "Z", "disk": null}
  ]
})json";
}

MachineDescription DefaultDescription() { return ParseDescription(DefaultDescriptionJson()); }

}  // namespace sim
