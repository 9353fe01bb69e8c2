#pragma once

#include <velmarith/Error.h>

namespace velmarith {

/// Runs `step` and passes over an Error it raises, for the handlers whose steps may each fail
/// alone while the next one still runs. True when the step ran through.
template<class Step>
bool ranWithoutError(Step &&step)
{
    try {
        step();
        return true;
    } catch (const Error &) {
        return false;
    }
}

} // namespace velmarith
