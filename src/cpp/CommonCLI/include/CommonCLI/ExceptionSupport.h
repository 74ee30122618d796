// The item handler: the one place where the failure of a collection becomes
// what the host receives. Every collection method runs its retriever through
// ItemHandler<T>::ExecuteHandlingException, which writes one log line per
// failure and lets only a KvrException (or the cancellation error, or the
// not-supported error when asked to) escape.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "CommonCLI/HostText.h"
#include "kvr/Cancellation.h"
#include "kvr/Exceptions.h"
#include "kvr/IKvrLog.h"

namespace Talvex::Quorlin::Cpp::Common {

enum class NotSupportedExceptionBehaviour : std::int32_t {
    // Let the not-supported error through as it is, without logging.
    ReThrow = 1,
    // Log it at Trace and raise a KvrException around it.
    WrapInKvrException = 2,
};

// Takes the item id (absent or empty: all items) and produces a T.
template <class T>
using ItemHandlerDelegate = std::function<T(const std::optional<std::string>& itemId)>;

namespace detail {

// What the handler's log lines name as their source, whatever T is.
inline constexpr std::string_view kItemHandlerSourceFile = "src/cpp/CommonCLI/include/CommonCLI/ExceptionSupport";
inline constexpr std::string_view kItemHandlerFunction =
    "Talvex::Quorlin::Cpp::Common::ItemHandler<`generic-class-parameter-1'>::ExecuteHandlingException";

}  // namespace detail

template <class T>
class ItemHandler {
public:
    ItemHandler() = delete;

    // Returns the delegate's result unchanged (an absent list included), or raises.
    static T ExecuteHandlingException(const ItemHandlerDelegate<T>& delegate, const std::optional<std::string>& itemId,
                                      NotSupportedExceptionBehaviour behaviour, Kvr::IKvrLog& log,
                                      const Kvr::CancellationToken& token);
};

template <class T>
T ItemHandler<T>::ExecuteHandlingException(const ItemHandlerDelegate<T>& delegate,
                                           const std::optional<std::string>& itemId,
                                           NotSupportedExceptionBehaviour behaviour, Kvr::IKvrLog& log,
                                           const Kvr::CancellationToken& token)
{
    using detail::kItemHandlerFunction;
    using detail::kItemHandlerSourceFile;

    // Outside the handling below: cancellation is neither logged nor wrapped.
    Kvr::ThrowIfCancellationRequested(token);

    // The catch order matters only between the host's own types; native errors
    // (std::exception) and host errors (Kvr::Exception) never overlap.
    try {
        return delegate(itemId);
    } catch (const std::exception& native) {
        std::string description = NativeDescription(native);
        log.Error("Native exception : " + description, __LINE__, kItemHandlerSourceFile, kItemHandlerFunction);
        throw Kvr::KvrException(std::move(description));
    } catch (const Kvr::KvrException& kvr) {
        log.Error("KVR Exception : " + kvr.Message(), __LINE__, kItemHandlerSourceFile, kItemHandlerFunction);
        throw;
    } catch (const Kvr::NotSupportedException& notSupported) {
        if (behaviour == NotSupportedExceptionBehaviour::ReThrow) {
            throw;
        }
        log.Trace("Not Supported Exception : " + notSupported.Message(), __LINE__, kItemHandlerSourceFile,
                  kItemHandlerFunction);
        throw Kvr::KvrException(std::current_exception());
    } catch (const Kvr::Exception& other) {
        log.Error("Exception : " + other.Message(), __LINE__, kItemHandlerSourceFile, kItemHandlerFunction);
        throw Kvr::KvrException(std::current_exception());
    } catch (...) {
        log.Error("Unknown exception", __LINE__, kItemHandlerSourceFile, kItemHandlerFunction);
        throw Kvr::KvrException("Unknown exception");
    }
}

}  // namespace Talvex::Quorlin::Cpp::Common
