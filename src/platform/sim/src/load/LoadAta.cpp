// "ata" of a disk: the ATA drive behind it, answering IDENTIFY DEVICE, READ
// LOG EXT and SMART through both pass-through paths.
//
//   "ata": { "model", "serial", "firmware": texts (the disk's by default),
//            "rotationRate": n, "gpl": bool, "sectors": n, "words": { "83": n, ... },
//            "eppid": text, "logPages": { "0x9A": hex, ... },
//            "smart": { "supported": bool, "enabled": bool, "revision": n,
//                       "attributes": [ { "id", "flags", "current", "worst", "raw" | "rawHex" } ],
//                       "thresholds": [ { "id", "threshold" } ],
//                       "dataHex": hex, "thresholdsHex": hex } }
#include "Sections.h"
#include "Values.h"
#include "sim/AtaData.h"

namespace sim::load {

namespace {

constexpr std::size_t kSmartAttributes = 30;  // entries of a SMART data sector
constexpr std::size_t kSmartThresholds = 42;  // entries that fit a threshold sector
constexpr std::uint16_t kGplBit = 0x0020;     // word 84 bit 5

std::string ReadText(const Node& node, std::size_t width)
{
    std::string text;
    Read(node, text);
    if (text.size() > width) node.Expected("a text of at most " + std::to_string(width) + " characters");
    return text;
}

SmartAttribute ReadAttribute(const Node& node)
{
    SmartAttribute attribute;
    ReadObject(node, [&](ObjectReader& r) {
        r.Required(
            "id", [&](const Node& n) {
                attribute.id = static_cast<std::uint8_t>(ReadNumber(n, 255, "an attribute id from 1 to 255"));
                if (attribute.id == 0) n.Expected("an attribute id from 1 to 255 (0 marks an empty entry)");
            },
            "an attribute id from 1 to 255");
        r.Optional("flags", attribute.flags);
        r.Optional("current", attribute.current);
        attribute.worst = attribute.current;
        r.Optional("worst", attribute.worst);
        if (node.value.contains("raw") && node.value.contains("rawHex"))
            node.Member("rawHex").Expected("either \"raw\" or \"rawHex\", not both");
        r.Optional("raw", [&](const Node& n) { attribute.raw = ReadNumber(n, 0xFFFFFFFFFFFFull, "a 48-bit raw value"); });
        r.Optional("rawHex", [&](const Node& n) {
            const auto bytes = ReadHex(n, 6);  // as the sector stores them, least significant first
            attribute.raw = 0;
            for (std::size_t i = 0; i < 6; ++i) attribute.raw |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
        });
    });
    return attribute;
}

SmartThreshold ReadThreshold(const Node& node)
{
    SmartThreshold threshold;
    ReadObject(node, [&](ObjectReader& r) {
        r.Required(
            "id", [&](const Node& n) {
                threshold.id = static_cast<std::uint8_t>(ReadNumber(n, 255, "an attribute id from 1 to 255"));
                if (threshold.id == 0) n.Expected("an attribute id from 1 to 255 (0 ends the list)");
            },
            "an attribute id from 1 to 255");
        r.Optional("threshold", threshold.threshold);
    });
    return threshold;
}

void ReadSmart(const Node& node, AtaDriveModel& drive)
{
    ReadObject(node, [&](ObjectReader& r) {
        r.Optional("supported", drive.smartSupported);
        r.Optional("enabled", drive.smartEnabled);
        r.Optional("revision", drive.smartRevision);
        if (node.value.contains("dataHex") && node.value.contains("attributes"))
            node.Member("dataHex").Expected("either \"attributes\" or \"dataHex\", not both");
        if (node.value.contains("thresholdsHex") && node.value.contains("thresholds"))
            node.Member("thresholdsHex").Expected("either \"thresholds\" or \"thresholdsHex\", not both");
        r.Optional("attributes", [&](const Node& list) {
            ReadArray(list, [&](const Node& item) { drive.smartAttributes.push_back(ReadAttribute(item)); });
            if (drive.smartAttributes.size() > kSmartAttributes)
                list.Expected("at most 30 attributes (what a SMART data sector holds)");
        });
        r.Optional("thresholds", [&](const Node& list) {
            ReadArray(list, [&](const Node& item) { drive.smartThresholds.push_back(ReadThreshold(item)); });
            if (drive.smartThresholds.size() > kSmartThresholds)
                list.Expected("at most 42 thresholds (what a SMART threshold sector holds)");
        });
        r.Optional("dataHex", [&](const Node& n) { drive.smartDataSector = ReadHex(n, kAtaSectorSize); });
        r.Optional("thresholdsHex", [&](const Node& n) { drive.smartThresholdSector = ReadHex(n, kAtaSectorSize); });
    });
}

}  // namespace

AtaDriveModel ReadAta(const Node& node, const DiskDescription& disk)
{
    AtaDriveModel drive;
    AtaIdentity& id = drive.identity;
    id.model = disk.model;
    id.serial = disk.serial;
    id.firmware = disk.firmware;
    id.sectors = disk.bytesPerSector != 0 ? disk.sizeBytes / disk.bytesPerSector : 0;
    ReadObject(node, [&](ObjectReader& r) {
        r.Optional("model", [&](const Node& n) { id.model = ReadText(n, 40); });
        r.Optional("serial", [&](const Node& n) { id.serial = ReadText(n, 20); });
        r.Optional("firmware", [&](const Node& n) { id.firmware = ReadText(n, 8); });
        r.Optional("rotationRate", id.word217);
        r.Optional("gpl", [&](const Node& n) {
            bool gpl = true;
            Read(n, gpl);
            id.word84 = static_cast<std::uint16_t>(gpl ? id.word84 | kGplBit : id.word84 & ~kGplBit);
        });
        r.Optional("sectors", id.sectors);
        r.Optional("words", [&](const Node& words) {
            ReadObject(words, [&](ObjectReader& w) {
                w.EachMember([&](const std::string& key, const Node& value) {
                    std::size_t used = 0;
                    unsigned long word = 256;
                    try {
                        word = std::stoul(key, &used);
                    } catch (const std::exception&) {
                    }
                    if (used != key.size() || key.empty() || word > 255)
                        value.Refuse("expected a key that is a word number from 0 to 255");
                    Read(value, id.words[static_cast<unsigned>(word)]);
                });
            });
        });
        r.Optional("eppid", [&](const Node& n) { drive.logPages[kEppidLogAddress] = EppidLogPage(ReadText(n, 20)); });
        r.Optional("logPages", [&](const Node& pages) {
            ReadObject(pages, [&](ObjectReader& p) {
                p.EachMember([&](const std::string& key, const Node& value) {
                    const Json keyText(key);
                    const Node keyNode{keyText, value.path};
                    const auto address = static_cast<std::uint8_t>(
                        ReadNumber(keyNode, 255, "a key that is a log address such as \"0x9A\""));
                    if (address == kEppidLogAddress && node.value.contains("eppid"))
                        value.Expected("either \"eppid\" or log page 0x9A, not both");
                    auto bytes = ReadHex(value);
                    bytes.resize((bytes.size() + kAtaSectorSize - 1) / kAtaSectorSize * kAtaSectorSize, 0);
                    drive.logPages[address] = std::move(bytes);
                });
            });
        });
        r.Optional("smart", [&](const Node& n) { ReadSmart(n, drive); });
    });
    return drive;
}

}  // namespace sim::load
