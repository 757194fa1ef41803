#include "herald/server_panel.h"

#include <algorithm>
#include <climits>
#include <exception>
#include <string_view>

#include "herald/document_names.h"
#include "herald/scanning.h"
#include "runtime/error_handler.h"
#include "runtime/text.h"
#include "runtime/utf8.h"

namespace tw {
namespace {

constexpr int kHeadingGap = 125;  // below the row before a heading
constexpr int kEntryGap = 20;     // below the row before an entry
constexpr int kEntryIndent = 100;
constexpr int kKeepPictureOffset = 225;  // keep pictures stand this far left of their label
// Control arrays index with 16-bit numbers: creating an element past this overflows.
constexpr size_t kLastElement = 32767;

const std::string kNeutral = "Neutral";

// A realm's heading at the top of a column: its name in its colour beside its picture.
PanelRow headingRow(const std::string& Realm, PanelColumn column, int left, int top, int pictureLeft,
                    int pictureTop) {
    PanelRow heading;
    heading.kind = RowKind::Heading;
    heading.column = column;
    heading.caption = Realm;
    heading.left = left;
    heading.color = RealmColor(Realm);
    heading.picture = RealmImage(Realm);
    heading.pictureLeft = pictureLeft;
    heading.top = top;
    heading.pictureTop = pictureTop;
    return heading;
}

// Measured widths saturate at the largest int for very long text, so sums of places and
// widths are made wide and brought back into the int range of a control's place.
int clampToInt(long long twips) {
    return static_cast<int>(std::clamp<long long>(twips, INT_MIN, INT_MAX));
}

// "Position of pattern from start" for starts that only move forward: the answer stays
// valid until the start passes it, so a far-off or missing ">" or "</keep>" is searched for
// once instead of once per tag.
class ForwardSearch {
public:
    ForwardSearch(const std::string& text, std::string pattern) : m_text(text), m_pattern(std::move(pattern)) {}

    long long from(long long start) {
        if (start < 1) throw RuntimeError(kErrInvalidArgument);
        if (m_found < 0 || start < m_start || (m_found != 0 && m_found < start))
            m_found = inStr(start, m_text, m_pattern);
        m_start = start;
        return m_found;
    }

private:
    const std::string& m_text;
    std::string m_pattern;
    long long m_start = 0;
    long long m_found = -1;  // not searched yet
};

// Reads one server's relics and keeps in document order and lays out the rows.
class PanelBuilder {
public:
    PanelBuilder(const std::string& XMLData, const PanelMetrics& metrics, ServerPanel& panel)
        : m_xml(XMLData), m_metrics(metrics), m_panel(panel), m_nextClose(XMLData, ">"),
          m_nextKeepEnd(XMLData, "</keep>") {}

    void scanServer(const std::string& ServerName);

private:
    void relic(std::string_view TagText, long long& ScanPos);
    void keep(std::string_view TagText, long long ScanPos);
    void keepEntry(const std::string& Realm, const std::string& Name, const std::string& Owner,
                   const std::string& Claimant, const std::string& Page);
    ClaimantLink claimantLink(const std::string& Claimant, const PanelRow& row) const;
    std::string cutClaimant(const std::string& Claimant, long long right) const;

    int labelWidth(const std::string& caption) const;
    int linkWidth(const std::string& caption) const;
    // Each shown row is followed by a new hidden element for the next one.
    static void createElementAfter(const std::vector<PanelRow>& rows);

    const std::string& m_xml;
    const PanelMetrics& m_metrics;
    ServerPanel& m_panel;
    ForwardSearch m_nextClose;
    ForwardSearch m_nextKeepEnd;
    std::string m_lastKeepRealm;
    std::string m_lastRelicRealm;
    // Latest keep row in the keep column's heading position (index 0 when none above 0);
    // the "Neutral" group opens level with it.
    size_t m_latestKeepHeading = 0;
};

void PanelBuilder::scanServer(const std::string& ServerName) {
    // The name is matched as a prefix: no closing quote in the pattern.
    const long long P = inStr(m_xml, "<server name=\"" + ServerName);
    // A server that is not there makes this an invalid start (0): the build's error path.
    const long long R = inStr(P, m_xml, "<relic ");
    long long ScanPos = R != 0 ? R : P;
    for (;;) {
        ScanPos = inStr(ScanPos, m_xml, "<");
        // Past the last "<" ScanPos is 0, and this search fails: no endless scan.
        const long long E = m_nextClose.from(ScanPos);
        if (E - ScanPos + 1 < 0) throw RuntimeError(kErrInvalidArgument);
        const std::string_view TagText =
            std::string_view(m_xml).substr(static_cast<size_t>(ScanPos - 1),
                                           static_cast<size_t>(E - ScanPos + 1));
        // The tag's name is judged by the characters after "<" alone ("<relics>" is a relic).
        const std::string_view name = TagText.empty() ? TagText : TagText.substr(1);
        if (name.substr(0, 5) == "relic")
            relic(TagText, ScanPos);
        else if (name.substr(0, 4) == "keep")
            keep(TagText, ScanPos);
        ++ScanPos;
        if (TagText == "</server>") break;
    }
}

void PanelBuilder::relic(std::string_view TagText, long long& ScanPos) {
    const std::string tag(TagText);
    const std::string Realm = GetItem(tag, "realm");
    const std::string Name = boundedName(GetItem(tag, "name"));
    ScanPos = inStr(ScanPos, m_xml, "<owner>");
    const long long E = inStr(ScanPos, m_xml, "</owner>");
    const std::string Owner = boundedName(charactersFromTo(m_xml, ScanPos + 7, E));

    auto& rows = m_panel.relicRows;
    const int h = m_metrics.rowHeight;
    if (Realm != m_lastRelicRealm) {
        PanelRow heading = headingRow(Realm, PanelColumn::Relic, m_metrics.relicLeft, m_metrics.relicTop,
                                      m_metrics.relicPictureLeft, m_metrics.relicPictureTop);
        if (!rows.empty()) heading.top = heading.pictureTop = rows.back().top + h + kHeadingGap;
        rows.push_back(heading);
        createElementAfter(rows);
    }
    // An entry always follows a row; with none before it there is no row -1 to stand under.
    if (rows.empty()) throw RuntimeError(kErrNoSuchControlElement);
    PanelRow entry;
    entry.column = PanelColumn::Relic;
    entry.left = m_metrics.relicLeft + kEntryIndent;
    entry.top = entry.pictureTop = rows.back().top + h + kEntryGap;
    entry.caption = Name;
    entry.color = RealmColor(Owner);
    entry.picture = RealmImage(Owner);
    entry.pictureLeft = m_metrics.relicPictureLeft + kEntryIndent;
    rows.push_back(entry);
    createElementAfter(rows);
    m_lastRelicRealm = Realm;
}

void PanelBuilder::keep(std::string_view TagText, long long ScanPos) {
    const std::string tag(TagText);
    const std::string Realm = GetItem(tag, "realm");
    const std::string Name = boundedName(GetItem(tag, "name"));
    // A keep without "</keep>" bounds its lookups at 0: no owner, claimant or page.
    const double KeepEnd = static_cast<double>(m_nextKeepEnd.from(ScanPos));
    const double start = static_cast<double>(ScanPos);
    const std::string Owner = boundedName(GetTag(m_xml, "owner", start, KeepEnd));
    if (Realm != kNeutral) {
        // Only the exact realm names count; 16-bit counters, as the tray text expects.
        for (int i = 0; i < 3; ++i) {
            if (Owner != ReturnRealm(static_cast<std::int16_t>(i + 1))) continue;
            if (m_panel.realmCounts[i] == INT16_MAX) throw RuntimeError(kErrOverflow);
            ++m_panel.realmCounts[i];
        }
    }
    const std::string Claimant = boundedName(GetTag(m_xml, "claimant", start, KeepEnd));
    const std::string Page = GetTag(m_xml, "claimant_heraldurl", start, KeepEnd);

    auto& rows = m_panel.keepRows;
    if (Realm != m_lastKeepRealm) {
        const size_t K = rows.size();
        PanelRow heading = headingRow(Realm, PanelColumn::Keep, m_metrics.keepLeft, m_metrics.keepTop,
                                      m_metrics.keepPictureLeft, m_metrics.keepPictureTop);
        if (K != 0) {
            if (Realm == kNeutral) {
                // Opens in the relic column, level with the latest keep heading.
                heading.top = rows[m_latestKeepHeading].top;
                heading.left = m_metrics.relicLeft;
                heading.column = PanelColumn::Relic;
            } else {
                heading.top = rows.back().top + m_metrics.rowHeight + kHeadingGap;
            }
            heading.pictureTop = heading.top;
        }
        if (K != 0 && heading.left == m_metrics.keepLeft) m_latestKeepHeading = K;
        rows.push_back(heading);
        createElementAfter(rows);
    }
    keepEntry(Realm, Name, Owner, Claimant, Page);
    m_lastKeepRealm = Realm;
}

void PanelBuilder::keepEntry(const std::string& Realm, const std::string& Name,
                             const std::string& Owner, const std::string& Claimant,
                             const std::string& Page) {
    auto& rows = m_panel.keepRows;
    if (rows.empty()) throw RuntimeError(kErrNoSuchControlElement);
    PanelRow entry;
    const bool neutral = Realm == kNeutral;
    entry.column = neutral ? PanelColumn::Relic : PanelColumn::Keep;
    entry.left = (neutral ? m_metrics.relicLeft : m_metrics.keepLeft) + kEntryIndent;
    entry.top = entry.pictureTop = rows.back().top + m_metrics.rowHeight + kEntryGap;
    entry.caption = Name;
    entry.place = Name;
    entry.owner = Owner;
    entry.color = RealmColor(Owner);
    entry.picture = RealmImage(Owner);
    entry.pictureLeft = entry.left - kKeepPictureOffset;
    if (!Claimant.empty()) {
        entry.caption += " (";
        entry.tag = Page;
        entry.claimant = claimantLink(Claimant, entry);
    }
    if (entry.left == m_metrics.keepLeft) m_latestKeepHeading = rows.size();
    rows.push_back(std::move(entry));
    createElementAfter(rows);
}

ClaimantLink PanelBuilder::claimantLink(const std::string& Claimant, const PanelRow& row) const {
    ClaimantLink link;
    link.tooltip = Claimant;
    link.caption = Claimant;
    const long long left = static_cast<long long>(row.left) + labelWidth(row.caption);
    const long long right = left + linkWidth(Claimant);
    if (right > kClaimFits) link.caption = cutClaimant(Claimant, right);
    link.left = clampToInt(left);
    link.endLeft = clampToInt(left + linkWidth(link.caption));
    return link;
}

// Drops the fewest trailing characters that make the link end before kClaimLimit and marks
// the cut with "..". When even dropping every character is not enough, ".." alone is shown.
// A UTF-8 name is cut between characters, never inside one; other text byte by byte.
std::string PanelBuilder::cutClaimant(const std::string& Claimant, long long right) const {
    const std::vector<size_t> starts = characterStarts(Claimant);
    const auto length = static_cast<long long>(starts.size()) - 1;
    // The first `count` characters end where character `count` starts.
    auto endOfFirst = [&](long long count) { return starts[static_cast<size_t>(count)]; };
    auto fits = [&](long long n) {
        return right - m_metrics.textWidth(Claimant.substr(endOfFirst(length - n))) < kClaimLimit;
    };
    // Wider suffixes never measure narrower, so the first n that fits is found by halving:
    // a long guild name costs a few measurements instead of one per character.
    long long low = 1, high = length + 1;  // high: "none fits"
    while (low < high) {
        const long long n = low + (high - low) / 2;
        if (fits(n))
            high = n;
        else
            low = n + 1;
    }
    if (low > length) return "..";
    return Claimant.substr(0, endOfFirst(length - low)) + "..";
}

int PanelBuilder::labelWidth(const std::string& caption) const {
    return m_metrics.labelWidth ? m_metrics.labelWidth(caption) : m_metrics.textWidth(caption);
}

int PanelBuilder::linkWidth(const std::string& caption) const {
    return m_metrics.linkWidth ? m_metrics.linkWidth(caption) : labelWidth(caption);
}

void PanelBuilder::createElementAfter(const std::vector<PanelRow>& rows) {
    if (rows.size() > kLastElement) throw RuntimeError(kErrOverflow);
}

// Darkness Falls goes to the realm holding strictly more counted keeps than each other one.
int leaderOf(const std::array<std::int16_t, 3>& counts) {
    int Leader = 0;
    for (int i = 2; i >= 0; --i)
        if (counts[i] > counts[Leader]) Leader = i;
    for (int i = 0; i < 3; ++i)
        if (i != Leader && counts[i] == counts[Leader]) return -1;
    return Leader;
}

}  // namespace

std::string trayStatusText(const std::array<std::int16_t, 3>& realmCounts, const std::string& DFStatus) {
    return "Midgard: " + std::to_string(realmCounts[0]) + "\r\nAlbion: " +
           std::to_string(realmCounts[1]) + "\r\nHibernia: " + std::to_string(realmCounts[2]) +
           "\r\nDarkness Falls: " + DFStatus;
}

std::optional<ServerPanel> buildServerPanel(const std::string& XMLData, const std::string& ServerName,
                                            const DarknessFalls& previous, const PanelMetrics& metrics) {
    if (XMLData.empty()) return std::nullopt;
    ServerPanel panel;
    panel.darknessFalls = previous;
    try {
        PanelBuilder(XMLData, metrics, panel).scanServer(ServerName);
    } catch (...) {
        panel.error = toRuntimeError(std::current_exception());
        return panel;
    }
    const int Leader = leaderOf(panel.realmCounts);
    if (Leader < 0) {
        // A tie keeps the holder last decided for this server; another server starts unknown.
        if (ServerName != panel.darknessFalls.server) panel.darknessFalls = {ServerName, "Unknown"};
    } else {
        panel.darknessFalls = {ServerName, ReturnRealm(static_cast<std::int16_t>(Leader + 1))};
    }
    panel.dfColor = RealmColor(panel.darknessFalls.status);
    panel.dfPicture = RealmImage(panel.darknessFalls.status);
    panel.trayStatus = trayStatusText(panel.realmCounts, panel.darknessFalls.status);
    return panel;
}

}  // namespace tw
