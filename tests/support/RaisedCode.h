// The HRESULT a native call raises, or S_OK when it returns: a test that
// expects a failure code fails as well when nothing is raised.
#pragma once

#include "failure_reporting/ResultException.h"

template <typename Call>
HRESULT Raised(const Call& call)
{
    try {
        call();
    } catch (const Talvex::Quorlin::Cpp::Common::ResultException& error) {
        return error.GetErrorCode();
    }
    return S_OK;
}
