// A test's output compared with a reviewed record kept beside the test as a data file.
// STORCOLL_RECORD=1 in the environment writes the record anew instead, for review in
// the diff; a mismatch names the first line that differs, so the failing row is plain.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace test_support {

inline std::string ReadFileText(const std::string& path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

inline void ExpectRecorded(const std::string& actual, const std::string& path)
{
    if (std::getenv("STORCOLL_RECORD") != nullptr) std::ofstream(path) << actual;
    const std::string expected = ReadFileText(path);
    if (actual == expected) return;
    std::istringstream got(actual), want(expected);
    std::string gotLine, wantLine;
    for (int line = 1;; ++line) {
        const bool more = static_cast<bool>(std::getline(got, gotLine));
        const bool wanted = static_cast<bool>(std::getline(want, wantLine));
        if (!more && !wanted) break;
        if (more != wanted || gotLine != wantLine) {
            ADD_FAILURE() << path << " line " << line << "\n  recorded: " << (wanted ? wantLine : "<end>")
                          << "\n  now:      " << (more ? gotLine : "<end>");
            return;
        }
    }
    ADD_FAILURE() << path << " differs only in its last line break";
}

}  // namespace test_support
