#include "ItemJson.h"

#include <stdexcept>
#include <string>

#include <google/protobuf/util/json_util.h>

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

}  // namespace

Json MessageToJson(const google::protobuf::Message& message) {
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
    return json;
}

Json ItemToJson(const Kvr::GenericItem& item) {
    Json json;
    json["itemId"] = item.ItemId;
    json["time"] = Kvr::Host::FormatUtcTime(item.Time);
    json["data"] = item.Message ? MessageToJson(*item.Message) : Json(nullptr);
    return json;
}

Json ErrorToJson(const Kvr::Exception& error) {
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

}  // namespace Storcoll
