// How the best-effort queries drop what they catch. A result error has been
// reported where it was raised; another standard exception has its
// description taken, so that the failure is at least looked at once.
#pragma once

#include <exception>
#include <string>

#include "failure_reporting/ResultException.h"

namespace Talvex::Quorlin::Cpp::Common::detail {

// Runs `body`; true when it completed. A result error is dropped as it is,
// any other standard exception after its description is taken, anything else
// dropped.
template <typename Body>
bool RunDroppingFailures(Body&& body) noexcept
{
    try {
        body();
        return true;
    } catch (const ResultException&) {
    } catch (const std::exception& failure) {
        const std::string description = failure.what();
        static_cast<void>(description);
    } catch (...) {
    }
    return false;
}

// As RunDroppingFailures, but every standard exception, result errors
// included, has its description taken.
template <typename Body>
bool RunDescribingFailures(Body&& body) noexcept
{
    try {
        body();
        return true;
    } catch (const std::exception& failure) {
        const std::string description = failure.what();
        static_cast<void>(description);
    } catch (...) {
    }
    return false;
}

}  // namespace Talvex::Quorlin::Cpp::Common::detail
