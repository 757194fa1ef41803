#include "alerts/notification_sound.h"

namespace tw {

SoundMode soundMode(const std::string& stored) {
    if (stored == "0") return SoundMode::Off;
    if (stored == "1") return SoundMode::EveryNotification;
    return SoundMode::LostKeeps;
}

std::string notificationSound(SoundMode mode, bool realmLostAKeep) {
    if (mode == SoundMode::Off) return {};
    if (realmLostAKeep) return "dialog-warning";
    return mode == SoundMode::EveryNotification ? "message-new-instant" : "";
}

}  // namespace tw
