// The health retriever over the scripted library.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeLibraryFixture.h"
#include "SmartNvmeInfoRetriever.h"

namespace {

using namespace nvme_test;
using Kvr::LogLevel;
using talvex::stordex::StorageBusType;
using Talvex::Quorlin::Plugins::SmartNvmeInfoRetriever;

class HealthRetriever : public FakeLibraryTest {
protected:
    Lines Logged() const
    {
        return FakeLibraryTest::Logged("src/Plugins/StorageCollector/SmartNvmeInfoRetriever",
                                       "Talvex::Quorlin::Plugins::SmartNvmeInfoRetriever::CollectData");
    }

    SmartNvmeInfoRetriever retriever{log};
};

// No opening line and none for "all items": only the count.
TEST_F(HealthRetriever, AllItemsWithOnlyTheCountLogged)
{
    DescribeDisks({{1, "PCI\\1"}, {3, "RAID\\3"}});
    library.Drive(1).health->Set("PercentageUsed", 17);
    library.Drive(2).busType = StorageBusType::Usb;
    library.Drive(3).busType = StorageBusType::RAID;
    library.Drive(3).hasCustomizedHealth = false;

    const auto items = retriever.CollectData(std::nullopt);
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(items->size(), 2u);
    EXPECT_EQ((*items)[0].ItemId(), "Disk_PCI\\1");
    EXPECT_EQ((*items)[0].Message().health_info().percentage_used().value(), 17u);
    EXPECT_TRUE((*items)[0].Message().has_customized_health_info());
    EXPECT_EQ((*items)[1].ItemId(), "Disk_RAID\\3");
    EXPECT_TRUE((*items)[1].Message().has_health_info());
    EXPECT_FALSE((*items)[1].Message().has_customized_health_info());
    EXPECT_EQ((*items)[0].Time(), (*items)[1].Time());
    const Lines expected{
        {LogLevel::Trace, "Got total info for SmartNvmeInfoCollector: 2"}};
    EXPECT_EQ(Logged(), expected);
}

TEST_F(HealthRetriever, OneRequestedItemOrTheOutOfRangeError)
{
    DescribeDisks({{1, "PCI\\1"}, {3, "PCI\\3"}});
    library.Drive(1);
    library.Drive(3).health->Set("AvailableSpare", 42);
    const auto items = retriever.CollectData(std::string("Disk_PCI\\3"));
    ASSERT_TRUE(items.has_value());
    ASSERT_EQ(items->size(), 1u);
    EXPECT_EQ(items->front().ItemId(), "Disk_PCI\\3");
    EXPECT_EQ(items->front().Message().health_info().available_spare().value(), 42u);
    const Lines expected{
        {LogLevel::Debug, "Specific data for SmartNvmeInfoRetriever, itemId : Disk_PCI\\3"},
        {LogLevel::Trace, "Got total info for SmartNvmeInfoCollector: 1"}};
    EXPECT_EQ(Logged(), expected);

    EXPECT_THROW(retriever.CollectData(std::string("Disk_PCI\\2")), Kvr::ArgumentOutOfRangeException);
}

TEST_F(HealthRetriever, NoQualifyingDriveGivesAnEmptyList)
{
    library.Drive(0).hasHealth = false;
    library.Drive(1).busType = StorageBusType::Sas;
    const auto items = retriever.CollectData(std::string("Disk_X"));
    ASSERT_TRUE(items.has_value());
    EXPECT_TRUE(items->empty());
    const Lines expected{
        {LogLevel::Debug, "No SMART NVMe data has been reached out"}};
    EXPECT_EQ(Logged(), expected);
}

TEST_F(HealthRetriever, AStandardExceptionGivesTheErrorLineAndAnEmptyList)
{
    DescribeDisks({{0, "PCI\\0"}, {1, "PCI\\1"}});
    library.Drive(0);
    library.Drive(1).customizedHealth->ThrowAt("WearLevelingCount", "log CAh: \xB5s timeout");
    const auto items = retriever.CollectData(std::nullopt);
    ASSERT_TRUE(items.has_value());
    EXPECT_TRUE(items->empty());
    const Lines expected{
        {LogLevel::Error, "Exception from GetNvmeHealthData() : log CAh: \xC2\xB5s timeout"}};
    EXPECT_EQ(Logged(), expected);

    log->Clear();
    library.Reset();
    library.FailCall("SXGetPhysicalDrives()", "no drive list");
    EXPECT_TRUE(retriever.CollectData(std::nullopt).value().empty());
    EXPECT_EQ(Logged(), (Lines{
                            {LogLevel::Error, "Exception from GetNvmeHealthData() : no drive list"}}));
}

TEST_F(HealthRetriever, ADuplicateItemIdIsRaisedAsTheHostError)
{
    library.Drive(0);
    library.Drive(1).busType = StorageBusType::RAID;
    try {
        retriever.CollectData(std::nullopt);
        ADD_FAILURE() << "the duplicate went unnoticed";
    } catch (const Kvr::ArgumentException& error) {
        EXPECT_EQ(error.Message(), "An item with the same key has already been added. Key: Disk_");
    }
    EXPECT_EQ(log->Count(), 0u);
    EXPECT_EQ(library.Released(), library.Created());
    EXPECT_EQ(library.Created(), 8);
}

}  // namespace
