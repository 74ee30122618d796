#include "SmartStaticInfoRetriever.h"

#include <chrono>
#include <string_view>
#include <utility>

#include "ItemTable.h"
#include "SmartDataGetter.h"

namespace Talvex::Quorlin::Plugins {

namespace {

constexpr std::string_view kSourceFile = "src/Plugins/StorageCollector/SmartStaticInfoRetriever";
constexpr std::string_view kFunction = "Talvex::Quorlin::Plugins::SmartStaticInfoRetriever::CollectData";

}  // namespace

SmartStaticInfoRetriever::SmartStaticInfoRetriever(std::shared_ptr<Kvr::IKvrLog> log) : m_Log(std::move(log)) {}

Kvr::DatatypeItemList<Datatypes::SmartStaticInfo> SmartStaticInfoRetriever::CollectData(
    const std::optional<std::string>& itemId)
{
    const Kvr::CollectionTime time = std::chrono::system_clock::now();
    const ItemTable<Datatypes::SmartStaticInfo> table = SmartDataGetter::GetStaticDiskData();
    if (table.Empty()) {
        m_Log->Debug("No disk data been reached out", __LINE__, kSourceFile, kFunction);
        return std::nullopt;
    }
    std::vector<Kvr::DatatypeItem<Datatypes::SmartStaticInfo>> items;
    if (AsksForAllItems(itemId)) {
        items = table.AllItems(time);
    } else {
        m_Log->Trace("Specific data for SmartStaticInfoRetriever, itemId : " + *itemId, __LINE__, kSourceFile,
                     kFunction);
        items = table.OneItem(*itemId, time);
    }
    m_Log->Trace("Got total info for SmartStaticInfoCollector: " + std::to_string(items.size()), __LINE__, kSourceFile,
                 kFunction);
    return items;
}

}  // namespace Talvex::Quorlin::Plugins
