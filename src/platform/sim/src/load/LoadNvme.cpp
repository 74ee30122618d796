// "nvme" of a disk: the NVMe controller behind it, answering Identify
// Controller and Get Log Page through protocol-specific property queries.
// Fields carry the NVM Express names (the abbreviations nvme-cli prints) and
// the values the drive stores: temperatures in Kelvin, counters unscaled.
//
//   "nvme": { "busType": "Nvme" | "RAID" | n,
//             "identify": { "vid", "sn", "mn", ..., "psd": [ {...} ], "vendor": {...} },
//             "identifyHex": hex of 4096 bytes,
//             "health": { "criticalWarning", "temperature", ... }, "healthHex": hex of 512 bytes,
//             "vendorHealth": { ... }, "vendorHealthHex": hex of 512 bytes,
//             "faults": { "deviceDescriptor", "identify", "healthLog", "vendorHealthLog": Win32 errors } }
#include <functional>

#include "Sections.h"
#include "Values.h"

namespace sim::load {

namespace {

template <typename S>
struct Field {
    const char* name;
    std::function<void(const Node&, S&)> read;
};

void ReadField(const Node& node, std::uint8_t& out) { Read(node, out); }
void ReadField(const Node& node, std::uint16_t& out) { Read(node, out); }
void ReadField(const Node& node, std::uint32_t& out)
{
    out = static_cast<std::uint32_t>(ReadNumber(node, 0xFFFFFFFF, "an unsigned 32-bit integer"));
}
void ReadField(const Node& node, bool& out) { Read(node, out); }

// A 128-bit counter: a number, decimal text of up to 39 digits, or {"low", "high"}.
void ReadField(const Node& node, NvmeCounter& out)
{
    const std::string expected = "a 128-bit counter: a number, decimal text, or {\"low\": n, \"high\": n}";
    if (node.value.is_object()) {
        out = {};
        ReadObject(node, [&](ObjectReader& r) {
            r.Optional("low", out.low);
            r.Optional("high", out.high);
        });
        return;
    }
    if (node.value.is_string()) {
        const auto text = node.value.get<std::string>();
        unsigned __int128 value = 0;
        const unsigned __int128 limit = ~static_cast<unsigned __int128>(0);
        bool valid = !text.empty();
        for (char c : text) {
            if (c < '0' || c > '9' || value > (limit - static_cast<unsigned>(c - '0')) / 10) valid = false;
            if (!valid) break;
            value = value * 10 + static_cast<unsigned>(c - '0');
        }
        if (!valid) node.Expected(expected);
        out.low = static_cast<std::uint64_t>(value);
        out.high = static_cast<std::uint64_t>(value >> 64);
        return;
    }
    out = {ReadNumber(node, UINT64_MAX, expected), 0};
}

template <std::size_t N>
void ReadField(const Node& node, std::array<std::uint8_t, N>& out)
{
    const auto bytes = ReadHex(node, N);
    std::copy(bytes.begin(), bytes.end(), out.begin());
}

template <std::size_t N>
void ReadField(const Node& node, std::array<std::uint16_t, N>& out)
{
    if (!node.value.is_array() || node.value.size() > N)
        node.Expected("an array of at most " + std::to_string(N) + " unsigned 16-bit integers");
    out = {};
    std::size_t i = 0;
    ReadArray(node, [&](const Node& element) { Read(element, out[i++]); });
}

template <typename S, typename M>
Field<S> Num(const char* name, M S::*member)
{
    return {name, [member](const Node& node, S& s) { ReadField(node, s.*member); }};
}

template <typename S>
Field<S> Text(const char* name, std::string S::*member, std::size_t width)
{
    return {name, [member, width](const Node& node, S& s) {
                Read(node, s.*member);
                if ((s.*member).size() > width) node.Expected("a text of at most " + std::to_string(width) + " characters");
            }};
}

template <typename S>
void ReadFields(const Node& node, const std::vector<Field<S>>& fields, S& into,
                const std::function<void(ObjectReader&)>& more = {})
{
    ReadObject(node, [&](ObjectReader& r) {
        for (const auto& field : fields) r.Optional(field.name, [&](const Node& n) { field.read(n, into); });
        if (more) more(r);
    });
}

const std::vector<Field<NvmePowerState>>& PowerStateFields()
{
    using P = NvmePowerState;
    // clang-format off
    static const std::vector<Field<P>> fields = {
        Num("mp", &P::mp),     Num("mxps", &P::mxps), Num("nops", &P::nops), Num("enlat", &P::enlat),
        Num("exlat", &P::exlat), Num("rrt", &P::rrt), Num("rrl", &P::rrl),   Num("rwt", &P::rwt),
        Num("rwl", &P::rwl),   Num("idlp", &P::idlp), Num("ips", &P::ips),   Num("actp", &P::actp),
        Num("apw", &P::apw),   Num("aps", &P::aps),
    };
    // clang-format on
    return fields;
}

const std::vector<Field<NvmeVendorArea>>& VendorAreaFields()
{
    using V = NvmeVendorArea;
    static const std::vector<Field<V>> fields = {
        Num("version", &V::version),
        Text("eppid", &V::eppid, 32),
        Num("formFactor", &V::formFactor),
        Num("systemCrashProtection", &V::systemCrashProtection),
        Num("hostMetadataLog", &V::hostMetadataLog),
        {"deviceCategory",
         [](const Node& node, V& v) {
             if (node.value.is_null()) return void(v.deviceCategory.reset());
             if (!node.value.is_array() || node.value.size() != 4)
                 node.Expected("four category numbers (classes 0, 1, 2 and 11), or null");
             std::array<std::uint16_t, 4> classes{};
             ReadField(node, classes);
             v.deviceCategory = classes;
         }},
        Num("guid", &V::guid),
        Text("componentId", &V::componentId, 8),
    };
    return fields;
}

const std::vector<Field<NvmeIdentify>>& IdentifyFields()
{
    using I = NvmeIdentify;
    // clang-format off
    static const std::vector<Field<I>> fields = {
        Num("vid", &I::vid),         Num("ssvid", &I::ssvid),       Text("sn", &I::sn, 20),
        Text("mn", &I::mn, 40),      Text("fr", &I::fr, 8),         Num("rab", &I::rab),
        {"ieee", [](const Node& n, I& i) { i.ieee = static_cast<std::uint32_t>(ReadNumber(n, 0xFFFFFF, "a 24-bit OUI")); }},
        Num("cmic", &I::cmic),       Num("mdts", &I::mdts),         Num("cntlid", &I::cntlid),
        Num("ver", &I::ver),         Num("rtd3r", &I::rtd3r),       Num("rtd3e", &I::rtd3e),
        Num("oaes", &I::oaes),       Num("ctratt", &I::ctratt),     Num("rrls", &I::rrls),
        Num("cntrltype", &I::cntrltype), Num("fguid", &I::fguid),   Num("crdt1", &I::crdt1),
        Num("crdt2", &I::crdt2),     Num("crdt3", &I::crdt3),       Num("oacs", &I::oacs),
        Num("acl", &I::acl),         Num("aerl", &I::aerl),         Num("frmw", &I::frmw),
        Num("lpa", &I::lpa),         Num("elpe", &I::elpe),         Num("npss", &I::npss),
        Num("avscc", &I::avscc),     Num("apsta", &I::apsta),       Num("wctemp", &I::wctemp),
        Num("cctemp", &I::cctemp),   Num("mtfa", &I::mtfa),         Num("hmpre", &I::hmpre),
        Num("hmmin", &I::hmmin),     Num("tnvmcap", &I::tnvmcap),   Num("unvmcap", &I::unvmcap),
        Num("rpmbs", &I::rpmbs),     Num("edstt", &I::edstt),       Num("dsto", &I::dsto),
        Num("fwug", &I::fwug),       Num("kas", &I::kas),           Num("hctma", &I::hctma),
        Num("mntmt", &I::mntmt),     Num("mxtmt", &I::mxtmt),       Num("sanicap", &I::sanicap),
        Num("hmminds", &I::hmminds), Num("hmmaxd", &I::hmmaxd),     Num("nsetidmax", &I::nsetidmax),
        Num("endgidmax", &I::endgidmax), Num("anatt", &I::anatt),   Num("anacap", &I::anacap),
        Num("anagrpmax", &I::anagrpmax), Num("nanagrpid", &I::nanagrpid), Num("pels", &I::pels),
        Num("sqes", &I::sqes),       Num("cqes", &I::cqes),         Num("maxcmd", &I::maxcmd),
        Num("nn", &I::nn),           Num("oncs", &I::oncs),         Num("fuses", &I::fuses),
        Num("fna", &I::fna),         Num("vwc", &I::vwc),           Num("awun", &I::awun),
        Num("awupf", &I::awupf),     Num("nvscc", &I::nvscc),       Num("nwpc", &I::nwpc),
        Num("acwu", &I::acwu),       Num("sgls", &I::sgls),         Num("mnan", &I::mnan),
        Text("subnqn", &I::subnqn, 256),
        {"psd",
         [](const Node& node, I& i) {
             i.psd.clear();
             ReadArray(node, [&](const Node& item) {
                 NvmePowerState state;
                 ReadFields(item, PowerStateFields(), state);
                 i.psd.push_back(state);
             });
             if (i.psd.size() > 32) node.Expected("at most 32 power state descriptors");
         }},
        {"vendor",
         [](const Node& node, I& i) {
             if (node.value.is_null()) return void(i.vendor.reset());
             NvmeVendorArea vendor;
             ReadFields(node, VendorAreaFields(), vendor);
             i.vendor = vendor;
         }},
    };
    // clang-format on
    return fields;
}

const std::vector<Field<NvmeHealthLog>>& HealthFields()
{
    using H = NvmeHealthLog;
    static const std::vector<Field<H>> fields = {
        Num("criticalWarning", &H::criticalWarning),
        Num("temperature", &H::temperature),
        Num("availSpare", &H::availSpare),
        Num("spareThresh", &H::spareThresh),
        Num("percentUsed", &H::percentUsed),
        Num("enduranceGroupWarningSummary", &H::enduranceGroupWarningSummary),
        Num("dataUnitsRead", &H::dataUnitsRead),
        Num("dataUnitsWritten", &H::dataUnitsWritten),
        Num("hostReads", &H::hostReads),
        Num("hostWrites", &H::hostWrites),
        Num("ctrlBusyTime", &H::ctrlBusyTime),
        Num("powerCycles", &H::powerCycles),
        Num("powerOnHours", &H::powerOnHours),
        Num("unsafeShutdowns", &H::unsafeShutdowns),
        Num("mediaErrors", &H::mediaErrors),
        Num("numErrLogEntries", &H::numErrLogEntries),
        Num("warningTempTime", &H::warningTempTime),
        Num("criticalCompTime", &H::criticalCompTime),
        Num("tempSensor", &H::tempSensor),
        Num("thmTemp1TransCount", &H::thmTemp1TransCount),
        Num("thmTemp2TransCount", &H::thmTemp2TransCount),
        Num("thmTemp1TotalTime", &H::thmTemp1TotalTime),
        Num("thmTemp2TotalTime", &H::thmTemp2TotalTime),
    };
    return fields;
}

const std::vector<Field<NvmeVendorHealthLog>>& VendorHealthFields()
{
    using V = NvmeVendorHealthLog;
    static const std::vector<Field<V>> fields = {
        Num("version", &V::version),
        Num("wearLevelingCount", &V::wearLevelingCount),
        Num("usedReservedBlockCountWorst", &V::usedReservedBlockCountWorst),
        Num("usedReservedBlockCountTotal", &V::usedReservedBlockCountTotal),
        Num("reservedBlockCountTotal", &V::reservedBlockCountTotal),
        Num("minimumTemperature", &V::minimumTemperature),
        Num("maximumTemperature", &V::maximumTemperature),
        Num("totalDataWrittenByController", &V::totalDataWrittenByController),
        Num("hostActiveIdleCounter", &V::hostActiveIdleCounter),
        Num("nonOperationalPowerStateCounter", &V::nonOperationalPowerStateCounter),
        Num("abnormalInputVccVoltageCounter", &V::abnormalInputVccVoltageCounter),
    };
    return fields;
}

void Exclusive(const Node& node, const char* fields, const char* hex)
{
    if (node.value.contains(fields) && node.value.contains(hex))
        node.Member(hex).Expected(std::string("either \"") + fields + "\" or \"" + hex + "\", not both");
}

}  // namespace

NvmeDriveModel ReadNvme(const Node& node, const DiskDescription& disk, NvmeDiskKeys& diskKeys)
{
    NvmeDriveModel drive;
    drive.identify.sn = disk.serial.substr(0, 20);
    drive.identify.mn = disk.model.substr(0, 40);
    drive.identify.fr = disk.firmware.substr(0, 8);
    drive.identify.tnvmcap = {disk.sizeBytes, 0};
    Exclusive(node, "identify", "identifyHex");
    Exclusive(node, "health", "healthHex");
    Exclusive(node, "vendorHealth", "vendorHealthHex");
    ReadObject(node, [&](ObjectReader& r) {
        r.Optional("busType", [&](const Node& n) { diskKeys.busType = ReadBusType(n); });
        r.Optional("identify", [&](const Node& n) { ReadFields(n, IdentifyFields(), drive.identify); });
        r.Optional("identifyHex", [&](const Node& n) { drive.rawIdentify = ReadHex(n, 4096); });
        r.Optional("health", [&](const Node& n) { ReadFields(n, HealthFields(), drive.health); });
        r.Optional("healthHex", [&](const Node& n) { drive.rawHealthLog = ReadHex(n, 512); });
        r.Optional("vendorHealth", [&](const Node& n) {
            NvmeVendorHealthLog log;
            ReadFields(n, VendorHealthFields(), log);
            drive.vendorHealth = log;
        });
        r.Optional("vendorHealthHex", [&](const Node& n) { drive.rawVendorHealthLog = ReadHex(n, 512); });
        r.Optional("faults", [&](const Node& n) {
            ReadObject(n, [&](ObjectReader& f) {
                f.Optional("deviceDescriptor", [&](const Node& e) { diskKeys.descriptorError = ReadWin32Error(e); });
                f.Optional("identify", [&](const Node& e) { drive.faults.identify = ReadWin32Error(e); });
                f.Optional("healthLog", [&](const Node& e) { drive.faults.healthLog = ReadWin32Error(e); });
                f.Optional("vendorHealthLog", [&](const Node& e) { drive.faults.vendorHealthLog = ReadWin32Error(e); });
            });
        });
    });
    return drive;
}

}  // namespace sim::load
