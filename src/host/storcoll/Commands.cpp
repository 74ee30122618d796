#include "Commands.h"

#include <algorithm>

#include "ItemJson.h"
#include "kvr/host/ExceptionText.h"

namespace Storcoll {

void PrintRegistration(const Kvr::PluginAttribute& plugin, const Kvr::PublisherAttribute& publisher,
                       std::string_view logId, std::span<const Kvr::CollectionMethodEntry> methods,
                       std::ostream& out) {
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

bool Names(const Kvr::CollectionMethodEntry& method, std::string_view name) {
    if (method.Name == name) {
        return true;
    }
    return method.Name.starts_with(kMethodPrefix) && method.Name.substr(kMethodPrefix.size()) == name;
}

}  // namespace

std::vector<Kvr::CollectionMethodEntry> SelectMethods(std::span<const Kvr::CollectionMethodEntry> methods,
                                                      const std::vector<std::string>& names) {
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

int RunCollect(Kvr::BaseCollector& plugin, std::span<const Kvr::CollectionMethodEntry> methods,
               const std::optional<std::string>& itemId, const std::stop_token& token, std::ostream& out,
               std::ostream& err) {
    Json results = Json::array();
    int exitCode = Success;
    for (const auto& method : methods) {
        Json result;
        result["method"] = std::string(method.Name);
        result["messageType"] = method.MessageTypeName();
        try {
            const auto items = method.Invoke(plugin, itemId, token);
            if (items.has_value()) {
                Json list = Json::array();
                for (const auto& item : *items) {
                    list.push_back(ItemToJson(item));
                }
                result["items"] = std::move(list);
            } else {
                result["items"] = nullptr;
            }
        } catch (const Kvr::OperationCanceledException& cancelled) {
            result["error"] = ErrorToJson(cancelled);
            results.push_back(std::move(result));
            err << "storcoll: " << method.Name << " cancelled\n";
            exitCode = Cancelled;
            break;
        } catch (const Kvr::Exception& failure) {
            result["error"] = ErrorToJson(failure);
            err << "storcoll: " << method.Name << " failed: " << failure.Message() << '\n';
            if (const Kvr::Exception* inner = failure.InnerException()) {
                err << "  inner error: " << Kvr::Host::ExceptionChainText(*inner) << '\n';
            } else if (const std::exception* native = failure.InnerNativeException()) {
                err << "  inner error: " << native->what() << '\n';
            }
            exitCode = CollectionFailed;
        }
        results.push_back(std::move(result));
    }
    out << results.dump(2) << '\n';
    return exitCode;
}

}  // namespace Storcoll
