#include "VendorArea.h"

#include <array>

#include "ByteReader.h"

namespace talvex::stordex::nvme {

namespace {

using IVendorSpecificInfo = IIdentifyControllerData::IVendorSpecificInfo;

constexpr std::array<char, 4> kSignature{'T', 'V', 'X', 'C'};

// Offsets within the area.
constexpr std::size_t kVersion = 4;
constexpr std::size_t kEppid = 8;
constexpr std::size_t kFormFactor = 40;
constexpr std::size_t kCapabilities = 41;
constexpr std::size_t kCategoryValid = 42;
constexpr std::size_t kClass0 = 44;
constexpr std::size_t kClass1 = 46;
constexpr std::size_t kClass2 = 48;
constexpr std::size_t kClass11 = 50;
constexpr std::size_t kGuid = 64;
constexpr std::size_t kComponentId = 80;

class PlainVendorArea final : public IVendorSpecificInfo {
public:
    std::uint32_t InterfaceVersion() const override { return kInterfaceVersion; }
};

class DeviceCategory final : public ICustomizedControllerData::IDeviceCategory {
public:
    explicit DeviceCategory(const ByteReader& area)
        : m_class0(area.U16(kClass0)), m_class1(area.U16(kClass1)), m_class2(area.U16(kClass2)),
          m_class11(area.U16(kClass11))
    {
    }
    std::uint32_t InterfaceVersion() const override { return kInterfaceVersion; }
    std::uint16_t Class0() const override { return m_class0; }
    std::uint16_t Class1() const override { return m_class1; }
    std::uint16_t Class2() const override { return m_class2; }
    std::uint16_t Class11() const override { return m_class11; }

private:
    std::uint16_t m_class0, m_class1, m_class2, m_class11;
};

class CustomizedVendorArea final : public IVendorSpecificInfo, public ICustomizedControllerData {
public:
    explicit CustomizedVendorArea(const ByteReader& area)
        : m_formFactor(static_cast<NominalFormFactor>(area.U8(kFormFactor))),
          m_systemCrashProtection(area.Bit(kCapabilities, 0)), m_hostMetadataLog(area.Bit(kCapabilities, 1)),
          m_hasCategory(area.Bit(kCategoryValid, 0)), m_category(area)
    {
        area.CopyTo(kEppid, m_eppid);
        area.CopyTo(kGuid, m_guid);
        area.CopyTo(kComponentId, m_componentId);
    }

    std::uint32_t InterfaceVersion() const override { return kInterfaceVersion; }

    const Carray<32>& Eppid() const override { return m_eppid; }
    NominalFormFactor FormFactor() const override { return m_formFactor; }
    const IDeviceCategory* DeviceCategory() const override { return m_hasCategory ? &m_category : nullptr; }
    bool SupportSystemCrashProtection() const override { return m_systemCrashProtection; }
    bool SupportHostMetadataLog() const override { return m_hostMetadataLog; }
    const Carray<16>& Guid() const override { return m_guid; }
    const Carray<8>& ComponentId() const override { return m_componentId; }

private:
    Carray<32> m_eppid{};
    NominalFormFactor m_formFactor;
    bool m_systemCrashProtection;
    bool m_hostMetadataLog;
    bool m_hasCategory;
    class DeviceCategory m_category;
    Carray<16> m_guid{};
    Carray<8> m_componentId{};
};

}  // namespace

Owned<IVendorSpecificInfo> DecodeVendorArea(std::span<const std::uint8_t> area)
{
    if (area.size() != kVendorAreaSize) return nullptr;
    const ByteReader reader(area);
    if (reader.Holds(0, kSignature) && reader.U16(kVersion) >= 1) {
        return MakeOwned<IVendorSpecificInfo, CustomizedVendorArea>(reader);
    }
    return MakeOwned<IVendorSpecificInfo, PlainVendorArea>();
}

}  // namespace talvex::stordex::nvme
