// What the host sees: the messages printed by protobuf's JSON printer with its
// default options must carry the system's exact field names, keep a wrapper
// set to zero and leave an unset one out. That every field has its system
// name is the schema test's to check; the printer prints what it is given.

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

}  // namespace
