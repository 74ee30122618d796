// Checks that what Linux builds take for granted also holds in the Windows
// build run under Wine: messages and exceptions crossing a DLL boundary with
// the runtime and protobuf linked statically, SDK calls, and COM/WMI.
#include <google/protobuf/util/json_util.h>
#include <google/protobuf/util/message_differencer.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "ProbeLib.h"
#include "WinHeaders.h"

namespace {

TEST(DllBoundary, MessageMadeInDllParsesInProgram)
{
    const smoke::Probe made = smoke::MakeProbe("disk1", 0);
    smoke::Probe parsed;
    ASSERT_TRUE(parsed.ParseFromString(smoke::Encode(made)));
    EXPECT_EQ(parsed.name(), "disk1");
    // A wrapper set to zero stays distinguishable from an unset one.
    ASSERT_TRUE(parsed.has_size());
    EXPECT_EQ(parsed.size().value(), 0u);
    ASSERT_EQ(parsed.blocks_size(), 1);
    EXPECT_EQ(parsed.blocks(0), std::string("\x00\xff", 2));
    // The program's own encoding matches the DLL's byte for byte.
    EXPECT_EQ(parsed.SerializeAsString(), smoke::Encode(made));
}

TEST(DllBoundary, ReflectionAgreesAcrossModules)
{
    EXPECT_EQ(smoke::Probe::descriptor()->full_name(), smoke::ProbeTypeName());
    const auto* size = smoke::Probe::descriptor()->FindFieldByName("size");
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->message_type()->full_name(), "google.protobuf.UInt64Value");
    smoke::Probe probe = smoke::MakeProbe("disk2", 7);
    const auto* reflection = probe.GetReflection();
    EXPECT_TRUE(reflection->HasField(probe, size));
    reflection->ClearField(&probe, size);
    EXPECT_FALSE(probe.has_size());
}

// One protobuf in the process: a wrapper made by the program's code and one
// made by the DLL's share a descriptor, so comparing, printing and parsing
// across modules work. A protobuf linked statically into each module gives
// each its own descriptor pool, and this fails.
TEST(DllBoundary, ModulesShareOneDescriptorPool)
{
    smoke::Probe here;
    here.set_name("disk3");
    here.mutable_size()->set_value(9);
    here.add_blocks(std::string("\x00\xff", 2));
    const smoke::Probe there = smoke::MakeProbe("disk3", 9);
    EXPECT_EQ(here.size().GetDescriptor(), there.size().GetDescriptor());
    EXPECT_TRUE(google::protobuf::util::MessageDifferencer::Equals(here, there));

    smoke::Probe parsed;
    ASSERT_TRUE(google::protobuf::util::JsonStringToMessage(R"({"name":"disk3","size":"9"})", &parsed).ok());
    EXPECT_EQ(parsed.size().GetDescriptor(), there.size().GetDescriptor());
    EXPECT_EQ(parsed.size().value(), 9u);
}

TEST(DllBoundary, ExceptionThrownInDllIsCaughtByType)
{
    try {
        (void)smoke::MakeProbe("", 1);
        FAIL() << "no exception";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "probe name is empty");
    }
}

TEST(Kernel32, Utf8ToWideAndItsFailures)
{
    wchar_t out[8] = {};
    // "é" followed by U+1F600, which needs a surrogate pair.
    const char text[] = "\xC3\xA9\xF0\x9F\x98\x80";
    const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, out, 8);
    ASSERT_EQ(n, 4);
    EXPECT_EQ(out[0], 0x00E9);
    EXPECT_EQ(out[1], 0xD83D);
    EXPECT_EQ(out[2], 0xDE00);
    EXPECT_EQ(out[3], 0);

    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, 0, out, 8), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, -1, out, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(Com, WbemLocatorCanBeCreated)
{
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    IWbemLocator* locator = nullptr;
    const HRESULT hr = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IWbemLocator, reinterpret_cast<void**>(&locator));
    EXPECT_EQ(hr, S_OK);
    ASSERT_NE(locator, nullptr);
    BSTR resource = SysAllocString(L"ROOT\\CIMV2");
    EXPECT_EQ(SysStringLen(resource), 10u);
    SysFreeString(resource);
    locator->Release();
    CoUninitialize();
}

}  // namespace
