#include <gtest/gtest.h>

#include <memory>

#include "stordex/Nvme.h"

namespace {

using talvex::Carray;
using talvex::stordex::nvme::ICustomizedControllerData;
using talvex::stordex::nvme::IIdentifyControllerData;
using talvex::stordex::nvme::kInterfaceVersion;
using talvex::stordex::nvme::NominalFormFactor;
using IVendorSpecificInfo = IIdentifyControllerData::IVendorSpecificInfo;

class Category final : public ICustomizedControllerData::IDeviceCategory {
public:
    std::uint32_t InterfaceVersion() const override { return kInterfaceVersion; }
    std::uint16_t Class0() const override { return 10; }
    std::uint16_t Class1() const override { return 11; }
    std::uint16_t Class2() const override { return 12; }
    std::uint16_t Class11() const override { return 111; }
};

// A vendor area with the customized layout, as the library would hand it out.
// The customized interface is the second base, so reaching it needs a pointer
// adjustment that only a dynamic cast from the vendor pointer can make.
class CustomizedVendorArea final : public IVendorSpecificInfo, public ICustomizedControllerData {
public:
    std::uint32_t InterfaceVersion() const override { return kInterfaceVersion; }
    const Carray<32>& Eppid() const override { return m_Eppid; }
    NominalFormFactor FormFactor() const override { return NominalFormFactor::M2_2280; }
    const IDeviceCategory* DeviceCategory() const override { return &m_Category; }
    bool SupportSystemCrashProtection() const override { return true; }
    bool SupportHostMetadataLog() const override { return false; }
    const Carray<16>& Guid() const override { return m_Guid; }
    const Carray<8>& ComponentId() const override { return m_ComponentId; }

private:
    Carray<32> m_Eppid{{'E', 'P', 'P', 'I', 'D'}};
    Carray<16> m_Guid{{0x01, 0x02}};
    Carray<8> m_ComponentId{{'C', 'O', 'M', 'P'}};
    Category m_Category;
};

class PlainVendorArea final : public IVendorSpecificInfo {
public:
    std::uint32_t InterfaceVersion() const override { return kInterfaceVersion; }
};

TEST(VendorArea, CustomizedLayoutIsFoundThroughTheVendorPointer) {
    CustomizedVendorArea area;
    const IVendorSpecificInfo* vendor = &area;

    const auto* customized = dynamic_cast<const ICustomizedControllerData*>(vendor);
    ASSERT_NE(customized, nullptr);
    EXPECT_EQ(customized->FormFactor(), NominalFormFactor::M2_2280);
    EXPECT_EQ(customized->Eppid().Str().substr(0, 5), "EPPID");
    EXPECT_EQ(customized->Guid().Hex(), "0201");
    EXPECT_TRUE(customized->SupportSystemCrashProtection());
    ASSERT_NE(customized->DeviceCategory(), nullptr);
    EXPECT_EQ(customized->DeviceCategory()->Class11(), 111);
}

TEST(VendorArea, PlainVendorAreaHasNoCustomizedLayout) {
    PlainVendorArea plain;
    const IVendorSpecificInfo* vendor = &plain;
    EXPECT_EQ(dynamic_cast<const ICustomizedControllerData*>(vendor), nullptr);
}

}  // namespace
