// How storcoll shows collected items: JSON, with each message's fields under
// the names the host knows them by (their json_name).
#pragma once

#include <google/protobuf/message.h>
#include <nlohmann/json.hpp>

#include "kvr/Exceptions.h"
#include "kvr/Registration.h"

namespace Storcoll {

struct DiskHealth;

using Json = nlohmann::ordered_json;

// Every field without presence, set or not; a field with presence (a message
// or an optional text) only when it is set. A bytes field that holds printable
// text (the NVMe counters' hexadecimal digits) is shown as that text; with
// `protoJson`, every bytes field stays base64 as protobuf's canonical JSON
// mapping has it, so that the message can be parsed back.
Json MessageToJson(const google::protobuf::Message& message, bool protoJson = false);

// {"itemId": ..., "time": "2026-12-06T02:00:00.123Z", "data": {...}}
Json ItemToJson(const Kvr::GenericItem& item, bool protoJson = false);

// {"type": ..., "message": ..., "inner": {...}} with "inner" only when there is one.
Json ErrorToJson(const Kvr::Exception& error);

// {"itemId", "model", "source", "verdict", "reasons": [{"severity", "text"}], "unavailable"}
// with "unavailable" only for a disk without a verdict.
Json HealthToJson(const DiskHealth& health);

}  // namespace Storcoll
