// The one rule by which an exception becomes an ErrorCode at the plug-in's boundary.
#pragma once

#include <utility>

#include "host/Error.h"
#include "host/ErrorCode.h"

// Runs `operation` and returns its ErrorCode; an ai::Error becomes the code it carries, any
// other exception 'CANT'. Nothing escapes.
template <typename Operation>
ErrorCode CallCatchingExceptions(Operation&& operation) noexcept {
    try {
        return std::forward<Operation>(operation)();
    } catch (const ai::Error& error) {
        return error.code;
    } catch (...) {
        return kCantError;
    }
}
