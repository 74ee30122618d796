#include "NvmeIdentifyControllerDataRetriever.h"

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

constexpr std::string_view kSourceFile = "src/Plugins/StorageCollector/NvmeIdentifyControllerDataRetriever";
constexpr std::string_view kFunction = "Talvex::Quorlin::Plugins::NvmeIdentifyControllerDataRetriever::CollectData";

}  // namespace

NvmeIdentifyControllerDataRetriever::NvmeIdentifyControllerDataRetriever(std::shared_ptr<Kvr::IKvrLog> log)
    : m_Log(std::move(log))
{
}

Kvr::DatatypeItemList<Datatypes::NvmeIdentifyControllerData> NvmeIdentifyControllerDataRetriever::CollectData(
    const std::optional<std::string>& itemId)
{
    const std::string requested = itemId.value_or(std::string());
    m_Log->Debug("datatypeId: 'NvmeIdentifyControllerData', itemId: '" + requested + "'", __LINE__, kSourceFile,
                 kFunction);
    const Kvr::CollectionTime time = std::chrono::system_clock::now();

    ItemTable<Datatypes::NvmeIdentifyControllerData> table;
    try {
        table = NvmeDataGetter::GetIdentifyControllerData();
        for (const auto& entry : table) {
            const Datatypes::NvmeIdentifyControllerData& data = *entry.Message;
            m_Log->Trace(entry.ItemId + " ByteStringObjects: FruGloballyUniqueIdentifier: 0x" +
                             data.fru_globally_unique_identifier() +
                             ", TotalNvmCapacity: 0x" + data.total_nvm_capacity() +
                             ", UnallocatedNvmCapacity: 0x" + data.unallocated_nvm_capacity(),
                         __LINE__, kSourceFile, kFunction);
        }
    } catch (const std::exception& error) {
        // Whatever was converted before the failure goes too.
        m_Log->Error("Exception from GetIdentifyControllerData() : " + Cpp::Common::NativeDescription(error), __LINE__,
                     kSourceFile, kFunction);
        return std::vector<Kvr::DatatypeItem<Datatypes::NvmeIdentifyControllerData>>{};
    }

    if (table.Empty()) {
        m_Log->Debug("No identify controller data has been reached out", __LINE__, kSourceFile, kFunction);
        return std::vector<Kvr::DatatypeItem<Datatypes::NvmeIdentifyControllerData>>{};
    }

    std::vector<Kvr::DatatypeItem<Datatypes::NvmeIdentifyControllerData>> items;
    if (AsksForAllItems(itemId)) {
        m_Log->Debug("get all data for NvmeIdentifyControllerDataRetriever", __LINE__, kSourceFile, kFunction);
        items = table.AllItems(time);
    } else {
        m_Log->Debug("get specific data for NvmeIdentifyControllerDataRetriever, itemID: " + requested, __LINE__,
                     kSourceFile, kFunction);
        items = table.OneItem(requested, time);
    }
    m_Log->Trace("Got total info for NvmeIdentifyControllerDataRetriever: " + std::to_string(items.size()), __LINE__,
                 kSourceFile, kFunction);
    return items;
}

}  // namespace Talvex::Quorlin::Plugins
