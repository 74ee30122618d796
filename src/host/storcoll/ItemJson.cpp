#include "ItemJson.h"

#include <stdexcept>
#include <string>

#include <google/protobuf/util/json_util.h>

#include "kvr/host/TimeFormat.h"

namespace Storcoll {

Json MessageToJson(const google::protobuf::Message& message) {
    google::protobuf::util::JsonPrintOptions options;
    options.always_print_primitive_fields = true;
    options.preserve_proto_field_names = false;
    std::string text;
    const auto status = google::protobuf::util::MessageToJsonString(message, &text, options);
    if (!status.ok()) {
        throw std::runtime_error("cannot print " + message.GetTypeName() + " as JSON: " + status.ToString());
    }
    return Json::parse(text);
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
