#include "JsonFormat.h"

#include "ItemJson.h"

namespace Storcoll {

Json MethodToJson(const MethodOutcome& outcome, bool protoJson)
{
    Json json;
    json["method"] = std::string(outcome.Method.Name);
    json["messageType"] = outcome.Method.MessageTypeName();
    if (outcome.Error) {
        json["error"] = *outcome.Error;
    } else if (outcome.Items) {
        Json items = Json::array();
        for (const auto& item : *outcome.Items) {
            items.push_back(ItemToJson(item, protoJson));
        }
        json["items"] = std::move(items);
    } else {
        json["items"] = nullptr;
    }
    return json;
}

void PrintJson(const Report& report, const OutputOptions& options, std::ostream& out)
{
    Json collections = Json::array();
    for (const auto& outcome : report.Outcomes) {
        collections.push_back(MethodToJson(outcome, options.ProtoJson));
    }
    Json health = Json::array();
    for (const auto& disk : report.Health) {
        health.push_back(HealthToJson(disk));
    }
    out << Json{{"collections", std::move(collections)}, {"health", std::move(health)}}.dump(2) << '\n';
}

}  // namespace Storcoll
