// A machine with one disk of each kind the collector meets: a SATA SSD, a
// SATA hard disk, an NVMe drive, an NVMe drive behind a RAID controller and a
// USB bridge to an ATA drive, with lettered volumes on most of them, a
// network share and one disk whose threshold read fails (so every SMART
// collection writes a failure line).
#pragma once

#include <string_view>

inline constexpr std::string_view kRichMachine = R"({
  "disks": [
    {"number": 0, "model": "Kestrel KS500 SSD", "serial": "KS5A01", "pnpDeviceId": "SCSI\\DISK&VEN_&PROD_KS500\\4&1&0&000000",
     "interfaceType": "IDE", "sizeBytes": 500107862016,
     "ata": {"rotationRate": 1, "eppid": "CN0KS500A0001",
             "smart": {"attributes": [{"id": 9, "raw": 1200}, {"id": 177, "current": 98, "raw": 12},
                                      {"id": 194, "rawHex": "21 00 00 00 30 00"}],
                       "thresholds": [{"id": 9, "threshold": 0}, {"id": 177, "threshold": 5}]}},
     "layout": {"style": "gpt", "partitions": [{"type": "efi", "length": 104857600},
                                               {"type": "basic", "length": 400000000000}]}},
    {"number": 1, "model": "Kestrel KD2000", "pnpDeviceId": "SCSI\\DISK&VEN_&PROD_KD2000\\4&1&0&010000",
     "interfaceType": "IDE", "sizeBytes": 2000398934016,
     "ata": {"rotationRate": 7200, "smart": {"attributes": [{"id": 5, "raw": 3}, {"id": 194, "raw": 40}],
                                              "thresholds": [{"id": 5, "threshold": 36}]}},
     "layout": {"style": "mbr", "partitions": [{"type": "basic", "length": 1000204140544}]},
     "faults": {"requests": [{"ioctl": "IOCTL_SCSI_PASS_THROUGH_DIRECT", "command": "0xB0", "feature": "0xD1",
                              "kind": "fail"}]}},
    {"number": 2, "model": "Quorlin QN700 NVMe", "serial": "QN7A0B", "pnpDeviceId": "SCSI\\DISK&VEN_NVME&PROD_QN700\\5&2&0&000000",
     "sizeBytes": 512110190592,
     "nvme": {"identify": {"npss": 1, "psd": [{"mp": 800}, {"mp": 50}], "vendor": {"eppid": "CN0QN700", "formFactor": 4}},
              "health": {"temperature": 318, "powerOnHours": 2210},
              "vendorHealth": {"wearLevelingCount": 3, "maximumTemperature": 340}},
     "layout": {"style": "gpt", "partitions": [{"type": "basic", "length": 500000000000}]}},
    {"number": 3, "model": "Quorlin QN900 NVMe", "pnpDeviceId": "SCSI\\DISK&VEN_NVME&PROD_QN900\\5&3&0&000000",
     "sizeBytes": 1024209543168, "nvme": {"busType": "RAID", "health": {"temperature": 320}},
     "layout": {"style": "gpt", "partitions": [{"type": "basic", "length": 1000000000000}]}},
    {"number": 4, "model": "Kestrel KU64 USB", "pnpDeviceId": "USBSTOR\\DISK&VEN_KESTREL&PROD_KU64\\070B3C&0",
     "interfaceType": "USB", "sizeBytes": 64023257088,
     "ata": {"smart": {"attributes": [{"id": 12, "raw": 77}]}},
     "layout": {"style": "mbr", "partitions": [{"type": "0x0C", "length": 64022208512}]}}
  ],
  "volumes": [
    {"letter": "C", "disk": 0, "partition": 2, "counters": {"bytesRead": 4096, "bytesWritten": 8192}},
    {"letter": "D", "disk": 1, "partition": 1},
    {"letter": "E", "disk": 2, "partition": 1},
    {"letter": "F", "disk": 3, "partition": 1},
    {"letter": "G", "disk": 4, "partition": 1},
    {"letter": "Z", "disk": null}
  ]
})";
