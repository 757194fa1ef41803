#pragma once
// Shared by the files of CSocket: errors leave each operation with that operation's source.

#include "runtime/runtime_error.h"

namespace tw {

// Runs a step and re-raises whatever leaves it with the operation's source.
template <class Step>
void withSource(const char* source, Step&& step) {
    try {
        step();
    } catch (const RuntimeError& e) {
        throw RuntimeError(e.number(), e.description(), source);
    }
}

}  // namespace tw
