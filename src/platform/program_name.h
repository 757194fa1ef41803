#pragma once
// The running executable's file name without its extension, for names that must differ
// between programs on one desktop (registered window messages); "towerwatch" when unknown.

#include <string>

namespace tw::platform {

std::string programBaseName();

}  // namespace tw::platform
