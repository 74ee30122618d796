// What the host sees: the messages printed by protobuf's JSON printer with its
// default options must carry the system's exact field names, keep a wrapper
// set to zero and leave an unset one out.

#include <gtest/gtest.h>
#include <google/protobuf/util/json_util.h>
#include <google/protobuf/util/message_differencer.h>

#include <nlohmann/json.hpp>
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
using google::protobuf::Message;
using nlohmann::json;

json Print(const Message& m)
{
    std::string text;
    const auto status = google::protobuf::util::MessageToJsonString(m, &text);
    EXPECT_TRUE(status.ok()) << status.ToString();
    return json::parse(text);
}

// Printing and parsing back must give the same message: the parser accepts
// the system names and keeps zero-valued wrappers set.
void ExpectRoundTrip(const Message& m)
{
    std::string text;
    ASSERT_TRUE(google::protobuf::util::MessageToJsonString(m, &text).ok());
    std::unique_ptr<Message> back(m.New());
    const auto status = google::protobuf::util::JsonStringToMessage(text, back.get());
    ASSERT_TRUE(status.ok()) << status.ToString();
    EXPECT_TRUE(google::protobuf::util::MessageDifferencer::Equals(m, *back)) << text;
}

// A wrapper set to zero prints, an unset one does not; 64-bit numbers print
// as text and bytes as base64.
TEST(DatatypesJson, ZeroWrapperPresentUnsetAbsent)
{
    dt::PhysicalDiskDynamicInfo m;
    m.mutable_byte_read_per_sec_in_mb()->set_value(0);
    m.mutable_byte_write_in_mb()->set_value(-5);
    EXPECT_EQ(Print(m), json({{"ByteReadPerSecInMB", "0"}, {"ByteWriteInMB", "-5"}}));
    ExpectRoundTrip(m);

    dt::SmartNvmeInfo nvme;
    nvme.mutable_health_info()->mutable_temperature_sensor_8()->set_value(0);
    nvme.mutable_health_info()->set_power_on_hours("1234");
    EXPECT_EQ(Print(nvme), json({{"HealthInfo", {{"TemperatureSensor8", 0}, {"PowerOnHours", "MTIzNA=="}}}}));
}

// The names whose letter case the words alone do not give, as the host spells them.
TEST(DatatypesJson, NamesWithUnusualLetterCase)
{
    const std::pair<const Descriptor*, const char*> rows[] = {
        {dt::PhysicalDiskDynamicInfo::descriptor(), "ByteReadPerSecInMB"},
        {dt::SmartDynamicInfo::descriptor(), "CRCErrorCount"},
        {dt::NvmeIdentifyControllerData::descriptor(), "Rtd3ResumeLatency"},
        {dt::NvmeIdentifyControllerData::descriptor(), "NvmSubsystemNvmeQualifiedName"},
        {dt::NvmeIdentifyControllerData::descriptor(), "IeeeOuiIdentifier"},
        {dt::NvmeControllerAttributes::descriptor(), "Support128BitHostId"},
        {dt::NvmeSglSupport::descriptor(), "SupportSglBitBucket"},
        {dt::NvmeDeviceCategory::descriptor(), "Class11"},
        {dt::NvmeHealthInfo::descriptor(), "ThermalMgmtTemperature1TransitionCount"},
        {dt::NvmeHealthInfo::descriptor(), "EnduranceGroupCriticalWarningSummary"},
        {dt::NvmeCustomizedHealthInfo::descriptor(), "AbnormalInputVccVoltageCounter"},
        {dt::PhysicalDiskStaticInfo::descriptor(), "DeviceInstanceId"},
    };
    for (const auto& [d, name] : rows) {
        bool found = false;
        for (int i = 0; i < d->field_count(); ++i) found = found || d->field(i)->json_name() == name;
        EXPECT_TRUE(found) << d->full_name() << " has no field printed as " << name;
    }
}

// Sets every field of a message, recursively; wrappers are set to zero.
void FillEverything(Message* m)
{
    const Descriptor* d = m->GetDescriptor();
    const auto* r = m->GetReflection();
    for (int i = 0; i < d->field_count(); ++i) {
        const FieldDescriptor* f = d->field(i);
        if (f->is_repeated()) {
            if (f->type() == FieldDescriptor::TYPE_MESSAGE)
                FillEverything(r->AddMessage(m, f));
            else
                r->AddString(m, f, "x");
        } else if (f->type() == FieldDescriptor::TYPE_MESSAGE) {
            FillEverything(r->MutableMessage(m, f));
        } else if (f->type() == FieldDescriptor::TYPE_ENUM) {
            r->SetEnumValue(m, f, f->enum_type()->value(f->enum_type()->value_count() - 1)->number());
        } else if (f->type() == FieldDescriptor::TYPE_STRING || f->type() == FieldDescriptor::TYPE_BYTES) {
            r->SetString(m, f, "x");
        }
        // Plain numbers stay at zero: a wrapper's inner value is never printed by name.
    }
}

// Every field of our messages appears under its json_name, and nothing else does.
void ExpectAllNames(const Descriptor* d, const json& j)
{
    ASSERT_TRUE(j.is_object()) << d->full_name();
    EXPECT_EQ(j.size(), static_cast<std::size_t>(d->field_count())) << d->full_name() << ": " << j.dump();
    for (int i = 0; i < d->field_count(); ++i) {
        const FieldDescriptor* f = d->field(i);
        ASSERT_TRUE(j.contains(f->json_name())) << f->full_name();
        const Descriptor* sub = f->message_type();
        if (sub == nullptr || sub->file()->package() != "Talvex.Quorlin.Datatypes") continue;
        ExpectAllNames(sub, f->is_repeated() ? j[f->json_name()][0] : j[f->json_name()]);
    }
}

TEST(DatatypesJson, EveryFieldOfEveryMessagePrintsUnderItsSystemName)
{
    std::unique_ptr<Message> messages[] = {
        std::make_unique<dt::PhysicalDiskStaticInfo>(), std::make_unique<dt::PhysicalDiskDynamicInfo>(),
        std::make_unique<dt::SmartStaticInfo>(), std::make_unique<dt::SmartDynamicInfo>(),
        std::make_unique<dt::NvmeIdentifyControllerData>(), std::make_unique<dt::SmartNvmeInfo>()};
    for (auto& m : messages) {
        SCOPED_TRACE(m->GetTypeName());
        FillEverything(m.get());
        ExpectAllNames(m->GetDescriptor(), Print(*m));
        ExpectRoundTrip(*m);
    }
}

}  // namespace
