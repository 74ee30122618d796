#include "JsonLinesFormat.h"

#include "ItemJson.h"

namespace Storcoll {

void PrintJsonLines(const Report& report, const OutputOptions& options, std::ostream& out)
{
    for (const auto& outcome : report.Outcomes) {
        Json head;
        head["method"] = std::string(outcome.Method.Name);
        head["messageType"] = outcome.Method.MessageTypeName();
        if (outcome.Error) {
            Json line{{"kind", "error"}};
            line.update(head);
            line["error"] = *outcome.Error;
            out << line.dump() << '\n';
            continue;
        }
        if (!outcome.Items) {
            Json line{{"kind", "none"}};
            line.update(head);
            out << line.dump() << '\n';
            continue;
        }
        for (const auto& item : *outcome.Items) {
            Json line{{"kind", "item"}};
            line.update(head);
            line.update(ItemToJson(item, options.ProtoJson));
            out << line.dump() << '\n';
        }
    }
    for (const auto& disk : report.Health) {
        Json line{{"kind", "health"}};
        line.update(HealthToJson(disk));
        out << line.dump() << '\n';
    }
}

}  // namespace Storcoll
