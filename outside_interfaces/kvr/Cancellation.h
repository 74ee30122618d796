// The host's cancellation token. A collection method may get none at all.
#pragma once

#include <optional>
#include <stop_token>

#include "kvr/Exceptions.h"

namespace Kvr {

using CancellationToken = std::optional<std::stop_token>;

// Raises OperationCanceledException when a token is given and cancellation
// was requested on it; an absent token never raises.
inline void ThrowIfCancellationRequested(const CancellationToken& token)
{
    if (token.has_value() && token->stop_requested()) {
        throw OperationCanceledException();
    }
}

}  // namespace Kvr
