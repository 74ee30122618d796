// One-line descriptions of host errors with their chain of inner errors.
#pragma once

#include <string>

#include "kvr/Exceptions.h"

namespace Kvr::Host {

// "Kvr::KvrException: text ---> Kvr::NotSupportedException: text"; a native
// inner error shows as "native error: <what()>".
std::string ExceptionChainText(const Exception& exception);

}  // namespace Kvr::Host
