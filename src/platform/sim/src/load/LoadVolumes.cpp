// "volumes": the lettered volumes; "interfaces": disk interfaces that list
// a device which cannot be opened.
//
//   "volumes": [ { "letter": "C", "disk": 0 | null, "partition": 3,
//                  "counters": { "bytesRead": n, "bytesWritten": n, ... }, "faults": {...} } ]
//   "interfaces": [ { "path": text, "instanceId": text, "index": n } ]
#include <cctype>

#include "Sections.h"
#include "Values.h"

namespace sim::load {

namespace {

wchar_t ReadLetter(const Node& node)
{
    if (node.value.is_string()) {
        const auto text = node.value.get<std::string>();
        if ((text.size() == 1 || (text.size() == 2 && text[1] == ':')) && std::isalpha(static_cast<unsigned char>(text[0])))
            return static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(text[0])));
    }
    node.Expected("a drive letter from A to Z, such as \"C\"");
}

std::int64_t ReadCount(const Node& node)
{
    return static_cast<std::int64_t>(ReadNumber(node, INT64_MAX, "a signed 64-bit integer from 0"));
}

VolumeCounters ReadCounters(const Node& node)
{
    VolumeCounters c;
    ReadObject(node, [&](ObjectReader& r) {
        r.Optional("bytesRead", [&](const Node& n) { c.bytesRead = ReadCount(n); });
        r.Optional("bytesWritten", [&](const Node& n) { c.bytesWritten = ReadCount(n); });
        r.Optional("readTime", [&](const Node& n) { c.readTime = ReadCount(n); });
        r.Optional("writeTime", [&](const Node& n) { c.writeTime = ReadCount(n); });
        r.Optional("idleTime", [&](const Node& n) { c.idleTime = ReadCount(n); });
        r.Optional("readCount", c.readCount);
        r.Optional("writeCount", c.writeCount);
        r.Optional("queueDepth", c.queueDepth);
        r.Optional("splitCount", c.splitCount);
        r.Optional("queryTime", [&](const Node& n) { c.queryTime = ReadCount(n); });
    });
    return c;
}

}  // namespace

std::vector<VolumeModel> ReadVolumes(const Node& node)
{
    std::vector<VolumeModel> volumes;
    ReadArray(node, [&](const Node& item) {
        VolumeModel volume;
        bool partitionGiven = false;
        ReadObject(item, [&](ObjectReader& r) {
            r.Required(
                "letter", [&](const Node& n) { volume.letter = ReadLetter(n); }, "a drive letter");
            r.Required(
                "disk", [&](const Node& n) {
                    if (n.value.is_null()) return;  // a network share
                    std::uint32_t number = 0;
                    Read(n, number);
                    volume.disk = number;
                },
                "a disk number, or null for a network share");
            r.Optional("partition", [&](const Node& n) {
                Read(n, volume.partitionNumber);
                partitionGiven = true;
            });
            r.Optional("counters", [&](const Node& n) { volume.counters = ReadCounters(n); });
            r.Optional("faults", [&](const Node& n) { volume.faults = ReadFaults(n); });
        });
        if (volume.disk && !partitionGiven)
            RefuseKey(item, "partition", "missing, expected the number of the partition the volume is on");
        if (!volume.disk && partitionGiven)
            item.Member("partition").Expected("no partition for a network share (\"disk\": null)");
        volumes.push_back(volume);
    });
    return volumes;
}

std::vector<ExtraInterface> ReadInterfaces(const Node& node)
{
    std::vector<ExtraInterface> interfaces;
    ReadArray(node, [&](const Node& item) {
        ExtraInterface extra;
        ReadObject(item, [&](ObjectReader& r) {
            r.Required(
                "path", [&](const Node& n) {
                    std::string path;
                    Read(n, path);
                    if (path.empty()) n.Expected("an interface path");
                    extra.record.path = Widen(path);
                },
                "an interface path");
            r.Optional("instanceId", [&](const Node& n) {
                std::string id;
                Read(n, id);
                extra.record.instanceId = Widen(id);
            });
            r.Optional("index", [&](const Node& n) {
                std::uint32_t index = 0;
                Read(n, index);
                extra.index = index;
            });
            r.Optional("sizeQuery", [&](const Node& n) {
                using SizeQuery = platform::DeviceInterfaceRecord::SizeQuery;
                static const std::pair<const char*, SizeQuery> answers[] = {
                    {"fails", SizeQuery::Fails}, {"succeeds", SizeQuery::Succeeds}, {"reportsZero", SizeQuery::ReportsZero}};
                extra.record.sizeQuery = ReadChoice(n, answers);
            });
        });
        interfaces.push_back(std::move(extra));
    });
    return interfaces;
}

}  // namespace sim::load
