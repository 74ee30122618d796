// Every value a message holds, by path of JSON names ("Version.Major",
// "PowerStateDesc[2].MaxPower"), read through reflection, so that a test can
// compare whole messages without spelling out each field.
#pragma once

#include <google/protobuf/descriptor.h>
#include <google/protobuf/message.h>

#include <cstdint>
#include <map>
#include <string>

namespace nvme_test {

struct Leaf {
    enum class Kind { Number,
                      Flag,
                      Text,
                      Bytes };
    Kind kind = Kind::Number;
    std::uint64_t raw = 0;  // numbers sign-extended, flags 0 or 1
    std::string text;       // string and bytes fields
};

inline bool IsWrapper(const google::protobuf::Descriptor& type)
{
    return type.file()->name() == "google/protobuf/wrappers.proto";
}

inline Leaf WrapperLeaf(const google::protobuf::Message& wrapper)
{
    using google::protobuf::FieldDescriptor;
    const auto* field = wrapper.GetDescriptor()->FindFieldByName("value");
    const auto* reflection = wrapper.GetReflection();
    Leaf leaf;
    switch (field->cpp_type()) {
    case FieldDescriptor::CPPTYPE_UINT32: leaf.raw = reflection->GetUInt32(wrapper, field); break;
    case FieldDescriptor::CPPTYPE_UINT64: leaf.raw = reflection->GetUInt64(wrapper, field); break;
    case FieldDescriptor::CPPTYPE_INT32:
        leaf.raw = static_cast<std::uint64_t>(static_cast<std::int64_t>(reflection->GetInt32(wrapper, field)));
        break;
    case FieldDescriptor::CPPTYPE_INT64:
        leaf.raw = static_cast<std::uint64_t>(reflection->GetInt64(wrapper, field));
        break;
    case FieldDescriptor::CPPTYPE_BOOL:
        leaf.kind = Leaf::Kind::Flag;
        leaf.raw = reflection->GetBool(wrapper, field) ? 1 : 0;
        break;
    default:
        leaf.kind = Leaf::Kind::Text;
        leaf.text = "<unexpected wrapper>";
        break;
    }
    return leaf;
}

// Set wrappers and nested messages only (an unset one has no leaves); string
// and bytes fields always, as proto3 gives them no presence.
inline void CollectLeaves(const google::protobuf::Message& message, const std::string& prefix,
                          std::map<std::string, Leaf>& leaves)
{
    using google::protobuf::FieldDescriptor;
    const auto* descriptor = message.GetDescriptor();
    const auto* reflection = message.GetReflection();
    for (int i = 0; i < descriptor->field_count(); ++i) {
        const FieldDescriptor* field = descriptor->field(i);
        const std::string path = prefix + field->json_name();
        if (field->is_repeated()) {
            for (int n = 0; n < reflection->FieldSize(message, field); ++n) {
                CollectLeaves(reflection->GetRepeatedMessage(message, field, n), path + "[" + std::to_string(n) + "].",
                              leaves);
            }
        } else if (field->cpp_type() == FieldDescriptor::CPPTYPE_MESSAGE) {
            if (!reflection->HasField(message, field)) continue;
            const auto& nested = reflection->GetMessage(message, field);
            if (IsWrapper(*field->message_type()))
                leaves[path] = WrapperLeaf(nested);
            else
                CollectLeaves(nested, path + ".", leaves);
        } else if (field->cpp_type() == FieldDescriptor::CPPTYPE_STRING) {
            Leaf leaf;
            leaf.kind = field->type() == FieldDescriptor::TYPE_BYTES ? Leaf::Kind::Bytes : Leaf::Kind::Text;
            leaf.text = reflection->GetString(message, field);
            leaves[path] = leaf;
        }
    }
}

inline std::map<std::string, Leaf> Leaves(const google::protobuf::Message& message)
{
    std::map<std::string, Leaf> leaves;
    CollectLeaves(message, "", leaves);
    return leaves;
}

}  // namespace nvme_test
