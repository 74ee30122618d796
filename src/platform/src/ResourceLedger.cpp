#include "platform/ResourceLedger.h"

namespace platform {

namespace {
std::size_t Slot(Resource resource) noexcept { return static_cast<std::size_t>(resource); }
}  // namespace

std::string_view ResourceName(Resource resource) noexcept
{
    switch (resource) {
    case Resource::Handle: return "Handle";
    case Resource::DeviceInfoSet: return "DeviceInfoSet";
    case Resource::ComReference: return "ComReference";
    case Resource::Bstr: return "Bstr";
    case Resource::SafeArray: return "SafeArray";
    case Resource::TaskMemory: return "TaskMemory";
    case Resource::LibraryObject: return "LibraryObject";
    case Resource::Count: break;
    }
    return "?";
}

void ResourceLedger::Acquired(Resource resource) noexcept
{
    m_open[Slot(resource)].fetch_add(1, std::memory_order_relaxed);
    m_acquired[Slot(resource)].fetch_add(1, std::memory_order_relaxed);
}

void ResourceLedger::Released(Resource resource) noexcept
{
    m_open[Slot(resource)].fetch_sub(1, std::memory_order_relaxed);
}

long ResourceLedger::Open(Resource resource) const noexcept
{
    return m_open[Slot(resource)].load(std::memory_order_relaxed);
}

long ResourceLedger::Acquisitions(Resource resource) const noexcept
{
    return m_acquired[Slot(resource)].load(std::memory_order_relaxed);
}

long ResourceLedger::OpenTotal() const noexcept
{
    long total = 0;
    for (const auto& open : m_open) total += open.load(std::memory_order_relaxed);
    return total;
}

std::string ResourceLedger::OpenReport() const
{
    std::string report;
    for (std::size_t i = 0; i < kKinds; ++i) {
        const long open = m_open[i].load(std::memory_order_relaxed);
        if (open == 0) continue;
        if (!report.empty()) report += ", ";
        report += ResourceName(static_cast<Resource>(i));
        report += ": " + std::to_string(open);
    }
    return report;
}

}  // namespace platform
