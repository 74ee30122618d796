#include "BenchMachine.h"

#include <fmt/format.h>

namespace bench {

namespace {

std::string Disk(int number)
{
    const std::string common = fmt::format(
        R"("number": {0}, "serial": "BN{0:06}", "sizeBytes": 512110190592,
        "layout": {{"style": "gpt", "partitions": [{{"type": "efi", "length": 104857600}},
                                                   {{"type": "basic", "length": 500000000000}}]}})",
        number);
    switch (number % 3) {
    case 0:
        return fmt::format(
            R"({{{0}, "model": "Bench SSD {1}", "interfaceType": "IDE", "pnpDeviceId": "SCSI\\DISK&VEN_&PROD_BSSD\\4&{1:X}&0&0",
            "ata": {{"rotationRate": 1, "eppid": "CN0BSSD{1:06}", "smart": {{
              "attributes": [{{"id": 9, "raw": 1200}}, {{"id": 177, "raw": 12}}, {{"id": 194, "raw": 33}}],
              "thresholds": [{{"id": 177, "threshold": 5}}]}}}}}})",
            common, number);
    case 1:
        return fmt::format(
            R"({{{0}, "model": "Bench HDD {1}", "interfaceType": "IDE", "pnpDeviceId": "SCSI\\DISK&VEN_&PROD_BHDD\\4&{1:X}&0&0",
            "ata": {{"rotationRate": 7200, "smart": {{"attributes": [{{"id": 5, "raw": 0}}, {{"id": 194, "raw": 40}}],
                                                   "thresholds": [{{"id": 5, "threshold": 36}}]}}}}}})",
            common, number);
    default:
        return fmt::format(
            R"({{{0}, "model": "Bench NVMe {1}", "pnpDeviceId": "SCSI\\DISK&VEN_NVME&PROD_BNVME\\5&{1:X}&0&0",
            "nvme": {{"identify": {{"npss": 1, "psd": [{{"mp": 800}}, {{"mp": 50}}], "vendor": {{"eppid": "CN0BNV{1:06}"}}}},
                      "health": {{"temperature": 318}}, "vendorHealth": {{"wearLevelingCount": 3}}}}}})",
            common, number);
    }
}

}  // namespace

std::string BenchMachineJson(int disks, int volumes)
{
    std::string json = R"({"disks": [)";
    for (int i = 0; i < disks; ++i) json += (i == 0 ? "" : ",") + Disk(i);
    json += R"(], "volumes": [)";
    for (int v = 0; v < volumes && v < disks; ++v)
        json += fmt::format(R"({}{{"letter": "{}", "disk": {}, "partition": 2}})", v == 0 ? "" : ",",
                            static_cast<char>('C' + v), v);
    return json + "]}";
}

}  // namespace bench
