// One collected item: a data message, the id of the item it describes and the
// time of the collection that produced it.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Kvr {

// A UTC point in time; its offset is always zero.
using CollectionTime = std::chrono::system_clock::time_point;

template <class T>
class DatatypeItem {
public:
    DatatypeItem(T message, std::string itemId, CollectionTime time)
        : m_message(std::make_shared<const T>(std::move(message))), m_itemId(std::move(itemId)), m_time(time) {}
    DatatypeItem(std::shared_ptr<const T> message, std::string itemId, CollectionTime time)
        : m_message(std::move(message)), m_itemId(std::move(itemId)), m_time(time) {}

    const T& Message() const noexcept { return *m_message; }
    const std::shared_ptr<const T>& SharedMessage() const noexcept { return m_message; }
    const std::string& ItemId() const noexcept { return m_itemId; }
    CollectionTime Time() const noexcept { return m_time; }

private:
    std::shared_ptr<const T> m_message;
    std::string m_itemId;
    CollectionTime m_time;
};

// A collection's result: a list of items, or no list at all when there is no data.
template <class T>
using DatatypeItemList = std::optional<std::vector<DatatypeItem<T>>>;

}  // namespace Kvr
