// Host metadata of the storage collector plug-in.
#pragma once

#include "kvr/Guid.h"

namespace Kvr {

struct StorageCollectorInfo {
    static constexpr Kvr::Guid Guid = Kvr::Guid::Parse("{6F3B2C1E-8D4A-4E57-9B21-5C7A0D93E4F8}");
};

}  // namespace Kvr
