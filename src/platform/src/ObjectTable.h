// Handles for objects the platform hands out (files, device information
// sets): each remembers the machine whose ledger counts it.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>

#include "platform/Machine.h"

namespace platform {

template <typename Entry>
class ObjectTable {
public:
    ObjectTable(std::uintptr_t firstValue, Resource resource) : m_next(firstValue), m_resource(resource) {}

    void* Add(Entry entry)
    {
        Machine& owner = CurrentMachine();
        std::lock_guard lock(m_lock);
        const std::uintptr_t value = m_next;
        m_next += 4;
        m_entries.emplace(value, Slot{std::move(entry), &owner});
        owner.Ledger().Acquired(m_resource);
        return reinterpret_cast<void*>(value);
    }

    std::optional<Entry> Find(void* handle) const
    {
        std::lock_guard lock(m_lock);
        const auto found = m_entries.find(reinterpret_cast<std::uintptr_t>(handle));
        if (found == m_entries.end()) return std::nullopt;
        return found->second.entry;
    }

    bool Remove(void* handle)
    {
        std::lock_guard lock(m_lock);
        const auto found = m_entries.find(reinterpret_cast<std::uintptr_t>(handle));
        if (found == m_entries.end()) return false;
        found->second.owner->Ledger().Released(m_resource);
        m_entries.erase(found);
        return true;
    }

private:
    struct Slot {
        Entry entry;
        Machine* owner;
    };
    mutable std::mutex m_lock;
    std::map<std::uintptr_t, Slot> m_entries;
    std::uintptr_t m_next;
    Resource m_resource;
};

}  // namespace platform
