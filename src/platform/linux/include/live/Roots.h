// Where the live machine reads the system: sysfs, procfs and the device
// nodes. Tests point them at recorded trees.
#pragma once

#include <chrono>
#include <filesystem>

namespace live {

struct Roots {
    std::filesystem::path Sys = "/sys";
    std::filesystem::path Proc = "/proc";
    std::filesystem::path Dev = "/dev";
};

struct LiveOptions {
    // The time between the two samples of the disks' counters from which the
    // performance class computes its rates and percentages.
    std::chrono::milliseconds SampleInterval{250};
};

}  // namespace live
