// The table a retriever builds in one collection: item id to message, in the
// order the items were found, every id once. Also the step shared by all
// retrievers of turning the table into the items the caller asked for.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kvr/DatatypeItem.h"
#include "kvr/Exceptions.h"

namespace Talvex::Quorlin::Plugins {

// An absent or empty item id asks for all items.
inline bool AsksForAllItems(const std::optional<std::string>& itemId) noexcept
{
    return !itemId.has_value() || itemId->empty();
}

template <class T>
class ItemTable {
public:
    struct Entry {
        std::string ItemId;
        std::shared_ptr<const T> Message;
    };

    // Raises Kvr::ArgumentException when the id is already in the table; the
    // table is then unchanged.
    void Add(std::string itemId, T message)
    {
        if (m_index.find(itemId) != m_index.end()) {
            throw Kvr::ArgumentException("An item with the same key has already been added. Key: " + itemId);
        }
        m_index.emplace(itemId, m_entries.size());
        m_entries.push_back(Entry{std::move(itemId), std::make_shared<const T>(std::move(message))});
    }

    // The message of `itemId` (exact, case-sensitive), or null.
    const T* Find(std::string_view itemId) const
    {
        const auto found = m_index.find(itemId);
        return found == m_index.end() ? nullptr : m_entries[found->second].Message.get();
    }

    std::size_t Size() const noexcept { return m_entries.size(); }
    bool Empty() const noexcept { return m_entries.empty(); }
    auto begin() const noexcept { return m_entries.begin(); }
    auto end() const noexcept { return m_entries.end(); }

    // One item per entry, in table order, each stamped with `time`.
    std::vector<Kvr::DatatypeItem<T>> AllItems(Kvr::CollectionTime time) const
    {
        std::vector<Kvr::DatatypeItem<T>> items;
        items.reserve(m_entries.size());
        for (const auto& entry : m_entries) {
            items.emplace_back(entry.Message, entry.ItemId, time);
        }
        return items;
    }

    // The one item of `itemId`, or Kvr::ArgumentOutOfRangeException
    // "cannot find data with specific ID: <id>".
    std::vector<Kvr::DatatypeItem<T>> OneItem(const std::string& itemId, Kvr::CollectionTime time) const
    {
        const auto found = m_index.find(itemId);
        if (found == m_index.end()) {
            throw Kvr::ArgumentOutOfRangeException("cannot find data with specific ID: " + itemId);
        }
        const Entry& entry = m_entries[found->second];
        return {Kvr::DatatypeItem<T>(entry.Message, entry.ItemId, time)};
    }

private:
    std::vector<Entry> m_entries;
    std::map<std::string, std::size_t, std::less<>> m_index;
};

}  // namespace Talvex::Quorlin::Plugins
