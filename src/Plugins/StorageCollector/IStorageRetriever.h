// What every retriever offers the plug-in: one collection of its data type.
#pragma once

#include <optional>
#include <string>

#include "kvr/DatatypeItem.h"

namespace Talvex::Quorlin::Plugins {

template <class T>
class IStorageRetriever {
public:
    virtual ~IStorageRetriever() = default;

    // Takes the collection time once, before reading anything, and stamps
    // every item with it. An absent or empty item id asks for all items, in
    // the order found; any other id for the one item of exactly that id, or
    // raises Kvr::ArgumentOutOfRangeException
    // "cannot find data with specific ID: <id>". No list means no data.
    virtual Kvr::DatatypeItemList<T> CollectData(const std::optional<std::string>& itemId) = 0;
};

}  // namespace Talvex::Quorlin::Plugins
