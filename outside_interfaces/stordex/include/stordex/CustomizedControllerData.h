// The customized layout of a drive's Identify vendor-specific area.
//
// Not handed out on its own: the vendor-specific object of
// IIdentifyControllerData also implements this interface when the area
// carries the customized layout's signature, so a caller asks for it with
//   dynamic_cast<const ICustomizedControllerData*>(vendorSpecificInfo)
// and reads nothing when the cast yields null. The object is released through
// its IVendorSpecificInfo pointer, never through this one.
//
// Unlike every other interface of the library, this one has no leading
// InterfaceVersion(): its first virtual operation is its first accessor.
// The object's IVendorSpecificInfo side answers for the version.
#pragma once

#include <cstdint>

#include "stordex/Array.h"
#include "stordex/Export.h"
#include "stordex/NominalFormFactor.h"

namespace talvex::stordex::nvme {

class STORDEX_INTERFACE ICustomizedControllerData {
public:
    // Owned by the object that returns it.
    class STORDEX_INTERFACE IDeviceCategory {
    public:
        virtual std::uint32_t InterfaceVersion() const = 0;
        virtual std::uint16_t Class0() const = 0;
        virtual std::uint16_t Class1() const = 0;
        virtual std::uint16_t Class2() const = 0;
        virtual std::uint16_t Class11() const = 0;

    protected:
        ~IDeviceCategory() = default;
    };

    virtual const Carray<32>& Eppid() const = 0;
    virtual NominalFormFactor FormFactor() const = 0;
    // Null when the area has no device category.
    virtual const IDeviceCategory* DeviceCategory() const = 0;
    virtual bool SupportSystemCrashProtection() const = 0;
    virtual bool SupportHostMetadataLog() const = 0;
    virtual const Carray<16>& Guid() const = 0;
    virtual const Carray<8>& ComponentId() const = 0;

protected:
    // Neither this nor any nested interface is destroyed through itself:
    // SXDelete() knows what it made, and a virtual destructor would add slots
    // that a library built to the contract does not have.
    ~ICustomizedControllerData() = default;
};

}  // namespace talvex::stordex::nvme
