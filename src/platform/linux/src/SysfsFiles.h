// Reading the small text files of sysfs and procfs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace live::files {

// The whole file, or nothing when it cannot be read.
std::optional<std::string> Read(const std::filesystem::path& path);
// The file without surrounding blanks and line ends; empty when unreadable.
std::string Text(const std::filesystem::path& path);
std::optional<std::uint64_t> Number(const std::filesystem::path& path);
// The blank-separated decimal fields of a one-line file (a disk's stat).
std::vector<std::uint64_t> Fields(const std::filesystem::path& path);
std::string Trim(const std::string& text);

}  // namespace live::files
