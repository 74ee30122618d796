#include "NvmePages.h"

#include <cstddef>
#include <string>

#include "disk/Wire.h"

namespace sim::nvme_pages {

namespace {

// A 128-bit counter, least significant half first.
void PutCounter(wire::Writer& page, std::size_t offset, const NvmeCounter& counter)
{
    page.U64(offset, counter.low);
    page.U64(offset + 8, counter.high);
}

constexpr std::size_t kPowerStates = 2048;
constexpr std::size_t kVendorArea = 3072;

void PutPowerState(wire::Writer& page, std::size_t at, const NvmePowerState& state)
{
    page.U16(at + 0, state.mp);
    page.U8(at + 3, (state.mxps ? 0x01 : 0) | (state.nops ? 0x02 : 0));
    page.U32(at + 4, state.enlat);
    page.U32(at + 8, state.exlat);
    page.U8(at + 12, state.rrt & 0x1F);
    page.U8(at + 13, state.rrl & 0x1F);
    page.U8(at + 14, state.rwt & 0x1F);
    page.U8(at + 15, state.rwl & 0x1F);
    page.U16(at + 16, state.idlp);
    page.U8(at + 18, (state.ips & 0x03) << 6);
    page.U16(at + 20, state.actp);
    page.U8(at + 22, (state.apw & 0x07) | ((state.aps & 0x03) << 6));
}

// Our vendor area: signature "TVXC", version, then the fields.
void PutVendorArea(wire::Writer& page, const NvmeVendorArea& vendor)
{
    const std::size_t at = kVendorArea;
    page.Text(at + 0, "TVXC", 4, ' ');
    page.U16(at + 4, vendor.version);
    page.Text(at + 8, vendor.eppid, 32, ' ');
    page.U8(at + 40, vendor.formFactor);
    page.U8(at + 41, (vendor.systemCrashProtection ? 0x01 : 0) | (vendor.hostMetadataLog ? 0x02 : 0));
    if (vendor.deviceCategory) {
        page.U8(at + 42, 0x01);
        for (std::size_t i = 0; i < 4; ++i) page.U16(at + 44 + 2 * i, (*vendor.deviceCategory)[i]);
    }
    page.Bytes(at + 64, vendor.guid.data(), vendor.guid.size());
    page.Text(at + 80, vendor.componentId, 8, ' ');
}

}  // namespace

std::vector<std::uint8_t> EncodeIdentifyController(const NvmeIdentify& id)
{
    std::vector<std::uint8_t> bytes(4096, 0);
    wire::Writer page(bytes.data(), bytes.size());
    page.U16(0, id.vid);
    page.U16(2, id.ssvid);
    page.Text(4, id.sn, 20, ' ');
    page.Text(24, id.mn, 40, ' ');
    page.Text(64, id.fr, 8, ' ');
    page.U8(72, id.rab);
    page.U16(73, id.ieee);
    page.U8(75, id.ieee >> 16);
    page.U8(76, id.cmic);
    page.U8(77, id.mdts);
    page.U16(78, id.cntlid);
    page.U32(80, id.ver);
    page.U32(84, id.rtd3r);
    page.U32(88, id.rtd3e);
    page.U32(92, id.oaes);
    page.U32(96, id.ctratt);
    page.U16(100, id.rrls);
    page.U8(111, id.cntrltype);
    page.Bytes(112, id.fguid.data(), id.fguid.size());
    page.U16(128, id.crdt1);
    page.U16(130, id.crdt2);
    page.U16(132, id.crdt3);
    page.U16(256, id.oacs);
    page.U8(258, id.acl);
    page.U8(259, id.aerl);
    page.U8(260, id.frmw);
    page.U8(261, id.lpa);
    page.U8(262, id.elpe);
    page.U8(263, id.npss);
    page.U8(264, id.avscc);
    page.U8(265, id.apsta);
    page.U16(266, id.wctemp);
    page.U16(268, id.cctemp);
    page.U16(270, id.mtfa);
    page.U32(272, id.hmpre);
    page.U32(276, id.hmmin);
    PutCounter(page, 280, id.tnvmcap);
    PutCounter(page, 296, id.unvmcap);
    page.U32(312, id.rpmbs);
    page.U16(316, id.edstt);
    page.U8(318, id.dsto);
    page.U8(319, id.fwug);
    page.U16(320, id.kas);
    page.U16(322, id.hctma);
    page.U16(324, id.mntmt);
    page.U16(326, id.mxtmt);
    page.U32(328, id.sanicap);
    page.U32(332, id.hmminds);
    page.U16(336, id.hmmaxd);
    page.U16(338, id.nsetidmax);
    page.U16(340, id.endgidmax);
    page.U8(342, id.anatt);
    page.U8(343, id.anacap);
    page.U32(344, id.anagrpmax);
    page.U32(348, id.nanagrpid);
    page.U32(352, id.pels);
    page.U8(512, id.sqes);
    page.U8(513, id.cqes);
    page.U16(514, id.maxcmd);
    page.U32(516, id.nn);
    page.U16(520, id.oncs);
    page.U16(522, id.fuses);
    page.U8(524, id.fna);
    page.U8(525, id.vwc);
    page.U16(526, id.awun);
    page.U16(528, id.awupf);
    page.U8(530, id.nvscc);
    page.U8(531, id.nwpc);
    page.U16(532, id.acwu);
    page.U32(536, id.sgls);
    page.U32(540, id.mnan);
    page.Text(768, id.subnqn, 256, '\0');
    for (std::size_t i = 0; i < id.psd.size() && i < 32; ++i) PutPowerState(page, kPowerStates + 32 * i, id.psd[i]);
    if (id.vendor) PutVendorArea(page, *id.vendor);
    return bytes;
}

std::vector<std::uint8_t> EncodeHealthLog(const NvmeHealthLog& log)
{
    std::vector<std::uint8_t> bytes(512, 0);
    wire::Writer page(bytes.data(), bytes.size());
    page.U8(0, log.criticalWarning);
    page.U16(1, log.temperature);
    page.U8(3, log.availSpare);
    page.U8(4, log.spareThresh);
    page.U8(5, log.percentUsed);
    page.U8(6, log.enduranceGroupWarningSummary);
    const NvmeCounter* counters[] = {&log.dataUnitsRead, &log.dataUnitsWritten, &log.hostReads,
                                     &log.hostWrites, &log.ctrlBusyTime, &log.powerCycles,
                                     &log.powerOnHours, &log.unsafeShutdowns, &log.mediaErrors,
                                     &log.numErrLogEntries};
    std::size_t at = 32;
    for (const NvmeCounter* counter : counters) {
        PutCounter(page, at, *counter);
        at += 16;
    }
    page.U32(192, log.warningTempTime);
    page.U32(196, log.criticalCompTime);
    for (std::size_t i = 0; i < log.tempSensor.size(); ++i) page.U16(200 + 2 * i, log.tempSensor[i]);
    page.U32(216, log.thmTemp1TransCount);
    page.U32(220, log.thmTemp2TransCount);
    page.U32(224, log.thmTemp1TotalTime);
    page.U32(228, log.thmTemp2TotalTime);
    return bytes;
}

std::vector<std::uint8_t> EncodeVendorHealthLog(const NvmeVendorHealthLog& log)
{
    std::vector<std::uint8_t> bytes(512, 0);
    wire::Writer page(bytes.data(), bytes.size());
    page.Text(0, "TVXH", 4, ' ');
    page.U16(4, log.version);
    page.U8(8, log.wearLevelingCount);
    page.U8(9, log.usedReservedBlockCountWorst);
    page.U8(10, log.usedReservedBlockCountTotal);
    page.U32(12, log.reservedBlockCountTotal);
    page.U16(16, log.minimumTemperature);
    page.U16(18, log.maximumTemperature);
    PutCounter(page, 32, log.totalDataWrittenByController);
    page.U32(48, log.hostActiveIdleCounter);
    page.U32(52, log.nonOperationalPowerStateCounter);
    page.U8(56, log.abnormalInputVccVoltageCounter);
    return bytes;
}

}  // namespace sim::nvme_pages
