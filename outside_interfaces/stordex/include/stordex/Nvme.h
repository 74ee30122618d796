// Everything a caller of the device query library needs: the exported
// functions, the NVMe interfaces and the fixed-size arrays they hand out.
#pragma once

#include "stordex/Array.h"
#include "stordex/CustomizedControllerData.h"
#include "stordex/CustomizedHealthInfo.h"
#include "stordex/Functions.h"
#include "stordex/HealthInfo.h"
#include "stordex/IdentifyControllerData.h"
#include "stordex/InterfaceVersion.h"
#include "stordex/NominalFormFactor.h"
#include "stordex/StorageBusType.h"
