#pragma once
// Change detection for the monitored server: each status document taken in is scanned for
// that server's keeps and their owners, compared by position with the keeps of the document
// before, and every recorded change is appended to the server's event log and may arm the
// tray alert. The snapshots and the name of the server compared last live in one
// OwnershipTracker that the main window keeps for the whole run; nothing is stored.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "herald/server_entries.h"
#include "runtime/runtime_error.h"

namespace tw {

// Which alert picture the tray flashes; None before any alert was raised.
enum class AlertIcon { None, Red, Green, Yellow };

// The tray flash as the main window holds it: the alert picture, the tag text of the flash
// timer (the tip shown while flashing) and whether the timer runs.
struct FlashState {
    AlertIcon alertIcon = AlertIcon::None;
    std::string tag;
    bool enabled = false;
    bool operator==(const FlashState&) const = default;
};

struct OwnershipChange {
    std::string place;
    std::string newOwner;
    std::string oldOwner;
    // The alert for the player's realm, chosen once the change is logged.
    AlertIcon alert = AlertIcon::None;
    bool operator==(const OwnershipChange&) const = default;
};

// ReadSetting(name, default) of the settings store.
using SettingReader = std::function<std::string(const std::string&, const std::string&)>;
// Appends one change to the monitored server's log and returns true, or returns false
// without writing when the log takes no more changes of this document; raises RuntimeError
// when it cannot write.
using ChangeLogger = std::function<bool(const OwnershipChange&)>;

// The most the record lines of one document's changes add to a log. A herald that turns
// every keep over on each update must not be able to fill the disk.
constexpr std::size_t kMostLogBytesPerDocument = std::size_t{1} << 20;

// A ChangeLogger for the changes of one document, writing to AppPath's log of `serverName`,
// every record dated `when` (the general date text of the moment of comparison). From the
// first line that would take its lines past kMostLogBytesPerDocument on, it writes nothing.
ChangeLogger eventLogWriter(std::string appPath, std::string serverName, std::string when);

struct SwitchOffOutcome {
    bool compared = false;                // the document was compared with the one before
    std::vector<OwnershipChange> logged;  // changes appended to the log, in order
    // Changes found after the log took no more of this document: not logged, no alert.
    std::size_t notLogged = 0;
    // The flash after the run. When `flashReplaced`, the window shows flash.alertIcon with
    // the normal picture restored, sets the timer's tag to flash.tag and starts the timer.
    FlashState flash;
    bool flashReplaced = false;
    // The failure that ended the run; it has already been reported as
    // "Error in DoSwitchOff sub". Changes logged before it stay logged.
    std::optional<RuntimeError> error;
};

class OwnershipTracker {
public:
    // Takes in one status document. With MonitorServer "None" nothing happens at all.
    // Otherwise the document's keeps of MonitorServer become the current snapshot and are
    // compared with the previous one when the same server was compared last and the keep
    // counts match. Settings "Realm" (per recorded change) and "FilterNoob" (per owner
    // difference) are read through ReadSetting. Failures are reported through the message
    // box sink and end the run without remembering the server as compared.
    SwitchOffOutcome DoSwitchOff(const std::string& XMLData, const std::string& MonitorServer,
                                 const SettingReader& ReadSetting, const FlashState& flash,
                                 const ChangeLogger& appendToLog);

    // True when the owner difference at keep index c (1-based, present in both snapshots)
    // is worth recording: both owners known and not "Unclaimed", and not a battleground
    // keep (name ending in "Keep") while "FilterNoob" is 1.
    bool IsStupid(std::size_t c, const SettingReader& ReadSetting) const;

    const OwnershipSnapshot& CurrentOwnership() const { return m_current; }
    const OwnershipSnapshot& PreviousOwnership() const { return m_previous; }
    const std::string& LastComparedServer() const { return m_lastComparedServer; }

private:
    void recordChange(std::size_t index, const SettingReader& ReadSetting,
                      const ChangeLogger& appendToLog, SwitchOffOutcome& outcome);

    OwnershipSnapshot m_current;
    OwnershipSnapshot m_previous;
    std::string m_lastComparedServer;
};

// The alert for a change as seen by the user's realm (a realm name, empty when unset):
// red when that realm lost the keep, green when it took it, yellow otherwise.
AlertIcon alertFor(const std::string& userRealm, const OwnershipChange& change);

// Whether a newly chosen alert replaces the flash: red always; anything while nothing
// flashes; the same colour (newer text wins); green over yellow.
bool alertReplacesFlash(AlertIcon chosen, const FlashState& flash);

// "<keep> taken by <new> from <old>", the tip shown while the alert flashes.
std::string flashTagText(const OwnershipChange& change);

}  // namespace tw
