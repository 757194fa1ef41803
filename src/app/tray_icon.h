#pragma once
// The notification-area icon: one record, refilled and handed to the shell by each of the
// three operations. The shell's result is not examined; calls made while no icon exists
// change nothing.

#include <cstdint>
#include <string>

#include "platform/notify_icon.h"

namespace tw {

// The record as the last operation filled it (tests read it).
const platform::NOTIFYICONDATA& trayRecord();

void TrayAdd(std::uintptr_t icon, const std::string& tip, std::uintptr_t window);
void TrayModify(std::uintptr_t icon, const std::string& tip, std::uintptr_t window);
void TrayDelete();
// A balloon message beside the icon, with a picture where the shell shows one (0: none);
// nothing while no icon exists. `text` is plain text, escaped where the shell reads markup.
// Silent: without the shell's sound, where it plays one.
void TrayBalloon(const std::string& title, const std::string& text, bool critical, std::uintptr_t window,
                 std::uintptr_t icon = 0, bool silent = false);

}  // namespace tw
