#pragma once
// The local clock and the user's date formats, as the desktop's locale settings give them.

#include "runtime/general_date.h"

namespace tw::platform {

LocalDateTime localNow();
// Short date and long time formats, month names and AM/PM texts.
DatePatterns userDatePatterns();

}  // namespace tw::platform
