// A simulated NVMe drive for the device tests.
#pragma once

#include <string>

#include "sim/NvmeDevice.h"

namespace stordex_test {

inline sim::NvmeDriveModel SampleDrive()
{
    sim::NvmeDriveModel drive;
    sim::NvmeIdentify& id = drive.identify;
    id.vid = 0x144D;
    id.ssvid = 0x144D;
    id.sn = "S4EWNX0R123456";
    id.mn = "Quorlin QN700 NVMe 512GB";
    id.fr = "2B2QEXM7";
    id.ieee = 0x002538;
    id.ver = 0x00010400;
    id.oacs = 0x0017;  // security, format, firmware, self-test
    id.npss = 4;
    id.wctemp = 358;
    id.cctemp = 363;
    id.tnvmcap = {512110190592ULL, 0};
    id.subnqn = "nqn.2014.08.org.nvmexpress:144d144dS4EWNX0R123456";
    id.psd.resize(5);
    id.psd[0].mp = 780;
    id.psd[4].nops = true;
    id.psd[4].exlat = 9000;
    sim::NvmeVendorArea vendor;
    vendor.eppid = "CN0ABCDE1234567890ABCDEFGHIJKLMN";
    vendor.formFactor = 4;
    vendor.systemCrashProtection = true;
    vendor.deviceCategory = std::array<std::uint16_t, 4>{1, 2, 3, 11};
    vendor.guid = {0x10, 0x32, 0x54, 0x76};
    vendor.componentId = "QN700";
    id.vendor = vendor;

    drive.health.temperature = 323;
    drive.health.tempSensor = {0, 273, 310, 0, 0, 0, 0, 0};
    drive.health.criticalWarning = 0x04;
    drive.health.enduranceGroupWarningSummary = 0x08;
    drive.health.powerOnHours = {4660, 0};
    drive.health.dataUnitsWritten = {0, 1};  // 2^64
    sim::NvmeVendorHealthLog vendorHealth;
    vendorHealth.wearLevelingCount = 7;
    vendorHealth.reservedBlockCountTotal = 123456;
    vendorHealth.minimumTemperature = 290;
    vendorHealth.totalDataWrittenByController = {256, 0};
    drive.vendorHealth = vendorHealth;
    return drive;
}

}  // namespace stordex_test
