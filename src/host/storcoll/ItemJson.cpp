#include "ItemJson.h"

#include <stdexcept>
#include <string>

#include <google/protobuf/util/json_util.h>

#include "Health.h"
#include "kvr/host/TimeFormat.h"

namespace Storcoll {

namespace {

// The printer shows every scalar; a field that has presence and is unset was
// not read, which is not the same as read and empty, so it goes.
void DropUnsetFields(const google::protobuf::Message& message, Json& json)
{
    const auto* descriptor = message.GetDescriptor();
    const auto* reflection = message.GetReflection();
    for (int i = 0; i < descriptor->field_count(); ++i) {
        const auto* field = descriptor->field(i);
        if (!json.contains(field->json_name())) continue;
        Json& value = json[field->json_name()];
        if (field->is_repeated()) {
            if (field->cpp_type() != google::protobuf::FieldDescriptor::CPPTYPE_MESSAGE) continue;
            for (int k = 0; k < reflection->FieldSize(message, field) && k < static_cast<int>(value.size()); ++k)
                DropUnsetFields(reflection->GetRepeatedMessage(message, field, k), value[static_cast<std::size_t>(k)]);
        } else if (field->has_presence() && !reflection->HasField(message, field)) {
            json.erase(field->json_name());
        } else if (field->cpp_type() == google::protobuf::FieldDescriptor::CPPTYPE_MESSAGE && value.is_object()) {
            DropUnsetFields(reflection->GetMessage(message, field), value);
        }
    }
}

bool IsPrintableText(const std::string& bytes)
{
    for (const unsigned char c : bytes) {
        if (c < 0x20 || c >= 0x7F) {
            return false;
        }
    }
    return true;
}

// Replaces the base64 of each singular bytes field holding printable text by the text.
void BytesAsText(const google::protobuf::Message& message, Json& json)
{
    const auto* descriptor = message.GetDescriptor();
    const auto* reflection = message.GetReflection();
    for (int index = 0; index < descriptor->field_count(); ++index) {
        const auto* field = descriptor->field(index);
        if (!json.contains(field->json_name())) {
            continue;
        }
        Json& value = json[field->json_name()];
        if (field->type() == google::protobuf::FieldDescriptor::TYPE_BYTES && !field->is_repeated()) {
            std::string scratch;
            const std::string& bytes = reflection->GetStringReference(message, field, &scratch);
            if (IsPrintableText(bytes)) {
                value = bytes;
            }
        } else if (field->type() == google::protobuf::FieldDescriptor::TYPE_MESSAGE &&
                   field->message_type()->file()->name() != "google/protobuf/wrappers.proto") {
            if (field->is_repeated()) {
                for (int element = 0; element < reflection->FieldSize(message, field) &&
                                      element < static_cast<int>(value.size());
                     ++element) {
                    BytesAsText(reflection->GetRepeatedMessage(message, field, element), value[element]);
                }
            } else if (reflection->HasField(message, field)) {
                BytesAsText(reflection->GetMessage(message, field), value);
            }
        }
    }
}

}  // namespace

Json MessageToJson(const google::protobuf::Message& message, bool protoJson)
{
    google::protobuf::util::JsonPrintOptions options;
    options.always_print_primitive_fields = true;
    options.preserve_proto_field_names = false;
    std::string text;
    const auto status = google::protobuf::util::MessageToJsonString(message, &text, options);
    if (!status.ok()) {
        throw std::runtime_error("cannot print " + message.GetTypeName() + " as JSON: " + status.ToString());
    }
    Json json = Json::parse(text);
    DropUnsetFields(message, json);
    if (!protoJson) {
        BytesAsText(message, json);
    }
    return json;
}

Json ItemToJson(const Kvr::GenericItem& item, bool protoJson)
{
    Json json;
    json["itemId"] = item.ItemId;
    json["time"] = Kvr::Host::FormatUtcTime(item.Time);
    json["data"] = item.Message ? MessageToJson(*item.Message, protoJson) : Json(nullptr);
    return json;
}

Json ErrorToJson(const Kvr::Exception& error)
{
    Json json;
    json["type"] = std::string(error.TypeName());
    json["message"] = error.Message();
    if (const Kvr::Exception* inner = error.InnerException()) {
        json["inner"] = ErrorToJson(*inner);
    } else if (const std::exception* native = error.InnerNativeException()) {
        json["inner"] = Json{{"type", "native"}, {"message", native->what()}};
    }
    return json;
}

Json HealthToJson(const DiskHealth& health)
{
    Json json;
    json["itemId"] = health.ItemId;
    json["model"] = health.Model;
    json["source"] = health.Source;
    json["verdict"] = std::string(VerdictName(health.Verdict));
    Json reasons = Json::array();
    for (const auto& reason : health.Reasons) {
        reasons.push_back(Json{{"severity", std::string(VerdictName(reason.Severity))}, {"text", reason.Text}});
    }
    json["reasons"] = std::move(reasons);
    if (health.Verdict == Verdict::None) {
        json["unavailable"] = health.Unavailable;
    }
    return json;
}

}  // namespace Storcoll
