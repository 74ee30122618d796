#include "NvmePages.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace sim::nvme_pages {

namespace {

// Stores fields the way NVMe does: least significant byte first.
class PageWriter {
public:
    explicit PageWriter(std::size_t size) : m_bytes(size, 0) {}

    void Byte(std::size_t offset, std::uint64_t value) { m_bytes.at(offset) = static_cast<std::uint8_t>(value); }
    void Little(std::size_t offset, std::uint64_t value, std::size_t width)
    {
        for (std::size_t i = 0; i < width; ++i) Byte(offset + i, value >> (8 * i));
    }
    void Word(std::size_t offset, std::uint16_t value) { Little(offset, value, 2); }
    void Dword(std::size_t offset, std::uint32_t value) { Little(offset, value, 4); }
    void Counter(std::size_t offset, const NvmeCounter& counter)
    {
        Little(offset, counter.low, 8);
        Little(offset + 8, counter.high, 8);
    }
    template <std::size_t N>
    void Bytes(std::size_t offset, const std::array<std::uint8_t, N>& bytes)
    {
        std::copy(bytes.begin(), bytes.end(), m_bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    }
    // ASCII text cut to `width` and padded with `pad`.
    void Text(std::size_t offset, const std::string& text, std::size_t width, char pad)
    {
        for (std::size_t i = 0; i < width; ++i) {
            Byte(offset + i, static_cast<unsigned char>(i < text.size() ? text[i] : pad));
        }
    }

    std::vector<std::uint8_t> Take() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};

constexpr std::size_t kPowerStates = 2048;
constexpr std::size_t kVendorArea = 3072;

void PutPowerState(PageWriter& page, std::size_t at, const NvmePowerState& state)
{
    page.Word(at + 0, state.mp);
    page.Byte(at + 3, (state.mxps ? 0x01 : 0) | (state.nops ? 0x02 : 0));
    page.Dword(at + 4, state.enlat);
    page.Dword(at + 8, state.exlat);
    page.Byte(at + 12, state.rrt & 0x1F);
    page.Byte(at + 13, state.rrl & 0x1F);
    page.Byte(at + 14, state.rwt & 0x1F);
    page.Byte(at + 15, state.rwl & 0x1F);
    page.Word(at + 16, state.idlp);
    page.Byte(at + 18, (state.ips & 0x03) << 6);
    page.Word(at + 20, state.actp);
    page.Byte(at + 22, (state.apw & 0x07) | ((state.aps & 0x03) << 6));
}

// Our vendor area: signature "TVXC", version, then the fields.
void PutVendorArea(PageWriter& page, const NvmeVendorArea& vendor)
{
    const std::size_t at = kVendorArea;
    page.Text(at + 0, "TVXC", 4, ' ');
    page.Word(at + 4, vendor.version);
    page.Text(at + 8, vendor.eppid, 32, ' ');
    page.Byte(at + 40, vendor.formFactor);
    page.Byte(at + 41, (vendor.systemCrashProtection ? 0x01 : 0) | (vendor.hostMetadataLog ? 0x02 : 0));
    if (vendor.deviceCategory) {
        page.Byte(at + 42, 0x01);
        for (std::size_t i = 0; i < 4; ++i) page.Word(at + 44 + 2 * i, (*vendor.deviceCategory)[i]);
    }
    page.Bytes(at + 64, vendor.guid);
    page.Text(at + 80, vendor.componentId, 8, ' ');
}

}  // namespace

std::vector<std::uint8_t> EncodeIdentifyController(const NvmeIdentify& id)
{
    PageWriter page(4096);
    page.Word(0, id.vid);
    page.Word(2, id.ssvid);
    page.Text(4, id.sn, 20, ' ');
    page.Text(24, id.mn, 40, ' ');
    page.Text(64, id.fr, 8, ' ');
    page.Byte(72, id.rab);
    page.Little(73, id.ieee, 3);
    page.Byte(76, id.cmic);
    page.Byte(77, id.mdts);
    page.Word(78, id.cntlid);
    page.Dword(80, id.ver);
    page.Dword(84, id.rtd3r);
    page.Dword(88, id.rtd3e);
    page.Dword(92, id.oaes);
    page.Dword(96, id.ctratt);
    page.Word(100, id.rrls);
    page.Byte(111, id.cntrltype);
    page.Bytes(112, id.fguid);
    page.Word(128, id.crdt1);
    page.Word(130, id.crdt2);
    page.Word(132, id.crdt3);
    page.Word(256, id.oacs);
    page.Byte(258, id.acl);
    page.Byte(259, id.aerl);
    page.Byte(260, id.frmw);
    page.Byte(261, id.lpa);
    page.Byte(262, id.elpe);
    page.Byte(263, id.npss);
    page.Byte(264, id.avscc);
    page.Byte(265, id.apsta);
    page.Word(266, id.wctemp);
    page.Word(268, id.cctemp);
    page.Word(270, id.mtfa);
    page.Dword(272, id.hmpre);
    page.Dword(276, id.hmmin);
    page.Counter(280, id.tnvmcap);
    page.Counter(296, id.unvmcap);
    page.Dword(312, id.rpmbs);
    page.Word(316, id.edstt);
    page.Byte(318, id.dsto);
    page.Byte(319, id.fwug);
    page.Word(320, id.kas);
    page.Word(322, id.hctma);
    page.Word(324, id.mntmt);
    page.Word(326, id.mxtmt);
    page.Dword(328, id.sanicap);
    page.Dword(332, id.hmminds);
    page.Word(336, id.hmmaxd);
    page.Word(338, id.nsetidmax);
    page.Word(340, id.endgidmax);
    page.Byte(342, id.anatt);
    page.Byte(343, id.anacap);
    page.Dword(344, id.anagrpmax);
    page.Dword(348, id.nanagrpid);
    page.Dword(352, id.pels);
    page.Byte(512, id.sqes);
    page.Byte(513, id.cqes);
    page.Word(514, id.maxcmd);
    page.Dword(516, id.nn);
    page.Word(520, id.oncs);
    page.Word(522, id.fuses);
    page.Byte(524, id.fna);
    page.Byte(525, id.vwc);
    page.Word(526, id.awun);
    page.Word(528, id.awupf);
    page.Byte(530, id.nvscc);
    page.Byte(531, id.nwpc);
    page.Word(532, id.acwu);
    page.Dword(536, id.sgls);
    page.Dword(540, id.mnan);
    page.Text(768, id.subnqn, 256, '\0');
    for (std::size_t i = 0; i < id.psd.size() && i < 32; ++i) PutPowerState(page, kPowerStates + 32 * i, id.psd[i]);
    if (id.vendor) PutVendorArea(page, *id.vendor);
    return page.Take();
}

std::vector<std::uint8_t> EncodeHealthLog(const NvmeHealthLog& log)
{
    PageWriter page(512);
    page.Byte(0, log.criticalWarning);
    page.Word(1, log.temperature);
    page.Byte(3, log.availSpare);
    page.Byte(4, log.spareThresh);
    page.Byte(5, log.percentUsed);
    page.Byte(6, log.enduranceGroupWarningSummary);
    const NvmeCounter* counters[] = {&log.dataUnitsRead, &log.dataUnitsWritten, &log.hostReads,
                                     &log.hostWrites, &log.ctrlBusyTime, &log.powerCycles,
                                     &log.powerOnHours, &log.unsafeShutdowns, &log.mediaErrors,
                                     &log.numErrLogEntries};
    std::size_t at = 32;
    for (const NvmeCounter* counter : counters) {
        page.Counter(at, *counter);
        at += 16;
    }
    page.Dword(192, log.warningTempTime);
    page.Dword(196, log.criticalCompTime);
    for (std::size_t i = 0; i < log.tempSensor.size(); ++i) page.Word(200 + 2 * i, log.tempSensor[i]);
    page.Dword(216, log.thmTemp1TransCount);
    page.Dword(220, log.thmTemp2TransCount);
    page.Dword(224, log.thmTemp1TotalTime);
    page.Dword(228, log.thmTemp2TotalTime);
    return page.Take();
}

std::vector<std::uint8_t> EncodeVendorHealthLog(const NvmeVendorHealthLog& log)
{
    PageWriter page(512);
    page.Text(0, "TVXH", 4, ' ');
    page.Word(4, log.version);
    page.Byte(8, log.wearLevelingCount);
    page.Byte(9, log.usedReservedBlockCountWorst);
    page.Byte(10, log.usedReservedBlockCountTotal);
    page.Dword(12, log.reservedBlockCountTotal);
    page.Word(16, log.minimumTemperature);
    page.Word(18, log.maximumTemperature);
    page.Counter(32, log.totalDataWrittenByController);
    page.Dword(48, log.hostActiveIdleCounter);
    page.Dword(52, log.nonOperationalPowerStateCounter);
    page.Byte(56, log.abnormalInputVccVoltageCounter);
    return page.Take();
}

}  // namespace sim::nvme_pages
