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

json Print(const Message& m) {
  std::string text;
  const auto status = google::protobuf::util::MessageToJsonString(m, &text);
  EXPECT_TRUE(status.ok()) << status.ToString();
  return json::parse(text);
}

// Printing and parsing back must give the same message: the parser accepts
// the system names and keeps zero-valued wrappers set.
void ExpectRoundTrip(const Message& m) {
  std::string text;
  ASSERT_TRUE(google::protobuf::util::MessageToJsonString(m, &text).ok());
  std::unique_ptr<Message> back(m.New());
  const auto status = google::protobuf::util::JsonStringToMessage(text, back.get());
  ASSERT_TRUE(status.ok()) << status.ToString();
  EXPECT_TRUE(google::protobuf::util::MessageDifferencer::Equals(m, *back)) << text;
}

TEST(DatatypesJson, PhysicalDiskStaticInfo) {
  dt::PhysicalDiskStaticInfo m;
  m.set_make_model("ACME 1TB");
  m.mutable_size()->set_value(953869);
  m.set_type(dt::PhysicalDiskStaticInfo::DISK_TYPE_SSD);
  m.add_capability("HardDrive");
  m.add_capability("SSD");
  m.set_device_instance_id("Disk_SCSI\\DISK&VEN_ACME\\0");
  auto* p = m.add_partitions();
  p->mutable_index()->set_value(0);
  p->set_guid("{00000000-0000-0000-0000-000000000001}");

  const json j = Print(m);
  EXPECT_EQ(j["MakeModel"], "ACME 1TB");
  EXPECT_EQ(j["Size"], "953869");  // 64-bit numbers print as text
  EXPECT_EQ(j["Type"], "DISK_TYPE_SSD");
  EXPECT_EQ(j["Capability"], json({"HardDrive", "SSD"}));
  EXPECT_EQ(j["DeviceInstanceId"], "Disk_SCSI\\DISK&VEN_ACME\\0");
  ASSERT_EQ(j["Partitions"].size(), 1u);
  EXPECT_EQ(j["Partitions"][0]["Index"], "0");
  EXPECT_FALSE(j["Partitions"][0].contains("Size"));
  EXPECT_FALSE(j.contains("Eppid"));  // empty text is the default and not printed
  ExpectRoundTrip(m);
}

TEST(DatatypesJson, PhysicalDiskDynamicInfoZeroWrapperPresentUnsetAbsent) {
  dt::PhysicalDiskDynamicInfo m;
  m.mutable_byte_read_per_sec_in_mb()->set_value(0);
  m.mutable_byte_write_in_mb()->set_value(-5);
  const json j = Print(m);
  EXPECT_EQ(j, json({{"ByteReadPerSecInMB", "0"}, {"ByteWriteInMB", "-5"}}));
  ExpectRoundTrip(m);
}

TEST(DatatypesJson, SmartStaticAndDynamicInfo) {
  dt::SmartStaticInfo s;
  s.set_name("SSD0");
  s.set_model_name("ACME");
  EXPECT_EQ(Print(s), json({{"Name", "SSD0"}, {"ModelName", "ACME"}}));

  dt::SmartDynamicInfo m;
  m.set_name("SMART1");
  m.mutable_crc_error_count()->mutable_raw_value()->set_value(7);
  m.mutable_crc_error_count()->mutable_threshold()->set_value(0);
  m.mutable_realloc_sector_count()->mutable_normal()->set_value(100);
  m.mutable_temperature();  // present but empty
  const json j = Print(m);
  EXPECT_EQ(j["CRCErrorCount"], json({{"RawValue", "7"}, {"Threshold", 0}}));
  EXPECT_EQ(j["ReallocSectorCount"], json({{"Normal", 100}}));
  EXPECT_EQ(j["Temperature"], json::object());
  EXPECT_FALSE(j.contains("EccRate"));
  ExpectRoundTrip(m);
}

TEST(DatatypesJson, NvmeIdentifyControllerData) {
  dt::NvmeIdentifyControllerData m;
  m.mutable_rtd_3_resume_latency()->set_value(0);
  m.set_nvm_subsystem_nvme_qualified_name("nqn.2014-08.org.example:1");
  m.set_ieee_oui_identifier("2538");
  m.set_total_nvm_capacity("0100");
  m.mutable_version()->mutable_major()->set_value(1);
  m.mutable_controller_attributes()->mutable_support_128_bit_host_id()->set_value(false);
  m.mutable_sgl_support()->mutable_support_sgl_bit_bucket()->set_value(true);
  m.add_power_state_desc()->mutable_max_power()->set_value(900);
  m.add_power_state_desc()->mutable_non_operational_state()->set_value(true);
  m.mutable_customized_controller_data()->mutable_support_system_crash_protection()->set_value(1);
  m.mutable_device_category()->mutable_class_11()->set_value(2);

  const json j = Print(m);
  EXPECT_EQ(j["Rtd3ResumeLatency"], 0);
  EXPECT_FALSE(j.contains("Rtd3EntryLatency"));
  EXPECT_EQ(j["NvmSubsystemNvmeQualifiedName"], "nqn.2014-08.org.example:1");
  EXPECT_EQ(j["IeeeOuiIdentifier"], "2538");
  EXPECT_EQ(j["TotalNvmCapacity"], "MDEwMA==");  // bytes print as base64 of the text "0100"
  EXPECT_EQ(j["Version"], json({{"Major", 1}}));
  EXPECT_EQ(j["ControllerAttributes"], json({{"Support128BitHostId", false}}));
  EXPECT_EQ(j["SglSupport"], json({{"SupportSglBitBucket", true}}));
  EXPECT_EQ(j["PowerStateDesc"],
            json::array({json({{"MaxPower", 900}}), json({{"NonOperationalState", true}})}));
  EXPECT_EQ(j["CustomizedControllerData"], json({{"SupportSystemCrashProtection", 1}}));
  EXPECT_EQ(j["DeviceCategory"], json({{"Class11", 2}}));
  EXPECT_FALSE(j.contains("SanitizeCap"));
  ExpectRoundTrip(m);
}

TEST(DatatypesJson, SmartNvmeInfo) {
  dt::SmartNvmeInfo m;
  auto* h = m.mutable_health_info();
  h->mutable_temperature_sensor_8()->set_value(0);
  h->mutable_composite_temperature()->set_value(-12);
  h->set_power_on_hours("1234");
  h->mutable_critical_warning()->mutable_read_only()->set_value(false);
  h->mutable_endurance_group_critical_warning_summary()->mutable_low_available_spare_capacity()->set_value(true);
  h->mutable_thermal_mgmt_temperature_1_transition_count()->set_value(3);

  const json j = Print(m);
  const json& hj = j["HealthInfo"];
  EXPECT_EQ(hj["TemperatureSensor8"], 0);
  EXPECT_FALSE(hj.contains("TemperatureSensor7"));
  EXPECT_EQ(hj["CompositeTemperature"], -12);
  EXPECT_EQ(hj["PowerOnHours"], "MTIzNA==");
  EXPECT_EQ(hj["CriticalWarning"], json({{"ReadOnly", false}}));
  EXPECT_EQ(hj["EnduranceGroupCriticalWarningSummary"], json({{"LowAvailableSpareCapacity", true}}));
  EXPECT_EQ(hj["ThermalMgmtTemperature1TransitionCount"], 3);
  EXPECT_FALSE(j.contains("CustomizedHealthInfo"));

  m.mutable_customized_health_info()->mutable_abnormal_input_vcc_voltage_counter()->set_value(0);
  EXPECT_EQ(Print(m)["CustomizedHealthInfo"], json({{"AbnormalInputVccVoltageCounter", 0}}));
  ExpectRoundTrip(m);
}

// Sets every field of a message, recursively; wrappers are set to zero.
void FillEverything(Message* m) {
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
void ExpectAllNames(const Descriptor* d, const json& j) {
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

TEST(DatatypesJson, EveryFieldOfEveryMessagePrintsUnderItsSystemName) {
  std::unique_ptr<Message> messages[] = {
      std::make_unique<dt::PhysicalDiskStaticInfo>(), std::make_unique<dt::PhysicalDiskDynamicInfo>(),
      std::make_unique<dt::SmartStaticInfo>(),        std::make_unique<dt::SmartDynamicInfo>(),
      std::make_unique<dt::NvmeIdentifyControllerData>(), std::make_unique<dt::SmartNvmeInfo>()};
  for (auto& m : messages) {
    SCOPED_TRACE(m->GetTypeName());
    FillEverything(m.get());
    ExpectAllNames(m->GetDescriptor(), Print(*m));
    ExpectRoundTrip(*m);
  }
}

}  // namespace
