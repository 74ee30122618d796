// Collects the Identify Controller data of each NVMe drive as NvmeIdentifyControllerData messages.
// Not built yet: every collection reports that it is not supported.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "IStorageRetriever.h"
#include "kvr/IKvrLog.h"
#include "nvme_identify_controller_data.pb.h"

namespace Talvex::Quorlin::Plugins {

class NvmeIdentifyControllerDataRetriever final : public IStorageRetriever<Datatypes::NvmeIdentifyControllerData> {
public:
    // Only keeps the log; nothing is read before the first collection.
    explicit NvmeIdentifyControllerDataRetriever(std::shared_ptr<Kvr::IKvrLog> log);

    Kvr::DatatypeItemList<Datatypes::NvmeIdentifyControllerData> CollectData(const std::optional<std::string>& itemId) override;

private:
    std::shared_ptr<Kvr::IKvrLog> m_Log;
};

}  // namespace Talvex::Quorlin::Plugins
