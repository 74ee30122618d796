// What a plug-in declares for the host to find: its identity, its publisher
// and a table of its collection methods. The table is constant data; each
// entry carries a type-erased invoker, so a host can list and run the methods
// by name without knowing their message types.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include <google/protobuf/message.h>

#include "kvr/BaseCollector.h"
#include "kvr/Cancellation.h"
#include "kvr/DatatypeItem.h"

namespace Kvr {

struct PluginAttribute {
    std::string_view Id;  // GUID in registry text, braces included
    std::string_view Name;
    std::string_view Version;
    std::string_view Description;
};

struct PublisherAttribute {
    std::string_view Name;
    std::string_view Support;
    std::string_view Website;
};

// An item whose message type is known only at run time.
struct GenericItem {
    std::string ItemId;
    CollectionTime Time;
    std::shared_ptr<const google::protobuf::Message> Message;
};
using GenericItemList = std::optional<std::vector<GenericItem>>;

struct CollectionMethodEntry {
    using Invoker = GenericItemList (*)(BaseCollector& plugin, const std::optional<std::string>& itemId,
                                        const CancellationToken& token);

    BaseCollector::CollectionMethodAttribute Marker;
    std::string_view Name;
    const google::protobuf::Descriptor* (*MessageDescriptor)();
    // Runs the method on `plugin`, which must be of the class whose table holds the entry.
    Invoker Invoke;

    // "Talvex.Quorlin.Datatypes.PhysicalDiskStaticInfo"
    const std::string& MessageTypeName() const { return MessageDescriptor()->full_name(); }
};

namespace detail {

template <class Method>
struct CollectionMethodTraits;

template <class Plugin, class T>
struct CollectionMethodTraits<DatatypeItemList<T> (Plugin::*)(const std::optional<std::string>&,
                                                              const CancellationToken&)> {
    using PluginType = Plugin;
    using MessageType = T;
};

template <auto Method>
GenericItemList InvokeErased(BaseCollector& collector, const std::optional<std::string>& itemId,
                             const CancellationToken& token)
{
    using Traits = CollectionMethodTraits<decltype(Method)>;
    auto& plugin = static_cast<typename Traits::PluginType&>(collector);
    auto items = (plugin.*Method)(itemId, token);
    if (!items.has_value()) {
        return std::nullopt;
    }
    std::vector<GenericItem> generic;
    generic.reserve(items->size());
    for (auto& item : *items) {
        generic.push_back(GenericItem{item.ItemId(), item.Time(), item.SharedMessage()});
    }
    return generic;
}

}  // namespace detail

// The table entry of a collection method
//   DatatypeItemList<T> Plugin::Method(const std::optional<std::string>&, const CancellationToken&)
template <auto Method>
constexpr CollectionMethodEntry MakeCollectionMethod(std::string_view name)
{
    using Traits = detail::CollectionMethodTraits<decltype(Method)>;
    static_assert(std::is_base_of_v<BaseCollector, typename Traits::PluginType>);
    static_assert(std::is_base_of_v<google::protobuf::Message, typename Traits::MessageType>);
    return CollectionMethodEntry{{}, name, &Traits::MessageType::descriptor, &detail::InvokeErased<Method>};
}

}  // namespace Kvr
