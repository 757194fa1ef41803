#pragma once
// Which notifications make a sound. The "Sound" setting is "0" (none), "1" (every
// notification) or "2", the default (only those in which the player's realm lost a keep);
// any other value counts as "2". The sound is named as in the freedesktop sound theme.

#include <string>

namespace tw {

enum class SoundMode { Off, EveryNotification, LostKeeps };

SoundMode soundMode(const std::string& stored);

// The sound's name for a notification ("dialog-warning" for a lost keep,
// "message-new-instant" for any other), or empty for none.
std::string notificationSound(SoundMode mode, bool realmLostAKeep);

}  // namespace tw
