// storcoll's JSON tells a text that was not read from one read as empty, at
// every depth of a message.
#include <gtest/gtest.h>

#include "ItemJson.h"
#include "physical_disk_static_info.pb.h"
#include "smart_static_info.pb.h"

namespace {

using Storcoll::Json;
using namespace Talvex::Quorlin::Datatypes;

TEST(ItemJsonPresence, UnsetOptionalTextIsAbsentAndEmptyOneIsShown)
{
    SmartStaticInfo smart;
    smart.set_name("SMART1");
    smart.set_model_name("");
    EXPECT_EQ(Storcoll::MessageToJson(smart), Json::parse(R"({"Name": "SMART1", "ModelName": ""})"));

    // Texts without presence are always shown; unset wrappers in repeated
    // messages stay absent.
    PhysicalDiskStaticInfo disk;
    disk.add_partitions()->mutable_index()->set_value(0);
    const Json json = Storcoll::MessageToJson(disk);
    EXPECT_EQ(json.at("Eppid"), "");
    const Json& partition = json.at("Partitions").at(0);
    EXPECT_EQ(partition.at("Index"), "0");
    EXPECT_FALSE(partition.contains("Size"));
}

}  // namespace
