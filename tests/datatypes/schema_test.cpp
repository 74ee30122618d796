// Shape of the message schema, walked through the descriptors so that every
// field of every message is covered, including fields added later: each field's
// number, system name, type and repetition, and each enum value, held to the
// reviewed data/schema.txt.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <deque>
#include <set>
#include <string>

#include "Recorded.h"
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

std::string Squash(const std::string& s)
{
    std::string out;
    for (char c : s)
        if (c != '_') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Besides the record, the rules every field keeps: its system name spells the
// words of its own name in upper camel case (so a name pasted onto the wrong
// field shows), fields are numbered from one in declared order, and numbers
// and flags are wrappers, so that "not read" differs from zero.
TEST(DatatypesSchema, EveryMessageOfThePackageAsRecorded)
{
    const std::set<std::string> wrappers = {"google.protobuf.UInt32Value", "google.protobuf.UInt64Value",
                                            "google.protobuf.Int32Value", "google.protobuf.Int64Value",
                                            "google.protobuf.BoolValue"};
    std::deque<const Descriptor*> todo{
        dt::PhysicalDiskStaticInfo::descriptor(), dt::PhysicalDiskDynamicInfo::descriptor(),
        dt::SmartStaticInfo::descriptor(), dt::SmartDynamicInfo::descriptor(),
        dt::NvmeIdentifyControllerData::descriptor(), dt::SmartNvmeInfo::descriptor()};
    std::vector<const Descriptor*> seen;
    std::string text;
    for (; !todo.empty(); todo.pop_front()) {
        const Descriptor* d = todo.front();
        if (d->file()->package() != "Talvex.Quorlin.Datatypes" || std::count(seen.begin(), seen.end(), d)) continue;
        seen.push_back(d);
        text += d->full_name() + "\n";
        for (int i = 0; i < d->field_count(); ++i) {
            const FieldDescriptor* f = d->field(i);
            SCOPED_TRACE(f->full_name());
            const auto* m = f->message_type();
            const std::string type = m ? m->full_name() : f->enum_type() ? f->enum_type()->full_name()
                                                                         : f->type_name();
            text += "  " + std::to_string(f->number()) + " " + f->json_name() + " " + type +
                    (f->is_repeated() ? " repeated" : "") + (f->has_presence() && !m ? " optional" : "") + "\n";
            if (f->enum_type())
                for (int v = 0; v < f->enum_type()->value_count(); ++v)
                    text += "    " + f->enum_type()->value(v)->name() + " = " +
                            std::to_string(f->enum_type()->value(v)->number()) + "\n";
            EXPECT_TRUE(f->has_json_name() && std::isupper(static_cast<unsigned char>(f->json_name()[0])));
            EXPECT_EQ(Squash(f->name()), Squash(f->json_name()));
            EXPECT_EQ(f->number(), i + 1);
            const bool plain = f->type() == FieldDescriptor::TYPE_STRING || f->type() == FieldDescriptor::TYPE_BYTES ||
                               f->type() == FieldDescriptor::TYPE_ENUM;
            EXPECT_TRUE(plain || (m && (m->file()->package() == d->file()->package() || wrappers.count(m->full_name()))))
                << "bare scalar";
            if (m) todo.push_back(m);
        }
    }
    test_support::ExpectRecorded(text, DATATYPES_TEST_DATA "/schema.txt");
}

}  // namespace
