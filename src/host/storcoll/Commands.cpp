#include "Commands.h"

#include <algorithm>

#include "Collection.h"
#include "Health.h"
#include "Progress.h"

namespace Storcoll {

void PrintRegistration(const Kvr::PluginAttribute& plugin, const Kvr::PublisherAttribute& publisher,
                       std::string_view logId, std::span<const Kvr::CollectionMethodEntry> methods,
                       std::ostream& out)
{
    out << "Plugin:       " << plugin.Name << '\n'
        << "Id:           " << plugin.Id << '\n'
        << "Version:      " << plugin.Version << '\n'
        << "Log id:       " << logId << '\n'
        << "Description:  " << plugin.Description << '\n'
        << "Publisher:    " << publisher.Name << '\n'
        << "Support:      " << publisher.Support << '\n'
        << "Website:      " << publisher.Website << '\n'
        << "Collection methods:\n";
    std::size_t width = 0;
    for (const auto& method : methods) {
        width = std::max(width, method.Name.size());
    }
    for (const auto& method : methods) {
        out << "  " << method.Name << std::string(width - method.Name.size() + 2, ' ') << method.MessageTypeName()
            << '\n';
    }
}

namespace {

constexpr std::string_view kMethodPrefix = "Collect";

bool Names(const Kvr::CollectionMethodEntry& method, std::string_view name)
{
    if (method.Name == name) {
        return true;
    }
    return method.Name.starts_with(kMethodPrefix) && method.Name.substr(kMethodPrefix.size()) == name;
}

}  // namespace

std::vector<Kvr::CollectionMethodEntry> SelectMethods(std::span<const Kvr::CollectionMethodEntry> methods,
                                                      const std::vector<std::string>& names)
{
    if (names.empty()) {
        return {methods.begin(), methods.end()};
    }
    std::vector<Kvr::CollectionMethodEntry> selected;
    for (const auto& name : names) {
        const auto found =
            std::find_if(methods.begin(), methods.end(), [&](const auto& method) { return Names(method, name); });
        if (found == methods.end()) {
            std::string valid;
            for (const auto& method : methods) {
                valid += valid.empty() ? "" : ", ";
                valid += method.Name;
            }
            throw UnknownMethodError("unknown collection method '" + name + "'; valid methods: " + valid);
        }
        selected.push_back(*found);
    }
    return selected;
}

namespace {

constexpr std::string_view kUnknownItemText = "cannot find data with specific ID: ";

bool IsUnknownItem(const MethodOutcome& outcome)
{
    return outcome.Error && !outcome.Cancelled && outcome.ErrorText.find(kUnknownItemText) != std::string::npos;
}

// The ids of every item the methods have, in the order first met.
std::vector<std::string> ExistingIds(Kvr::BaseCollector& plugin, std::span<const Kvr::CollectionMethodEntry> methods,
                                     const std::stop_token& token)
{
    std::vector<std::string> ids;
    for (const auto& outcome : CollectMethods(plugin, methods, std::nullopt, token)) {
        for (const auto& item : outcome.Items.value_or(std::vector<Kvr::GenericItem>{})) {
            if (std::find(ids.begin(), ids.end(), item.ItemId) == ids.end()) {
                ids.push_back(item.ItemId);
            }
        }
    }
    return ids;
}

}  // namespace

int RunCollect(Kvr::BaseCollector& plugin, std::span<const Kvr::CollectionMethodEntry> methods,
               const std::optional<std::string>& itemId, const std::stop_token& token,
               const CollectOptions& options, std::ostream& out, std::ostream& err)
{
    ProgressListener listener;
    if (options.Progress) {
        listener = Progress(err, options.ProgressColor);
    }
    Report report{CollectMethods(plugin, methods, itemId, token, listener), {}};

    if (itemId && !itemId->empty()) {
        const bool anyKnows = std::any_of(report.Outcomes.begin(), report.Outcomes.end(),
                                          [](const MethodOutcome& outcome) { return !IsUnknownItem(outcome); });
        if (!anyKnows) {
            std::string ids;
            for (const auto& id : ExistingIds(plugin, methods, token)) {
                ids += "\n  " + id;
            }
            err << "storcoll: no item '" << *itemId << "'; "
                << (ids.empty() ? std::string("the methods have no items") : "items that exist:" + ids) << '\n';
            return UsageError;
        }
        // A method that lacks the item is no failure: it has nothing to show for it.
        for (auto& outcome : report.Outcomes) {
            if (IsUnknownItem(outcome)) {
                outcome.Error.reset();
                outcome.ErrorText.clear();
                outcome.Items.emplace();
            }
        }
    }

    int exitCode = Success;
    for (const auto& outcome : report.Outcomes) {
        if (outcome.Cancelled) {
            err << "storcoll: " << outcome.Method.Name << " cancelled\n";
            exitCode = Cancelled;
        } else if (outcome.Error) {
            err << "storcoll: " << outcome.Method.Name << " failed: " << outcome.ErrorText << '\n';
            exitCode = CollectionFailed;
        }
    }
    report.Health = AssessHealth(report.Outcomes);
    const OutputFormat* format = options.Format != nullptr ? options.Format : FindOutputFormat("json");
    format->Print(report, options.Output, out);
    return exitCode;
}

}  // namespace Storcoll
