#pragma once

#include <velmarith/Error.h>

#include <optional>

namespace velmarith::test {

/// The Error an action raised, or nothing when it finished.
std::optional<Error> errorOf(auto &&action)
{
    try {
        action();
    } catch (const Error &error) {
        return error;
    }
    return std::nullopt;
}

/// The number of the Error an action raised, 0 when it finished.
int errorNumberOf(auto &&action)
{
    const std::optional<Error> error = errorOf(action);
    return error ? error->number() : 0;
}

/// The message of the Error an action raised, empty when it finished.
QString errorMessageOf(auto &&action)
{
    const std::optional<Error> error = errorOf(action);
    return error ? error->message() : QString();
}

} // namespace velmarith::test
