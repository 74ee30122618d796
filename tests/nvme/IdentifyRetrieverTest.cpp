// The drive walk and the Identify Controller retriever over the scripted
// library, with the drive list from a simulated machine's WMI.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CommonCLI/ExceptionSupport.h"
#include "FakeLibraryFixture.h"
#include "NvmeIdentifyControllerDataRetriever.h"

namespace {

using namespace nvme_test;
using Kvr::LogLevel;
using stordex_fake::VendorArea;
using talvex::stordex::StorageBusType;
using Talvex::Quorlin::Datatypes::NvmeIdentifyControllerData;
using Talvex::Quorlin::Plugins::NvmeIdentifyControllerDataRetriever;
using Talvex::Quorlin::Plugins::NvmeDataGetter::GetIdentifyControllerData;

class IdentifyRetriever : public FakeLibraryTest {
protected:
    Lines Logged() const
    {
        return FakeLibraryTest::Logged("src/Plugins/StorageCollector/NvmeIdentifyControllerDataRetriever",
                                       "Talvex::Quorlin::Plugins::NvmeIdentifyControllerDataRetriever::CollectData");
    }

    NvmeIdentifyControllerDataRetriever retriever{log};
};

TEST_F(IdentifyRetriever, AllItemsInDriveOrderWithTheirLogLines)
{
    DescribeDisks({{2, "RAID\\VEN_1000\\2"}, {0, "PCI\\VEN_144D\\0"}, {3, "PCI\\3"}, {5, "SCSI\\5"}});
    auto& nvme = library.Drive(0);
    nvme.identify->SetBytes("FruGloballyUniqueIdentifier", "\x34\x12");
    nvme.identify->SetBytes("TotalNvmCapacity", "");
    nvme.identify->SetBytes("UnallocatedNvmCapacity", std::string("\x00\x01", 2));
    nvme.identify->SetBytes("SerialNumber", "S0" + std::string(18, ' '));
    library.Drive(1).busType = StorageBusType::Sata;
    auto& raid = library.Drive(2);
    raid.busType = StorageBusType::RAID;
    raid.identify->SetBytes("FruGloballyUniqueIdentifier", "");
    raid.identify->SetBytes("TotalNvmCapacity", std::string("\x00\x60\x25\x3C\x77", 5));
    raid.identify->SetBytes("UnallocatedNvmCapacity", "\x01");
    raid.identify->SetBytes("SerialNumber", "S2");
    library.Drive(3).hasIdentify = false;
    library.Drive(5).busType = StorageBusType::Scsi;

    const auto items = retriever.CollectData(std::nullopt);
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(items->size(), 2u);
    EXPECT_EQ((*items)[0].ItemId(), "Disk_PCI\\VEN_144D\\0");
    EXPECT_EQ((*items)[0].Message().serial_number(), "S0");
    EXPECT_EQ((*items)[1].ItemId(), "Disk_RAID\\VEN_1000\\2");
    EXPECT_EQ((*items)[1].Message().serial_number(), "S2");
    EXPECT_EQ((*items)[0].Time(), (*items)[1].Time());

    const Lines expected{
        {LogLevel::Debug, "datatypeId: 'NvmeIdentifyControllerData', itemId: ''"},
        {LogLevel::Trace,
         "Disk_PCI\\VEN_144D\\0 ByteStringObjects: FruGloballyUniqueIdentifier: 0x1234, TotalNvmCapacity: 0x00, "
         "UnallocatedNvmCapacity: 0x0100"},
        {LogLevel::Trace,
         "Disk_RAID\\VEN_1000\\2 ByteStringObjects: FruGloballyUniqueIdentifier: 0x00, TotalNvmCapacity: "
         "0x773C256000, UnallocatedNvmCapacity: 0x01"},
        {LogLevel::Debug, "get all data for NvmeIdentifyControllerDataRetriever"},
        {LogLevel::Trace, "Got total info for NvmeIdentifyControllerDataRetriever: 2"},
    };
    EXPECT_EQ(Logged(), expected);

    EXPECT_EQ(Count("SXNvmNewIdentifyControllerData(3)"), 1);
    EXPECT_EQ(library.Released(), library.Created());
    // Drive 3's missing object is handed back by its owner too.
    EXPECT_EQ(library.NullReleases(), 1);
}

TEST_F(IdentifyRetriever, OneRequestedItemOrTheOutOfRangeError)
{
    DescribeDisks({{0, "PCI\\0"}, {1, "PCI\\1"}});
    library.Drive(0);
    library.Drive(1).identify->SetBytes("ModelNumber", "Second");

    const auto items = retriever.CollectData(std::string("Disk_PCI\\1"));
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(items->size(), 1u);
    EXPECT_EQ(items->front().ItemId(), "Disk_PCI\\1");
    EXPECT_EQ(items->front().Message().model_number(), "Second");
    const auto logged = Logged();
    ASSERT_EQ(logged.size(), 5u);
    EXPECT_EQ(logged[0].second, "datatypeId: 'NvmeIdentifyControllerData', itemId: 'Disk_PCI\\1'");
    EXPECT_EQ(logged[3], Lines::value_type(LogLevel::Debug,
                                           "get specific data for NvmeIdentifyControllerDataRetriever, itemID: Disk_PCI\\1"));
    EXPECT_EQ(logged[4], Lines::value_type(LogLevel::Trace, "Got total info for NvmeIdentifyControllerDataRetriever: 1"));

    try {
        retriever.CollectData(std::string("Disk_pci\\1"));
        ADD_FAILURE() << "an id differing in case was found";
    } catch (const Kvr::ArgumentOutOfRangeException& error) {
        EXPECT_EQ(error.Message(), "cannot find data with specific ID: Disk_pci\\1");
    }
}

TEST_F(IdentifyRetriever, NoQualifyingDriveGivesAnEmptyList)
{
    library.Drive(4).busType = StorageBusType::Sata;
    library.Drive(6).hasIdentify = false;
    const auto items = retriever.CollectData(std::string());
    ASSERT_TRUE(items.has_value());
    EXPECT_TRUE(items->empty());
    const Lines expected{
        {LogLevel::Debug, "datatypeId: 'NvmeIdentifyControllerData', itemId: ''"},
        {LogLevel::Debug, "No identify controller data has been reached out"},
    };
    EXPECT_EQ(Logged(), expected);
}

// A standard exception anywhere in the walk (the library, the conversion,
// the drive list) is logged in host text, and what was converted is dropped.
TEST_F(IdentifyRetriever, AStandardExceptionGivesTheErrorLineAndAnEmptyList)
{
    DescribeDisks({{0, "PCI\\0"}, {2, "PCI\\2"}});
    library.Drive(0);
    library.Drive(2);
    library.FailCall("SXNvmNewIdentifyControllerData(2)", "drive 2 caf\xE9");
    auto items = retriever.CollectData(std::nullopt);
    ASSERT_TRUE(items.has_value());
    EXPECT_TRUE(items->empty());
    const Lines expected{
        {LogLevel::Debug, "datatypeId: 'NvmeIdentifyControllerData', itemId: ''"},
        {LogLevel::Error, "Exception from GetIdentifyControllerData() : drive 2 caf\xC3\xA9"},
    };
    EXPECT_EQ(Logged(), expected);

    log->Clear();
    library.Reset();
    library.Drive(0);
    library.Drive(2).identify->ThrowAt("CustomizedControllerData.Guid", "vendor area torn");
    items = retriever.CollectData(std::nullopt);
    ASSERT_TRUE(items.has_value());
    EXPECT_TRUE(items->empty());
    ASSERT_EQ(log->Count(), 2u);
    EXPECT_EQ(log->Records()[1].Text, "Exception from GetIdentifyControllerData() : vendor area torn");
    // The failing drive's object and its vendor object went back too.
    EXPECT_EQ(Count("SXDelete(VendorSpecificInfo)"), 2);
    EXPECT_EQ(Count("SXDelete(IdentifyControllerData)"), 2);

    log->Clear();
    library.Reset();
    library.Drive(0);
    Describe(R"({"wmi": {"root\\cimv2": {"fail": "0x80041003"}}})");
    items = retriever.CollectData(std::nullopt);
    ASSERT_TRUE(items.has_value());
    EXPECT_TRUE(items->empty());
    ASSERT_EQ(log->Count(), 2u);
    EXPECT_EQ(log->Records()[1].Level, LogLevel::Error);
    EXPECT_EQ(log->Records()[1].Text.rfind("Exception from GetIdentifyControllerData() : ", 0), 0u);
    // The drive list comes first: the library was never asked.
    EXPECT_TRUE(library.Calls().empty());
}

// Two drives without WMI rows both resolve to "Disk_": the host error of the
// table passes the retriever and fails the whole call in the item handler.
TEST_F(IdentifyRetriever, ADuplicateItemIdFailsTheCall)
{
    DescribeDisks({{0, "PCI\\0"}});
    library.Drive(0);
    library.Drive(4);
    library.Drive(6);
    using Handler = Talvex::Quorlin::Cpp::Common::ItemHandler<Kvr::DatatypeItemList<NvmeIdentifyControllerData>>;
    try {
        Handler::ExecuteHandlingException([this](const auto& id) { return retriever.CollectData(id); }, std::nullopt,
                                          Talvex::Quorlin::Cpp::Common::NotSupportedExceptionBehaviour::WrapInKvrException,
                                          *log, std::nullopt);
        ADD_FAILURE() << "the duplicate went unnoticed";
    } catch (const Kvr::KvrException& error) {
        ASSERT_NE(error.InnerException(), nullptr);
        EXPECT_EQ(error.InnerException()->TypeName(), "Kvr::ArgumentException");
    }
    const auto records = log->Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].Level, LogLevel::Error);
    EXPECT_EQ(records[1].Text, "Exception : An item with the same key has already been added. Key: Disk_");
    // Drive 6's object, whose id failed, went back like drive 4's.
    EXPECT_EQ(Count("SXDelete(IdentifyControllerData)"), 3);
    EXPECT_EQ(library.Released(), library.Created());
}

// The PNP device id is native text: the host reads it in the ANSI code page.
TEST_F(IdentifyRetriever, TheItemIdIsThePnpDeviceIdAsHostText)
{
    DescribeDisks({{1, "PCI\\\xC3\x89"}});
    library.Drive(1);
    const auto table = GetIdentifyControllerData();
    ASSERT_EQ(table.Size(), 1u);
    EXPECT_EQ(table.begin()->ItemId, "Disk_PCI\\\xC3\x83\xE2\x80\xB0");
}

// Only NVMe (17) and RAID (8) drives are asked, whatever their number; the
// walk reaches the mask's top bit and goes in ascending order.
TEST_F(IdentifyRetriever, TheWalkAsksOnlyNvmeAndRaidDrivesInAscendingOrder)
{
    std::vector<std::pair<std::uint32_t, std::string>> disks;
    for (std::uint32_t number = 0; number <= 20; ++number) {
        library.Drive(number).busType = static_cast<StorageBusType>(number);
        disks.emplace_back(number, "PNP\\" + std::to_string(number));
    }
    library.Drive(31);
    disks.emplace_back(31, "PNP\\31");
    DescribeDisks(disks);

    const auto table = GetIdentifyControllerData();
    std::vector<std::string> ids;
    for (const auto& entry : table) ids.push_back(entry.ItemId);
    EXPECT_EQ(ids, (std::vector<std::string>{"Disk_PNP\\8", "Disk_PNP\\17", "Disk_PNP\\31"}));
    std::vector<std::string> asked;
    for (const auto& call : library.Calls()) {
        if (call.rfind("SXNvmNew", 0) == 0) asked.push_back(call);
    }
    EXPECT_EQ(asked, (std::vector<std::string>{"SXNvmNewIdentifyControllerData(8)",
                                               "SXNvmNewIdentifyControllerData(17)",
                                               "SXNvmNewIdentifyControllerData(31)"}));
    EXPECT_EQ(Count("SXQueryStorageBusType(21)"), 0);
}

// Each object goes back once: the vendor object when its message is done, the
// Identify object after the message is in the table, before the next drive.
TEST_F(IdentifyRetriever, EveryObjectIsReleasedOnceAndInTurn)
{
    DescribeDisks({{0, "PCI\\0"}, {1, "PCI\\1"}});
    library.Drive(0);
    library.Drive(1).vendor = VendorArea::Plain;
    GetIdentifyControllerData();
    const std::vector<std::string> expected{
        "SXGetPhysicalDrives()",
        "SXQueryStorageBusType(0)",
        "SXNvmNewIdentifyControllerData(0)",
        "SXDelete(VendorSpecificInfo)",
        "SXDelete(IdentifyControllerData)",
        "SXQueryStorageBusType(1)",
        "SXNvmNewIdentifyControllerData(1)",
        "SXDelete(VendorSpecificInfo)",
        "SXDelete(IdentifyControllerData)",
    };
    EXPECT_EQ(library.Calls(), expected);

    library.Reset();
    library.Drive(0).identify->ThrowAt("Version.Major");
    EXPECT_THROW(GetIdentifyControllerData(), std::runtime_error);
    EXPECT_EQ(library.Calls().back(), "SXDelete(IdentifyControllerData)");
    EXPECT_EQ(Count("SXDelete(VendorSpecificInfo)"), 0);
}

}  // namespace
