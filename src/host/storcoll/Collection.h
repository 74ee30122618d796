// Runs collection methods on a plug-in and keeps what each gave: its items,
// no list, or the error it raised. Printing is the output formats' business.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "kvr/BaseCollector.h"
#include "kvr/Registration.h"

namespace Storcoll {

// What one collection method gave.
struct MethodOutcome {
    Kvr::CollectionMethodEntry Method;
    Kvr::GenericItemList Items;                   // no list when the method found nothing or failed
    std::optional<nlohmann::ordered_json> Error;  // {"type", "message", "inner"} when it raised
    std::string ErrorText;                        // the error's message and its inner error, one line each
    bool Cancelled = false;
    std::chrono::steady_clock::duration Elapsed{};
};

// Told when a method starts (done = false) and when it has ended.
using ProgressListener = std::function<void(const MethodOutcome& outcome, bool done)>;

// Runs each method on `plugin` in turn. Cancellation ends the run after the
// method it stopped, which is the last outcome and marked Cancelled.
std::vector<MethodOutcome> CollectMethods(Kvr::BaseCollector& plugin,
                                          std::span<const Kvr::CollectionMethodEntry> methods,
                                          const std::optional<std::string>& itemId, const std::stop_token& token,
                                          const ProgressListener& progress = {});

// The item's message as a `T`, or null when it holds another type (or none).
template <class T>
const T* MessageOf(const Kvr::GenericItem& item)
{
    return dynamic_cast<const T*>(item.Message.get());
}

// The outcome of the method whose message type is `T`, or null when it was not run.
template <class T>
const MethodOutcome* FindOutcome(std::span<const MethodOutcome> outcomes)
{
    for (const auto& outcome : outcomes) {
        if (outcome.Method.MessageTypeName() == T::descriptor()->full_name()) {
            return &outcome;
        }
    }
    return nullptr;
}

}  // namespace Storcoll
