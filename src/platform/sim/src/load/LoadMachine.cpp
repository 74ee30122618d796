// The top level of a machine description, and the loader's entry points.
#include <fstream>
#include <sstream>

#include "Sections.h"
#include "Values.h"
#include "sim/DescriptionLoader.h"
#include "sim/WmiRepository.h"

namespace sim {

namespace {

UINT ReadCodePage(const load::Node& node)
{
    std::uint32_t page = 0;
    load::Read(node, page);
    if (page != 1252 && page != 65001 && page != 28591 && page != 20127)
        node.Expected("a supported code page (1252, 65001, 28591 or 20127)");
    return page;
}

}  // namespace

DescriptionError::DescriptionError(std::string path, const std::string& problem)
    : std::runtime_error(path + ": " + problem), m_path(std::move(path))
{
}

const DiskDescription* MachineDescription::FindDisk(std::uint32_t number) const
{
    for (const auto& disk : disks)
        if (disk.number == number) return &disk;
    return nullptr;
}

namespace {

MachineDescription ReadDescription(std::string_view json)
{
    load::Json document;
    try {
        document = load::Json::parse(json.begin(), json.end());
    } catch (const load::Json::parse_error& error) {
        // "[json.exception.parse_error.101] parse error at line 2, column 3: ..."
        std::string detail = error.what();
        if (const auto at = detail.find("] "); at != std::string::npos) detail.erase(0, at + 2);
        throw DescriptionError("$", "expected JSON text (" + detail + ")");
    }

    MachineDescription description;
    load::ReadObject(load::Node{document, "$"}, [&](load::ObjectReader& top) {
        top.Optional("codePage", [&](const load::Node& node) { description.codePage = ReadCodePage(node); });
        top.Optional("debuggerAttached", description.debuggerAttached);
        top.Optional("disks", [&](const load::Node& node) { description.disks = load::ReadDisks(node); });
        top.Optional("volumes", [&](const load::Node& node) { description.volumes = load::ReadVolumes(node); });
        top.Optional("interfaces", [&](const load::Node& node) { description.interfaces = load::ReadInterfaces(node); });
        top.Optional("wmi", [&](const load::Node& node) { description.wmi = load::ReadWmi(node); });
        top.Optional("faults", [&](const load::Node& node) {
            load::ReadObject(node, [&](load::ObjectReader& faults) {
                faults.Optional("guidText", [&](const load::Node& list) {
                    load::ReadArray(list, [&](const load::Node& guid) { description.faults.guidText.push_back(load::ReadGuid(guid)); });
                });
            });
        });
    });
    return description;
}

std::string ReadFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) throw DescriptionError("$", "expected a readable file at \"" + file.string() + "\"");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

MachineDescription ParseDescription(std::string_view json)
{
    MachineDescription description = ReadDescription(json);
    // The sections are checked against each other, and overrides that name
    // derived rows against the hardware, now, so that a machine made from the
    // description cannot fail.
    CheckDescription(description);
    WmiRepository check(description);
    return description;
}

MachineDescription LoadDescriptionFile(const std::filesystem::path& file) { return ParseDescription(ReadFile(file)); }

std::vector<DescriptionError> DescriptionProblems(std::string_view json)
{
    std::vector<DescriptionError> problems;
    MachineDescription description;
    {
        load::ProblemListing listing(problems);
        try {
            description = ReadDescription(json);
        } catch (const DescriptionError& problem) {
            problems.push_back(problem);
        }
    }
    // The sections are checked against each other only once each reads well.
    if (problems.empty()) {
        try {
            CheckDescription(description);
            WmiRepository check(description);
        } catch (const DescriptionError& problem) {
            problems.push_back(problem);
        }
    }
    return problems;
}

std::vector<DescriptionError> DescriptionFileProblems(const std::filesystem::path& file)
{
    std::string text;
    try {
        text = ReadFile(file);
    } catch (const DescriptionError& problem) {
        return {problem};
    }
    return DescriptionProblems(text);
}

}  // namespace sim
