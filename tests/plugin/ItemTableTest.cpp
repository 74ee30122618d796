#include "ItemTable.h"

#include <google/protobuf/wrappers.pb.h>
#include <gtest/gtest.h>

namespace {

using Talvex::Quorlin::Plugins::ItemTable;
using Message = google::protobuf::UInt64Value;

Message Value(std::uint64_t value)
{
    Message message;
    message.set_value(value);
    return message;
}

ItemTable<Message> ThreeDisks()
{
    ItemTable<Message> table;
    table.Add("Disk_C", Value(3));
    table.Add("Disk_A", Value(1));
    table.Add("Disk_B", Value(2));
    return table;
}

const Kvr::CollectionTime kWhen{std::chrono::milliseconds(1765000000123)};

TEST(ItemTable, DuplicateIdIsAnArgumentErrorAndLeavesTheTableAsItWas)
{
    auto table = ThreeDisks();
    try {
        table.Add("Disk_A", Value(9));
        FAIL() << "a duplicate was accepted";
    } catch (const Kvr::ArgumentException& error) {
        EXPECT_EQ(error.Message(), "An item with the same key has already been added. Key: Disk_A");
        EXPECT_EQ(error.TypeName(), "Kvr::ArgumentException");
    }
    EXPECT_EQ(table.Size(), 3u);
    EXPECT_EQ(table.Find("Disk_A")->value(), 1u);
}

TEST(ItemTable, AllItemsInTableOrderWithOneTime)
{
    const auto items = ThreeDisks().AllItems(kWhen);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].ItemId(), "Disk_C");
    EXPECT_EQ(items[0].Message().value(), 3u);
    EXPECT_EQ(items[2].ItemId(), "Disk_B");
    EXPECT_EQ(items[2].Message().value(), 2u);
    for (const auto& item : items) {
        EXPECT_EQ(item.Time(), kWhen);
    }
    EXPECT_TRUE(ItemTable<Message>().AllItems(kWhen).empty());
}

}  // namespace
