// The fake's objects, made from a drive's script and handed to the library
// bookkeeping, which owns them until SXDelete().
#pragma once

#include "FakeStordex.h"

namespace stordex_fake {

talvex::stordex::nvme::IIdentifyControllerData* NewIdentify(const DriveScript& script);
talvex::stordex::nvme::IHealthInfo* NewHealth(const DriveScript& script);
talvex::stordex::nvme::ICustomizedHealthInfo* NewCustomizedHealth(const DriveScript& script);

}  // namespace stordex_fake
