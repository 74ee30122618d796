// Collects the Identify Controller data of each NVMe drive, and of each NVMe
// drive behind a RAID controller, as NvmeIdentifyControllerData messages.
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

    // A standard exception while the drives are read is logged and gives an
    // empty list, as does a machine without NVMe data; a duplicate item id
    // and an unknown requested id are raised.
    Kvr::DatatypeItemList<Datatypes::NvmeIdentifyControllerData> CollectData(
        const std::optional<std::string>& itemId) override;

private:
    std::shared_ptr<Kvr::IKvrLog> m_Log;
};

}  // namespace Talvex::Quorlin::Plugins
