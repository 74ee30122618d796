#include "SysfsFiles.h"

#include <fstream>
#include <sstream>

namespace live::files {

std::optional<std::string> Read(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return text.str();
}

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::string Text(const std::filesystem::path& path) { return Trim(Read(path).value_or("")); }

std::optional<std::uint64_t> Number(const std::filesystem::path& path)
{
    const std::string text = Text(path);
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

std::vector<std::uint64_t> Fields(const std::filesystem::path& path)
{
    std::vector<std::uint64_t> fields;
    std::istringstream in(Read(path).value_or(""));
    std::uint64_t value = 0;
    while (in >> value) fields.push_back(value);
    return fields;
}

}  // namespace live::files
