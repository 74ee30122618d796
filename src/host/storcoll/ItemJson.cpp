#include "ItemJson.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <string>
#include <vector>

#include <google/protobuf/descriptor.h>

#include "Health.h"
#include "kvr/host/TimeFormat.h"

namespace Storcoll {

namespace {

using google::protobuf::FieldDescriptor;

std::string Base64(const std::string& bytes)
{
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            group = group << 8 | (k < count ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        }
        for (std::size_t k = 0; k < 4; ++k) {
            text += k <= count ? kDigits[(group >> (18 - 6 * k)) & 0x3F] : '=';
        }
    }
    return text;
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

// Protobuf's JSON mapping names the values JSON has no number for.
Json Number(double value)
{
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "Infinity" : "-Infinity";
    }
    return value;
}

// A float as the double its shortest decimal text reads back as, as
// protobuf prints it (0.1f is 0.1, not 0.10000000149011612).
double ShortestFloat(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*g", FLT_DIG, static_cast<double>(value));
    if (std::strtof(text, nullptr) != value) {
        std::snprintf(text, sizeof text, "%.*g", FLT_DIG + 3, static_cast<double>(value));
    }
    return std::strtod(text, nullptr);
}

// google.protobuf.UInt32Value and its kin stand for their one value.
bool IsWrapper(const google::protobuf::Descriptor& type)
{
    return type.file()->name() == "google/protobuf/wrappers.proto";
}

Json ObjectOf(const google::protobuf::Message& message, bool protoJson, bool bytesAsText);

// One value of a field (element `index` of a repeated one, or -1), as
// protobuf's JSON mapping writes it: 64-bit integers as decimal text, bytes
// as base64, enums by name, a wrapper as its value.
Json ValueOf(const google::protobuf::Message& message, const FieldDescriptor& field, int index, bool protoJson,
             bool bytesAsText)
{
    const auto& reflection = *message.GetReflection();
    const bool repeated = index >= 0;
    switch (field.cpp_type()) {
    case FieldDescriptor::CPPTYPE_INT32:
        return repeated ? reflection.GetRepeatedInt32(message, &field, index) : reflection.GetInt32(message, &field);
    case FieldDescriptor::CPPTYPE_UINT32:
        return repeated ? reflection.GetRepeatedUInt32(message, &field, index) : reflection.GetUInt32(message, &field);
    case FieldDescriptor::CPPTYPE_INT64:
        return std::to_string(repeated ? reflection.GetRepeatedInt64(message, &field, index)
                                       : reflection.GetInt64(message, &field));
    case FieldDescriptor::CPPTYPE_UINT64:
        return std::to_string(repeated ? reflection.GetRepeatedUInt64(message, &field, index)
                                       : reflection.GetUInt64(message, &field));
    case FieldDescriptor::CPPTYPE_BOOL:
        return repeated ? reflection.GetRepeatedBool(message, &field, index) : reflection.GetBool(message, &field);
    case FieldDescriptor::CPPTYPE_ENUM: {
        const int number =
            repeated ? reflection.GetRepeatedEnumValue(message, &field, index) : reflection.GetEnumValue(message, &field);
        if (const auto* value = field.enum_type()->FindValueByNumber(number)) {
            return value->name();
        }
        return number;
    }
    case FieldDescriptor::CPPTYPE_STRING: {
        std::string scratch;
        const std::string& text = repeated ? reflection.GetRepeatedStringReference(message, &field, index, &scratch)
                                           : reflection.GetStringReference(message, &field, &scratch);
        if (field.type() != FieldDescriptor::TYPE_BYTES) {
            return text;
        }
        // The NVMe counters' hexadecimal digits read better as the text they are.
        return bytesAsText && !repeated && IsPrintableText(text) ? text : Base64(text);
    }
    case FieldDescriptor::CPPTYPE_MESSAGE: {
        const auto& inner =
            repeated ? reflection.GetRepeatedMessage(message, &field, index) : reflection.GetMessage(message, &field);
        if (IsWrapper(*field.message_type())) {
            return ValueOf(inner, *field.message_type()->field(0), -1, protoJson, false);
        }
        return ObjectOf(inner, protoJson, !protoJson);
    }
    case FieldDescriptor::CPPTYPE_DOUBLE:
        return Number(repeated ? reflection.GetRepeatedDouble(message, &field, index)
                               : reflection.GetDouble(message, &field));
    case FieldDescriptor::CPPTYPE_FLOAT:
        return Number(ShortestFloat(repeated ? reflection.GetRepeatedFloat(message, &field, index)
                                             : reflection.GetFloat(message, &field)));
    }
    return nullptr;
}

// Every field without presence, set or not, and every repeated one; a field
// with presence only when it is set. In the order protobuf's printer gives
// them, which readers of earlier output may rely on: every field but the
// wrapped values as declared, then the wrapped values that are set, by field
// number.
Json ObjectOf(const google::protobuf::Message& message, bool protoJson, bool bytesAsText)
{
    const auto& descriptor = *message.GetDescriptor();
    const auto& reflection = *message.GetReflection();
    Json json = Json::object();
    std::vector<const FieldDescriptor*> wrapped;
    for (int i = 0; i < descriptor.field_count(); ++i) {
        const auto& field = *descriptor.field(i);
        if (field.is_repeated()) {
            Json values = Json::array();
            for (int k = 0; k < reflection.FieldSize(message, &field); ++k) {
                values.push_back(ValueOf(message, field, k, protoJson, bytesAsText));
            }
            json[field.json_name()] = std::move(values);
        } else if (field.has_presence() && !reflection.HasField(message, &field)) {
            continue;
        } else if (field.cpp_type() == FieldDescriptor::CPPTYPE_MESSAGE && IsWrapper(*field.message_type())) {
            wrapped.push_back(&field);
        } else {
            json[field.json_name()] = ValueOf(message, field, -1, protoJson, bytesAsText);
        }
    }
    std::sort(wrapped.begin(), wrapped.end(),
              [](const FieldDescriptor* a, const FieldDescriptor* b) { return a->number() < b->number(); });
    for (const auto* field : wrapped) {
        json[field->json_name()] = ValueOf(message, *field, -1, protoJson, bytesAsText);
    }
    return json;
}

}  // namespace

// Written from reflection rather than by protobuf's JSON printer, which turns
// the message into its binary form and back through a type resolver, and
// builds the descriptors of descriptor.proto itself to do so: a tenth of the
// work of a whole collection.
Json MessageToJson(const google::protobuf::Message& message, bool protoJson)
{
    return ObjectOf(message, protoJson, !protoJson);
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
