#pragma once
// The one error handler a procedure installs over its whole body: a failure stops the body
// and is reported as "Error in <procedure> sub" CR LF "#<number> <description>" in a
// critical-stop box titled "Error!".

#include <exception>
#include <new>
#include <string>

#include "runtime/runtime_error.h"

namespace tw {

// The text of the box; `extra` is appended as it stands (some procedures add lines).
std::string errorReportText(const std::string& procedure, const RuntimeError& error,
                            const std::string& extra = "");

// Shows the box for a caught error.
void reportError(const std::string& procedure, const RuntimeError& error,
                 const std::string& extra = "");

// Turns whatever was caught into the program's error record: standard exceptions map to
// the nearest run-time error number.
RuntimeError toRuntimeError(std::exception_ptr caught);

// Runs body; on failure reports it and returns false. `extra` as for reportError.
template <class Body>
bool withErrorHandler(const std::string& procedure, Body&& body, const std::string& extra = "") {
    try {
        body();
        return true;
    } catch (...) {
        reportError(procedure, toRuntimeError(std::current_exception()), extra);
        return false;
    }
}

}  // namespace tw
