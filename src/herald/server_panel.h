#pragma once
// The monitored-server panel as plain data: LoadInfo's reading of one server's relics and
// keeps from the status document, laid out in twips, ready for the main window to draw.
// The window owns the controls, the "LastServer" setting and the tray; it supplies the text
// measurements (labels size themselves to their captions) and the previous Darkness Falls
// holder, and draws what comes back.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "herald/realm_vocabulary.h"
#include "runtime/runtime_error.h"

namespace tw {

// Positions of the designed first elements of the lists, and the measurements the layout
// needs, all in twips.
struct PanelMetrics {
    // The window's text width in its current font; the claimant cut measures with it.
    std::function<int(const std::string&)> textWidth;
    // Auto-sized width of a keep or relic label with this caption (textWidth when unset).
    std::function<int(const std::string&)> labelWidth;
    // Auto-sized width of a claimant link with this caption (labelWidth when unset).
    std::function<int(const std::string&)> linkWidth;
    // Height of one auto-sized list label (one line of the list font).
    int rowHeight = 195;

    int keepLeft = 2460, keepTop = 1320;            // lblKeepList(0)
    int keepPictureLeft = 2220, keepPictureTop = 1320;    // imgKeepOwn(0)
    int relicLeft = 5520, relicTop = 1320;          // lblRelicList(0)
    int relicPictureLeft = 5280, relicPictureTop = 1320;  // imgRelicOwn(0)
};

// Claimant links cut to end before this, and are left whole when they end by kClaimFits.
constexpr int kClaimLimit = 5000;
constexpr int kClaimFits = 5100;

enum class RowKind { Heading, Entry };
enum class PanelColumn { Keep, Relic };

// lblClaimed(i) and lblEnd(i) of a claimed keep row; both stand at the row's top, the
// closing ")" in the row's colour.
struct ClaimantLink {
    std::string caption;  // the guild name, cut with ".." when it would run too far right
    std::string tooltip;  // the whole guild name
    int left = 0;
    int endLeft = 0;
};

// One shown row: a label with its picture to the left.
struct PanelRow {
    RowKind kind = RowKind::Entry;
    PanelColumn column = PanelColumn::Keep;  // where it is drawn ("Neutral" keeps: relic column)
    std::string caption;                     // claimed keep entries end in " ("
    ColorValue color = 0;
    int left = 0;
    int top = 0;
    RealmPicture picture = RealmPicture::None;
    int pictureLeft = 0;
    int pictureTop = 0;
    std::string tag;                         // the claimant's page; "" when not claimed
    std::optional<ClaimantLink> claimant;
    std::string place, owner;                // a keep entry's name and owner; "" otherwise
};

// DFServer / DFStatus: the server whose Darkness Falls holder was last decided, and it.
struct DarknessFalls {
    std::string server;
    std::string status;
};

struct ServerPanel {
    // Shown rows by control index: lblKeepList / imgKeepOwn, lblRelicList / imgRelicOwn.
    // The window keeps one more hidden element past each list's last row.
    std::vector<PanelRow> keepRows;
    std::vector<PanelRow> relicRows;
    // Keeps held by Midgard, Albion, Hibernia (exact names; "Neutral" keeps not counted),
    // as far as counted when the build failed.
    std::array<std::int16_t, 3> realmCounts{0, 0, 0};
    // The holder after this build; the previous one when the build failed before deciding.
    DarknessFalls darknessFalls;
    // When the build did not fail: lblDF / imgDF show darknessFalls.status in this colour
    // and picture, and trayStatus is the new tip text.
    ColorValue dfColor = 0;
    RealmPicture dfPicture = RealmPicture::None;
    std::string trayStatus;
    // The failure that stopped the build ("Error in LoadInfo sub"); the rows above are what
    // was shown until then.
    std::optional<RuntimeError> error;
};

// Builds the panel of ServerName from XMLData. An empty XMLData builds nothing (nullopt):
// the window then changes nothing at all. Never throws for any document; GetItem's own
// message boxes appear during the build as they arise.
std::optional<ServerPanel> buildServerPanel(const std::string& XMLData, const std::string& ServerName,
                                            const DarknessFalls& previous, const PanelMetrics& metrics);

// The four-line tray tip: counts of Midgard, Albion, Hibernia and the Darkness Falls holder.
std::string trayStatusText(const std::array<std::int16_t, 3>& realmCounts, const std::string& DFStatus);

}  // namespace tw
