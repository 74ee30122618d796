#include "SmartDynamicInfoRetriever.h"

#include <chrono>
#include <string_view>
#include <utility>

#include "ItemTable.h"
#include "SmartDataGetter.h"
#include "kvr/Exceptions.h"

namespace Talvex::Quorlin::Plugins {

namespace {

constexpr std::string_view kSourceFile = "src/Plugins/StorageCollector/SmartDynamicInfoRetriever";
constexpr std::string_view kFunction = "Talvex::Quorlin::Plugins::SmartDynamicInfoRetriever::CollectData";

}  // namespace

SmartDynamicInfoRetriever::SmartDynamicInfoRetriever(std::shared_ptr<Kvr::IKvrLog> log) : m_Log(std::move(log)) {}

Kvr::DatatypeItemList<Datatypes::SmartDynamicInfo> SmartDynamicInfoRetriever::CollectData(
    const std::optional<std::string>& itemId)
{
    const Kvr::CollectionTime time = std::chrono::system_clock::now();
    try {
        const ItemTable<Datatypes::SmartDynamicInfo> table = SmartDataGetter::GetDynamicDiskData();
        if (table.Empty()) {
            // This line names no source location, unlike the others.
            m_Log->Debug("No SMART data been reached out", 0, "", "");
            return std::nullopt;
        }
        std::vector<Kvr::DatatypeItem<Datatypes::SmartDynamicInfo>> items;
        if (AsksForAllItems(itemId)) {
            items = table.AllItems(time);
        } else {
            m_Log->Trace("Specific data for SmartDynamicInfoRetriever, itemId : " + *itemId, __LINE__, kSourceFile,
                         kFunction);
            items = table.OneItem(*itemId, time);
        }
        m_Log->Trace("Got total info for SmartDynamicInfoCollector: " + std::to_string(items.size()), __LINE__,
                     kSourceFile, kFunction);
        return items;
    } catch (const Kvr::NotSupportedException& notSupported) {
        m_Log->Error(notSupported, __LINE__, kSourceFile, kFunction);
        return std::vector<Kvr::DatatypeItem<Datatypes::SmartDynamicInfo>>{};
    }
}

}  // namespace Talvex::Quorlin::Plugins
