// The SMART attributes a SmartDynamicInfo message carries, found by their
// attribute id: the message has one field per known attribute, named as in
// the collector's attribute table.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "smart_dynamic_info.pb.h"

namespace Storcoll {

struct SmartAttributeView {
    std::uint8_t Id;
    std::string_view Name;  // the field's name, "ReallocSectorCount"
    const Talvex::Quorlin::Datatypes::SmartAttributeDetail* Detail;
};

// The attributes that are set, in the message's field order.
std::vector<SmartAttributeView> SetAttributes(const Talvex::Quorlin::Datatypes::SmartDynamicInfo& smart);

// The attribute with this id when it is set, else null (also for an id the
// message has no field for).
const Talvex::Quorlin::Datatypes::SmartAttributeDetail* FindAttribute(
    const Talvex::Quorlin::Datatypes::SmartDynamicInfo& smart, std::uint8_t id);

}  // namespace Storcoll
