// Tests over the scripted library: a fresh library per test, a simulated
// machine for the WMI drive list, and a teardown that fails the test when a
// library object was leaked or released without being the caller's.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "FakeStordex.h"
#include "MessageLeaves.h"
#include "NvmeDataGetter.h"
#include "SimMachineFixture.h"
#include "kvr/host/RecordingLog.h"

namespace nvme_test {

using Lines = std::vector<std::pair<Kvr::LogLevel, std::string>>;

class FakeLibraryTest : public SimMachineFixture {
protected:
    void SetUp() override { library.Reset(); }
    void TearDown() override
    {
        EXPECT_EQ(library.Live(), 0) << "library objects never released";
        EXPECT_EQ(library.StrayReleases(), 0) << "releases of objects the caller does not own";
        SimMachineFixture::TearDown();
    }

    // The message of drive `drive`'s Identify object, released afterwards.
    Talvex::Quorlin::Datatypes::NvmeIdentifyControllerData ConvertIdentify(std::uint32_t drive = 0)
    {
        const std::shared_ptr<talvex::stordex::nvme::IIdentifyControllerData> object(
            SXNvmNewIdentifyControllerData(drive), SXDelete);
        auto message = Talvex::Quorlin::Plugins::NvmeDataGetter::toIdentifyControllerData(object.get());
        EXPECT_TRUE(message.has_value());
        return message.value_or(Talvex::Quorlin::Datatypes::NvmeIdentifyControllerData{});
    }

    // Win32_DiskDrive rows, one per drive number and PNP device id, in this order.
    void DescribeDisks(const std::vector<std::pair<std::uint32_t, std::string>>& disks)
    {
        std::string json = R"({"disks": [)";
        for (const auto& [number, pnpDeviceId] : disks) {
            if (json.back() == '}') json += ", ";
            json += R"({"number": )" + std::to_string(number) + R"(, "model": "Model )" + std::to_string(number) +
                    R"(", "pnpDeviceId": ")" + JsonText(pnpDeviceId) + R"(", "sizeBytes": 1000000000})";
        }
        Describe(json + "]}");
    }

    static std::string JsonText(const std::string& text)
    {
        std::string escaped;
        for (const char c : text) {
            if (c == '\\' || c == '"') escaped += '\\';
            escaped += c;
        }
        return escaped;
    }

    // Level and text of each record; every one must name `function` of `file`.
    Lines Logged(const std::string& file, const std::string& function) const
    {
        Lines logged;
        for (const auto& record : log->Records()) {
            EXPECT_EQ(record.File, file) << record.Text;
            EXPECT_EQ(record.Function, function) << record.Text;
            EXPECT_GT(record.Line, 0) << record.Text;
            logged.emplace_back(record.Level, record.Text);
        }
        return logged;
    }

    long Count(const std::string& call) const
    {
        const auto calls = library.Calls();
        return std::count(calls.begin(), calls.end(), call);
    }

    // Every value the object answered, and nothing else, lands in the field of
    // its own name: numbers widened unchanged, texts up to their first NUL, the
    // 16-byte values and the OUI as their Hex() text.
    static void ExpectFed(const stordex_fake::Answers& answers, const google::protobuf::Message& message)
    {
        const auto leaves = Leaves(message);
        std::set<std::string> fed;
        for (const auto& [path, kind] : answers.Read()) {
            if (kind != stordex_fake::Answers::Kind::Object) fed.insert(path);
        }
        std::set<std::string> filled;
        for (const auto& [path, leaf] : leaves) filled.insert(path);
        EXPECT_EQ(filled, fed);
        for (const auto& [path, leaf] : leaves) {
            if (!fed.count(path)) continue;
            if (leaf.kind == Leaf::Kind::Number || leaf.kind == Leaf::Kind::Flag) {
                EXPECT_EQ(leaf.raw, answers.Answered(path)) << path;
            } else if (leaf.kind == Leaf::Kind::Bytes || path == "IeeeOuiIdentifier") {
                EXPECT_EQ(leaf.text, answers.AnsweredHex(path)) << path;
            } else {
                const std::string bytes = answers.AnsweredBytes(path);
                EXPECT_EQ(leaf.text, bytes.substr(0, bytes.find('\0'))) << path;
            }
        }
    }

    // Flags are all false unless set, so each of drive 0's `count` flags is set
    // alone in turn: exactly its own field, and no other, must read 1.
    template <class Convert>
    void ExpectEachFlagAlone(std::shared_ptr<stordex_fake::Answers> stordex_fake::DriveScript::*answers,
                             std::size_t count, Convert convert)
    {
        library.Drive(0);
        convert();
        std::set<std::string> flags;
        for (const auto& [path, kind] : (library.Drive(0).*answers)->Read()) {
            if (kind == stordex_fake::Answers::Kind::Flag) flags.insert(path);
        }
        ASSERT_EQ(flags.size(), count);
        for (const auto& flag : flags) {
            library.Reset();
            (library.Drive(0).*answers)->Set(flag, 1);
            const auto leaves = Leaves(convert());
            for (const auto& other : flags) {
                ASSERT_TRUE(leaves.count(other)) << other;
                EXPECT_EQ(leaves.at(other).raw, other == flag ? 1u : 0u) << "set " << flag << ", read " << other;
            }
        }
    }

    stordex_fake::Library& library = stordex_fake::Library::Instance();
    std::shared_ptr<Kvr::Host::RecordingLog> log = std::make_shared<Kvr::Host::RecordingLog>();
};

}  // namespace nvme_test
