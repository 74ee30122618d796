// The fake's bookkeeping and its exported functions.
#include "FakeStordex.h"

#include <algorithm>

#include "FakeObjects.h"

namespace stordex_fake {

void Answers::Set(const std::string& path, std::int64_t value) { m_set[path] = value; }

void Answers::SetBytes(const std::string& path, const std::string& bytes)
{
    m_setBytes[path] = bytes;
    m_arrays.erase(path);  // the next object reads the new content
}

void Answers::SetNull(const std::string& path) { m_null.insert(path); }

void Answers::ThrowAt(const std::string& path, const std::string& what) { m_throw[path] = what; }

std::uint64_t Answers::Answered(const std::string& path) const
{
    const auto found = m_answered.find(path);
    if (found == m_answered.end()) throw std::out_of_range("never answered: " + path);
    return found->second;
}

std::string Answers::AnsweredBytes(const std::string& path) const { return m_bytes.at(path); }

std::string Answers::AnsweredHex(const std::string& path) const { return m_hex.at(path); }

std::size_t Answers::CallCount(const std::string& path) const
{
    return static_cast<std::size_t>(std::count(m_calls.begin(), m_calls.end(), path));
}

bool Answers::Flag(const std::string& path)
{
    Enter(path, Kind::Flag);
    const auto set = m_set.find(path);
    const bool value = set != m_set.end() && set->second != 0;
    m_answered[path] = value ? 1 : 0;
    return value;
}

bool Answers::Present(const std::string& path)
{
    Enter(path, Kind::Object);
    return m_null.count(path) == 0;
}

void Answers::Enter(const std::string& path, Kind kind)
{
    m_calls.push_back(path);
    m_read[path] = kind;
    const auto failure = m_throw.find(path);
    if (failure != m_throw.end()) throw std::runtime_error(failure->second);
}

std::uint64_t Answers::NumberPattern(const std::string& path, std::uint64_t base)
{
    const auto set = m_set.find(path);
    if (set != m_set.end()) return static_cast<std::uint64_t>(set->second);
    // Made up once per path, so a value read again reads the same.
    const auto known = m_answered.find(path);
    if (known != m_answered.end()) return known->second;
    return base + m_nextOrdinal++;
}

std::string Answers::BytesFor(const std::string& path, std::size_t size)
{
    const auto set = m_setBytes.find(path);
    std::string bytes = set != m_setBytes.end() ? set->second : "F" + std::to_string(m_nextOrdinal++);
    bytes.resize(size, '\0');
    m_bytes[path] = bytes;
    return bytes;
}

Library& Library::Instance()
{
    static Library library;
    return library;
}

void Library::Reset() { *this = Library(); }

DriveScript& Library::Drive(std::uint32_t number)
{
    const auto [place, added] = m_drives.try_emplace(number);
    // A few descriptors by default, so that made-up numbers stay distinct.
    if (added) place->second.identify->Set("NumberOfPowerStatesSupport", 2);
    return place->second;
}

void Library::FailCall(const std::string& call, const std::string& what) { m_failures[call] = what; }

std::vector<std::string> Library::Calls() const { return m_calls; }

std::uint32_t Library::Mask() const
{
    std::uint32_t mask = 0;
    for (const auto& [number, script] : m_drives) {
        if (number < 32) mask |= 1U << number;
    }
    return mask;
}

const DriveScript* Library::Find(std::uint32_t number) const
{
    const auto found = m_drives.find(number);
    return found == m_drives.end() ? nullptr : &found->second;
}

void Library::Call(const std::string& call)
{
    m_calls.push_back(call);
    const auto failure = m_failures.find(call);
    if (failure != m_failures.end()) throw std::runtime_error(failure->second);
}

void Library::Adopt(void* handedOut, std::string kind, std::shared_ptr<void> object)
{
    m_live[handedOut] = Held{std::move(kind), std::move(object)};
    ++m_created;
}

void Library::Release(void* object) noexcept
{
    if (object == nullptr) {
        ++m_nullReleases;
        m_calls.push_back("SXDelete(null)");
        return;
    }
    const auto found = m_live.find(object);
    if (found == m_live.end()) {
        ++m_strayReleases;
        m_calls.push_back("SXDelete(stray)");
        return;
    }
    m_calls.push_back("SXDelete(" + found->second.kind + ")");
    // Destroyed after the entry is gone, so its destructor sees a consistent table.
    const std::shared_ptr<void> doomed = std::move(found->second.object);
    m_live.erase(found);
    ++m_released;
}

}  // namespace stordex_fake

namespace {

using stordex_fake::Library;

std::string CallText(const char* function, std::uint32_t drive)
{
    return std::string(function) + "(" + std::to_string(drive) + ")";
}

}  // namespace

std::uint32_t SXGetPhysicalDrives()
{
    Library& library = Library::Instance();
    library.Call("SXGetPhysicalDrives()");
    return library.Mask();
}

talvex::stordex::StorageBusType SXQueryStorageBusType(std::uint32_t drive)
{
    Library& library = Library::Instance();
    library.Call(CallText("SXQueryStorageBusType", drive));
    const auto* script = library.Find(drive);
    return script != nullptr ? script->busType : talvex::stordex::StorageBusType::Unknown;
}

talvex::stordex::nvme::IIdentifyControllerData* SXNvmNewIdentifyControllerData(std::uint32_t drive)
{
    Library& library = Library::Instance();
    library.Call(CallText("SXNvmNewIdentifyControllerData", drive));
    const auto* script = library.Find(drive);
    return script != nullptr && script->hasIdentify ? stordex_fake::NewIdentify(*script) : nullptr;
}

talvex::stordex::nvme::IHealthInfo* SXNvmNewHealthInfo(std::uint32_t drive)
{
    Library& library = Library::Instance();
    library.Call(CallText("SXNvmNewHealthInfo", drive));
    const auto* script = library.Find(drive);
    return script != nullptr && script->hasHealth ? stordex_fake::NewHealth(*script) : nullptr;
}

talvex::stordex::nvme::ICustomizedHealthInfo* SXNvmNewCustomizedHealthInfo(std::uint32_t drive)
{
    Library& library = Library::Instance();
    library.Call(CallText("SXNvmNewCustomizedHealthInfo", drive));
    const auto* script = library.Find(drive);
    return script != nullptr && script->hasCustomizedHealth ? stordex_fake::NewCustomizedHealth(*script) : nullptr;
}

void SXDelete(void* object) noexcept { Library::Instance().Release(object); }
