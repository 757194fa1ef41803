#pragma once
// The number of the run-time error a call raises, 0 when it raises none.

#include "runtime/runtime_error.h"

namespace tw::testing {

template <class Call>
int errorNumberOf(Call&& call) {
    try {
        call();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace tw::testing
