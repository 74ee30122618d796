#include "SmartNvmeInfoRetriever.h"

#include <chrono>
#include <exception>
#include <string_view>
#include <utility>
#include <vector>

#include "CommonCLI/HostText.h"
#include "ItemTable.h"
#include "NvmeDataGetter.h"

namespace Talvex::Quorlin::Plugins {

namespace {

constexpr std::string_view kSourceFile = "src/Plugins/StorageCollector/SmartNvmeInfoRetriever";
constexpr std::string_view kFunction = "Talvex::Quorlin::Plugins::SmartNvmeInfoRetriever::CollectData";

}  // namespace

SmartNvmeInfoRetriever::SmartNvmeInfoRetriever(std::shared_ptr<Kvr::IKvrLog> log) : m_Log(std::move(log)) {}

Kvr::DatatypeItemList<Datatypes::SmartNvmeInfo> SmartNvmeInfoRetriever::CollectData(
    const std::optional<std::string>& itemId)
{
    const Kvr::CollectionTime time = std::chrono::system_clock::now();

    ItemTable<Datatypes::SmartNvmeInfo> table;
    try {
        table = NvmeDataGetter::GetNvmeHealthData();
    } catch (const std::exception& error) {
        // Whatever was converted before the failure goes too.
        m_Log->Error("Exception from GetNvmeHealthData() : " + Cpp::Common::NativeDescription(error), __LINE__,
                     kSourceFile, kFunction);
        return std::vector<Kvr::DatatypeItem<Datatypes::SmartNvmeInfo>>{};
    }

    if (table.Empty()) {
        m_Log->Debug("No SMART NVMe data has been reached out", __LINE__, kSourceFile, kFunction);
        return std::vector<Kvr::DatatypeItem<Datatypes::SmartNvmeInfo>>{};
    }

    std::vector<Kvr::DatatypeItem<Datatypes::SmartNvmeInfo>> items;
    if (AsksForAllItems(itemId)) {
        items = table.AllItems(time);
    } else {
        m_Log->Debug("Specific data for SmartNvmeInfoRetriever, itemId : " + *itemId, __LINE__, kSourceFile, kFunction);
        items = table.OneItem(*itemId, time);
    }
    m_Log->Trace("Got total info for SmartNvmeInfoCollector: " + std::to_string(items.size()), __LINE__, kSourceFile,
                 kFunction);
    return items;
}

}  // namespace Talvex::Quorlin::Plugins
