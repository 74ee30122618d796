// How storcoll shows collected items: JSON, with each message's fields under
// the names the host knows them by (their json_name).
#pragma once

#include <google/protobuf/message.h>
#include <nlohmann/json.hpp>

#include "kvr/Exceptions.h"
#include "kvr/Registration.h"

namespace Storcoll {

using Json = nlohmann::ordered_json;

// Every field without presence, set or not; a field with presence (a message
// or an optional text) only when it is set.
Json MessageToJson(const google::protobuf::Message& message);

// {"itemId": ..., "time": "2026-12-06T02:00:00.123Z", "data": {...}}
Json ItemToJson(const Kvr::GenericItem& item);

// {"type": ..., "message": ..., "inner": {...}} with "inner" only when there is one.
Json ErrorToJson(const Kvr::Exception& error);

}  // namespace Storcoll
