// The HRESULT a check raises, or a test failure when it raises nothing.
#pragma once

#include <gtest/gtest.h>

#include "failure_reporting/ResultException.h"

template <typename Raise>
HRESULT CodeOf(const Raise& raise)
{
    try {
        raise();
    } catch (const Talvex::Quorlin::Cpp::Common::ResultException& error) {
        return error.GetErrorCode();
    }
    ADD_FAILURE() << "nothing was raised";
    return S_OK;
}
