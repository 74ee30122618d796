// Shape of the message schema, checked through the descriptors so that every
// field of every message is covered, including fields added later.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <deque>
#include <map>
#include <set>
#include <string>

#include "nvme_identify_controller_data.pb.h"
#include "physical_disk_dynamic_info.pb.h"
#include "physical_disk_static_info.pb.h"
#include "smart_dynamic_info.pb.h"
#include "smart_nvme_info.pb.h"
#include "smart_static_info.pb.h"

namespace {

namespace dt = Talvex::Quorlin::Datatypes;
using google::protobuf::Descriptor;
using google::protobuf::FieldDescriptor;

constexpr const char* kPackage = "Talvex.Quorlin.Datatypes";

std::vector<const Descriptor*> TopLevel()
{
    return {dt::PhysicalDiskStaticInfo::descriptor(), dt::PhysicalDiskDynamicInfo::descriptor(),
            dt::SmartStaticInfo::descriptor(), dt::SmartDynamicInfo::descriptor(),
            dt::NvmeIdentifyControllerData::descriptor(), dt::SmartNvmeInfo::descriptor()};
}

// Every message of our package reachable from the top-level messages; the
// well-known wrapper types are not walked into.
std::vector<const Descriptor*> Reachable()
{
    std::vector<const Descriptor*> seen;
    std::deque<const Descriptor*> todo;
    for (auto* d : TopLevel()) todo.push_back(d);
    while (!todo.empty()) {
        const Descriptor* d = todo.front();
        todo.pop_front();
        if (d->file()->package() != kPackage) continue;
        if (std::find(seen.begin(), seen.end(), d) != seen.end()) continue;
        seen.push_back(d);
        for (int i = 0; i < d->field_count(); ++i)
            if (const Descriptor* m = d->field(i)->message_type()) todo.push_back(m);
    }
    return seen;
}

std::string Squash(const std::string& s)
{
    std::string out;
    for (char c : s)
        if (c != '_') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Every field carries its upper-camel system name, and fields are numbered
// from one in the order they are declared.
TEST(DatatypesSchema, EveryFieldCarriesTheUpperCamelSystemName)
{
    const auto messages = Reachable();
    ASSERT_FALSE(messages.empty());
    for (const Descriptor* d : messages) {
        for (int i = 0; i < d->field_count(); ++i) {
            const FieldDescriptor* f = d->field(i);
            SCOPED_TRACE(f->full_name());
            EXPECT_TRUE(f->has_json_name());
            ASSERT_FALSE(f->json_name().empty());
            EXPECT_TRUE(std::isupper(static_cast<unsigned char>(f->json_name()[0])));
            EXPECT_NE(f->json_name(), f->camelcase_name());
            // The snake_case name and the system name spell the same words, so a
            // json_name pasted onto the wrong field shows up here.
            EXPECT_EQ(Squash(f->name()), Squash(f->json_name()));
            EXPECT_EQ(f->number(), i + 1);
        }
    }
}

// Scalars must be wrappers so that "not read" differs from zero; only text,
// bytes and the disk type enum may be plain.
TEST(DatatypesSchema, NoBareNumberOrFlag)
{
    const std::set<std::string> wrappers = {
        "google.protobuf.UInt32Value", "google.protobuf.UInt64Value", "google.protobuf.Int32Value",
        "google.protobuf.Int64Value", "google.protobuf.BoolValue"};
    for (const Descriptor* d : Reachable()) {
        for (int i = 0; i < d->field_count(); ++i) {
            const FieldDescriptor* f = d->field(i);
            SCOPED_TRACE(f->full_name());
            switch (f->type()) {
            case FieldDescriptor::TYPE_STRING:
            case FieldDescriptor::TYPE_BYTES:
                break;
            case FieldDescriptor::TYPE_ENUM:
                EXPECT_EQ(f->full_name(), "Talvex.Quorlin.Datatypes.PhysicalDiskStaticInfo.type");
                break;
            case FieldDescriptor::TYPE_MESSAGE:
                if (f->message_type()->file()->package() != kPackage) {
                    EXPECT_TRUE(wrappers.count(f->message_type()->full_name()));
                }
                break;
            default:
                ADD_FAILURE() << "bare scalar";
            }
        }
    }
}

// Counts taken by hand from the field tables the host documents for each type.
TEST(DatatypesSchema, FieldCountsMatchTheDocumentedTables)
{
    const std::map<const Descriptor*, int> expected = {
        {dt::PhysicalDiskStaticInfo::descriptor(), 10},
        {dt::PhysicalDiskPartitionInfo::descriptor(), 4},
        {dt::PhysicalDiskDynamicInfo::descriptor(), 7},
        {dt::SmartStaticInfo::descriptor(), 3},
        {dt::SmartDynamicInfo::descriptor(), 1 + 33},  // Name and the 33 attributes
        {dt::SmartAttributeDetail::descriptor(), 4},
        // 73 table rows, the last naming CustomizedControllerData and DeviceCategory
        {dt::NvmeIdentifyControllerData::descriptor(), 74},
        {dt::NvmePowerStateDesc::descriptor(), 14},
        {dt::NvmeReadRecoveryLevelsSupported::descriptor(), 16},
        {dt::NvmeCustomizedControllerData::descriptor(), 6},  // device category lives on the parent
        {dt::NvmeDeviceCategory::descriptor(), 4},
        {dt::SmartNvmeInfo::descriptor(), 2},
        // 23 table rows, TemperatureSensor1 to 8 in one
        {dt::NvmeHealthInfo::descriptor(), 30},
        {dt::NvmeCustomizedHealthInfo::descriptor(), 10},
    };
    for (const auto& [d, count] : expected) EXPECT_EQ(d->field_count(), count) << d->full_name();
}

// The disk type keeps the media type codes it is made from.
TEST(DatatypesSchema, DiskTypeKeepsTheMediaTypeCodes)
{
    const auto* e = dt::PhysicalDiskStaticInfo::DiskType_descriptor();
    std::set<int> numbers;
    for (int i = 0; i < e->value_count(); ++i) numbers.insert(e->value(i)->number());
    EXPECT_EQ(numbers, (std::set<int>{0, 3, 4, 5}));
}

const FieldDescriptor* FieldByJsonName(const Descriptor* d, const std::string& json)
{
    for (int i = 0; i < d->field_count(); ++i)
        if (d->field(i)->json_name() == json) return d->field(i);
    return nullptr;
}

// The few fields whose type differs from their neighbours'.
TEST(DatatypesSchema, FieldsWithUnusualTypes)
{
    struct Case {
        const Descriptor* msg;
        const char* json;
        const char* type;  // message full name, or "string" / "bytes"
        bool repeated;
    };
    const Case cases[] = {
        {dt::PhysicalDiskStaticInfo::descriptor(), "Capability", "string", true},
        {dt::PhysicalDiskStaticInfo::descriptor(), "Partitions", "Talvex.Quorlin.Datatypes.PhysicalDiskPartitionInfo", true},
        {dt::PhysicalDiskPartitionInfo::descriptor(), "Index", "google.protobuf.UInt64Value", false},
        {dt::PhysicalDiskDynamicInfo::descriptor(), "ByteReadPerSecInMB", "google.protobuf.UInt64Value", false},
        {dt::PhysicalDiskDynamicInfo::descriptor(), "ByteWriteInMB", "google.protobuf.Int64Value", false},
        {dt::SmartAttributeDetail::descriptor(), "RawValue", "google.protobuf.UInt64Value", false},
        {dt::SmartAttributeDetail::descriptor(), "Threshold", "google.protobuf.UInt32Value", false},
        {dt::NvmeIdentifyControllerData::descriptor(), "IeeeOuiIdentifier", "string", false},
        {dt::NvmeIdentifyControllerData::descriptor(), "FruGloballyUniqueIdentifier", "bytes", false},
        {dt::NvmeIdentifyControllerData::descriptor(), "PersistentEventLogSize", "google.protobuf.UInt64Value", false},
        {dt::NvmeIdentifyControllerData::descriptor(), "PowerStateDesc", "Talvex.Quorlin.Datatypes.NvmePowerStateDesc", true},
        {dt::NvmeIdentifyControllerData::descriptor(), "DeviceCategory", "Talvex.Quorlin.Datatypes.NvmeDeviceCategory", false},
        {dt::NvmeCustomizedControllerData::descriptor(), "SupportHostMetadataLog", "google.protobuf.UInt32Value", false},
        {dt::NvmeCustomizedControllerData::descriptor(), "Guid", "bytes", false},
        {dt::NvmeHealthInfo::descriptor(), "CompositeTemperature", "google.protobuf.Int32Value", false},
        {dt::NvmeHealthInfo::descriptor(), "TemperatureSensor8", "google.protobuf.Int32Value", false},
        {dt::NvmeHealthInfo::descriptor(), "PowerOnHours", "bytes", false},
        {dt::NvmeCustomizedHealthInfo::descriptor(), "MinimumTemperature", "google.protobuf.UInt32Value", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.msg->name()) + "." + c.json);
        const FieldDescriptor* f = FieldByJsonName(c.msg, c.json);
        ASSERT_NE(f, nullptr);
        const std::string type = f->message_type() ? f->message_type()->full_name() : f->type_name();
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(f->is_repeated(), c.repeated);
    }
}

}  // namespace
