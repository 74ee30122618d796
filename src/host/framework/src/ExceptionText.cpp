#include "kvr/host/ExceptionText.h"

namespace Kvr::Host {

std::string ExceptionChainText(const Exception& exception)
{
    std::string text;
    const Exception* current = &exception;
    // Inner chains are short; the bound only guards against a cycle made on purpose.
    for (int depth = 0; current != nullptr && depth < 32; ++depth) {
        if (depth > 0) {
            text += " ---> ";
        }
        text += current->TypeName();
        text += ": ";
        text += current->Message();
        if (current->InnerNativeException() != nullptr) {
            text += " ---> native error: ";
            text += DescribeException(current->InnerExceptionPtr());
        }
        current = current->InnerException();
    }
    return text;
}

}  // namespace Kvr::Host
