#include "Collection.h"

#include "ItemJson.h"
#include "kvr/host/ExceptionText.h"

namespace Storcoll {

namespace {

std::string ErrorLines(const Kvr::Exception& failure)
{
    std::string text = failure.Message();
    if (const Kvr::Exception* inner = failure.InnerException()) {
        text += "\n  inner error: " + Kvr::Host::ExceptionChainText(*inner);
    } else if (const std::exception* native = failure.InnerNativeException()) {
        text += "\n  inner error: " + std::string(native->what());
    }
    return text;
}

}  // namespace

std::vector<MethodOutcome> CollectMethods(Kvr::BaseCollector& plugin,
                                          std::span<const Kvr::CollectionMethodEntry> methods,
                                          const std::optional<std::string>& itemId, const std::stop_token& token,
                                          const ProgressListener& progress)
{
    std::vector<MethodOutcome> outcomes;
    for (const auto& method : methods) {
        MethodOutcome outcome{method, std::nullopt, std::nullopt, {}, false, {}};
        if (progress) {
            progress(outcome, false);
        }
        const auto start = std::chrono::steady_clock::now();
        try {
            outcome.Items = method.Invoke(plugin, itemId, token);
        } catch (const Kvr::OperationCanceledException& cancelled) {
            outcome.Error = ErrorToJson(cancelled);
            outcome.ErrorText = cancelled.Message();
            outcome.Cancelled = true;
        } catch (const Kvr::Exception& failure) {
            outcome.Error = ErrorToJson(failure);
            outcome.ErrorText = ErrorLines(failure);
        }
        outcome.Elapsed = std::chrono::steady_clock::now() - start;
        if (progress) {
            progress(outcome, true);
        }
        outcomes.push_back(std::move(outcome));
        if (outcomes.back().Cancelled) {
            break;
        }
    }
    return outcomes;
}

}  // namespace Storcoll
