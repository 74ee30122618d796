#include <gtest/gtest.h>

#include <thread>

#include "platform/Machine.h"
#include "platform/WideText.h"
#include "sim/SimMachine.h"

namespace {

TEST(MachineScope, NestsAndStaysOnItsThread)
{
    sim::SimMachine outer;
    sim::SimMachine inner;
    outer.SetAnsiCodePage(28591);
    inner.SetAnsiCodePage(CP_UTF8);
    platform::MachineScope outerScope(outer);
    {
        platform::MachineScope innerScope(inner);
        EXPECT_EQ(&platform::CurrentMachine(), &inner);
        std::thread([&] { EXPECT_NE(&platform::CurrentMachine(), &inner); }).join();
    }
    EXPECT_EQ(&platform::CurrentMachine(), &outer);
}

TEST(ResourceLedger, CountsTaskMemoryOfTheMachineInScope)
{
    sim::SimMachine machine;
    platform::MachineScope scope(machine);
    const GUID guid{};
    LPOLESTR text = nullptr;
    ASSERT_EQ(StringFromCLSID(guid, &text), S_OK);
    EXPECT_EQ(machine.Ledger().Open(platform::Resource::TaskMemory), 1);
    CoTaskMemFree(text);
    EXPECT_EQ(machine.Ledger().OpenTotal(), 0);
}

TEST(ResourceLedger, ReportsWhatIsStillOpen)
{
    platform::ResourceLedger ledger;
    ledger.Acquired(platform::Resource::Handle);
    ledger.Acquired(platform::Resource::Handle);
    ledger.Acquired(platform::Resource::Bstr);
    ledger.Released(platform::Resource::Handle);
    EXPECT_EQ(ledger.OpenReport(), "Handle: 1, Bstr: 1");
    EXPECT_EQ(ledger.Acquisitions(platform::Resource::Handle), 2);
    ledger.Released(platform::Resource::Handle);
    ledger.Released(platform::Resource::Bstr);
    EXPECT_EQ(ledger.OpenReport(), "");
}

TEST(WideText, RoundTripsSixteenBitUnitsWithSurrogates)
{
    WCHAR units[8] = {};
    platform::ToUnits(L"C:\U0001F4BE", units, 8);
    EXPECT_EQ(units[2], 0xD83D);
    EXPECT_EQ(units[3], 0xDCBE);
    EXPECT_EQ(units[4], 0);
    EXPECT_EQ(platform::FromUnits(units, 8), L"C:\U0001F4BE");
    EXPECT_EQ(platform::UnitLength(L"C:\U0001F4BE"), 4u);
    // Cut to the capacity, terminator included.
    platform::ToUnits(L"abcdef", units, 4);
    EXPECT_EQ(platform::FromUnits(units, 8), L"abc");
    // A text that fills its field has no terminator.
    const WCHAR full[3] = {u'x', u'y', u'z'};
    EXPECT_EQ(platform::FromUnits(full, 3), L"xyz");
}

}  // namespace
