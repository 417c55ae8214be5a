#pragma once

#include "base/ErrorReporter.h"

#include <utility>

namespace quibo {

// Turns whatever is being thrown into the error the report shows. Call only
// inside a catch block.
PendingError CurrentExceptionAsError() noexcept;

// A procedure's error trap: runs the body; a run-time error inside it is
// reported with the procedure's location code, and the procedure then goes on
// to return its result as it stood. No exception leaves.
//
//     bool result = true;
//     Trap(errors, "F01-0046", [&] { ... });
//     return result;
template <class Body> void Trap(ErrorReporter& errors, const char* location, Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (...) {
        errors.ErrorIn(QString::fromLatin1(location), CurrentExceptionAsError());
    }
}

} // namespace quibo
