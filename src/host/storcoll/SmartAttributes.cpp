#include "SmartAttributes.h"

#include "Common/SmartDataCollection.h"

namespace Storcoll {

namespace {

using Talvex::Quorlin::Datatypes::SmartAttributeDetail;
using Talvex::Quorlin::Datatypes::SmartDynamicInfo;

const SmartAttributeDetail* FieldOf(const SmartDynamicInfo& smart, std::string_view name)
{
    const auto* descriptor = SmartDynamicInfo::descriptor();
    for (int index = 0; index < descriptor->field_count(); ++index) {
        const auto* field = descriptor->field(index);
        if (field->json_name() != name) {
            continue;
        }
        const auto* reflection = smart.GetReflection();
        if (!reflection->HasField(smart, field)) {
            return nullptr;
        }
        return static_cast<const SmartAttributeDetail*>(&reflection->GetMessage(smart, field));
    }
    return nullptr;
}

}  // namespace

std::vector<SmartAttributeView> SetAttributes(const SmartDynamicInfo& smart)
{
    std::vector<SmartAttributeView> set;
    for (const auto& entry : Talvex::Quorlin::Cpp::Common::kSmartAttributeTable) {
        if (const auto* detail = FieldOf(smart, entry.Name)) {
            set.push_back({entry.Id, entry.Name, detail});
        }
    }
    return set;
}

const SmartAttributeDetail* FindAttribute(const SmartDynamicInfo& smart, std::uint8_t id)
{
    const auto* entry = Talvex::Quorlin::Cpp::Common::FindSmartAttribute(id);
    return entry == nullptr ? nullptr : FieldOf(smart, entry->Name);
}

}  // namespace Storcoll
