// A scripted stand-in for the device query library, linked into tests instead
// of the real one. A test says which drives exist, on which bus, and what
// their objects answer; the fake counts every object it hands out and every
// SXDelete() call, so a test can tell a leak, a double release or a release
// of an object the caller does not own.
//
// Answers are found by accessor path: "PciVendorId", "Version.Major",
// "PowerStateDesc[3].MaxPower", "CustomizedControllerData.Eppid",
// "DeviceCategory.Class11", "CriticalWarning.ReadOnly" - the names of the
// message fields they feed. A number nobody set is made up on first read,
// different for every path of an object; a flag nobody set is false; an array
// nobody set holds a short text such as "F12" followed by NULs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "stordex/Nvme.h"

namespace stordex_fake {

// What one object, and the sub-objects it hands out, answer.
class Answers {
public:
    enum class Kind { Number, Flag, Bytes, Object };

    void Set(const std::string& path, std::int64_t value);
    // The array's first bytes; the rest are zero. Longer input is cut.
    void SetBytes(const std::string& path, const std::string& bytes);
    void SetNull(const std::string& path);
    // The accessor of `path` throws std::runtime_error with `what`.
    void ThrowAt(const std::string& path, const std::string& what = "scripted failure");

    // What was read so far: every path with its kind, and every answer given
    // as a 64-bit pattern (signed values sign-extended, flags 0 or 1).
    const std::map<std::string, Kind>& Read() const noexcept { return m_read; }
    std::uint64_t Answered(const std::string& path) const;
    // An array's content and its Hex() text, as answered.
    std::string AnsweredBytes(const std::string& path) const;
    std::string AnsweredHex(const std::string& path) const;
    // Every accessor call, in order, by path.
    const std::vector<std::string>& Calls() const noexcept { return m_calls; }
    std::size_t CallCount(const std::string& path) const;

    // For the fake objects.
    template <class T>
    T Number(const std::string& path)
    {
        Enter(path, Kind::Number);
        const T value = static_cast<T>(NumberPattern(path, DefaultBase<T>()));
        if constexpr (std::is_signed_v<T>) m_answered[path] = static_cast<std::uint64_t>(static_cast<std::int64_t>(value));
        else m_answered[path] = static_cast<std::uint64_t>(value);
        return value;
    }
    bool Flag(const std::string& path);
    bool Present(const std::string& path);
    template <class E, std::size_t N>
    const talvex::Array<E, N>& Array(const std::string& path)
    {
        Enter(path, Kind::Bytes);
        auto& slot = m_arrays[path];
        if (!slot) {
            auto array = std::make_shared<talvex::Array<E, N>>();
            const std::string bytes = BytesFor(path, N);
            for (std::size_t i = 0; i < N; ++i) (*array)[i] = static_cast<E>(bytes[i]);
            m_hex[path] = array->Hex();
            slot = array;
        }
        return *static_cast<const talvex::Array<E, N>*>(slot.get());
    }

private:
    // Wide types start high, so that a value cut to a narrower type shows.
    template <class T>
    static constexpr std::uint64_t DefaultBase()
    {
        if constexpr (std::is_signed_v<T>) return static_cast<std::uint64_t>(-1000);
        else if constexpr (sizeof(T) == 1) return 0;
        else if constexpr (sizeof(T) == 2) return 0xA000;
        else if constexpr (sizeof(T) == 4) return 0xA0000000;
        else return 0xA000000000000000;
    }
    void Enter(const std::string& path, Kind kind);
    std::uint64_t NumberPattern(const std::string& path, std::uint64_t base);
    std::string BytesFor(const std::string& path, std::size_t size);

    std::map<std::string, std::int64_t> m_set;
    std::map<std::string, std::string> m_setBytes;
    std::set<std::string> m_null;
    std::map<std::string, std::string> m_throw;
    std::map<std::string, Kind> m_read;
    std::map<std::string, std::uint64_t> m_answered;
    std::map<std::string, std::string> m_bytes;
    std::map<std::string, std::string> m_hex;
    std::map<std::string, std::shared_ptr<void>> m_arrays;
    std::vector<std::string> m_calls;
    std::uint64_t m_nextOrdinal = 1;
};

enum class VendorArea {
    None,        // VendorSpecificInfo() gives null
    Plain,       // an object without the customized interface
    Customized,  // an object that also is ICustomizedControllerData
};

struct DriveScript {
    talvex::stordex::StorageBusType busType = talvex::stordex::StorageBusType::Nvme;
    bool hasIdentify = true;
    bool hasHealth = true;
    bool hasCustomizedHealth = true;
    VendorArea vendor = VendorArea::Customized;
    // PowerStateDesc(i) is null from this index on.
    std::uint32_t powerStateDescriptors = 32;
    // Each object made for the drive answers from these; they outlive it.
    std::shared_ptr<Answers> identify = std::make_shared<Answers>();
    std::shared_ptr<Answers> health = std::make_shared<Answers>();
    std::shared_ptr<Answers> customizedHealth = std::make_shared<Answers>();
};

// The library's state: the drives, the failures and the object accounting.
// Reset() before each test.
class Library {
public:
    static Library& Instance();

    void Reset();
    // Makes drive `number` exist (bit `number` of the mask) and gives its script.
    DriveScript& Drive(std::uint32_t number);
    // The library call of this text ("SXGetPhysicalDrives()",
    // "SXQueryStorageBusType(2)", "SXNvmNewHealthInfo(2)" ...) throws
    // std::runtime_error with `what`.
    void FailCall(const std::string& call, const std::string& what);

    // Every library call, in order, by the same text; releases read
    // "SXDelete(null)", "SXDelete(<kind>)" or "SXDelete(stray)".
    std::vector<std::string> Calls() const;
    long Created() const noexcept { return m_created; }
    long Released() const noexcept { return m_released; }
    long NullReleases() const noexcept { return m_nullReleases; }
    // Releases of a pointer the caller did not own: never handed out, handed
    // out as another interface, or released already.
    long StrayReleases() const noexcept { return m_strayReleases; }
    long Live() const noexcept { return static_cast<long>(m_live.size()); }

    // For the fake functions and objects.
    std::uint32_t Mask() const;
    const DriveScript* Find(std::uint32_t number) const;
    void Call(const std::string& call);
    void Adopt(void* handedOut, std::string kind, std::shared_ptr<void> object);
    void Release(void* object) noexcept;

private:
    std::map<std::uint32_t, DriveScript> m_drives;
    std::map<std::string, std::string> m_failures;
    std::vector<std::string> m_calls;
    struct Held {
        std::string kind;
        std::shared_ptr<void> object;
    };
    std::map<void*, Held> m_live;
    long m_created = 0;
    long m_released = 0;
    long m_nullReleases = 0;
    long m_strayReleases = 0;
};

}  // namespace stordex_fake
