#pragma once
// How many keeps each realm held after every logged change on the monitored server, walked
// back from the ownership the current status document shows. A log line fits when its keep
// is in the document and its new owner is the owner the walk has reached for that keep;
// the walk then hands the keep back to the line's old owner. Lines that do not fit are
// skipped and counted, never guessed. A fitting line whose date cannot be read is walked
// (so older lines still fit) but gives no step, and is counted.
//
// Counts follow the panel: keeps outside the three frontiers ("Neutral") are not counted,
// and only owners written exactly "Midgard", "Albion" or "Hibernia" count for a realm.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "history/event_log.h"
#include "runtime/general_date.h"

namespace tw {

// Keeps held by Midgard, Albion and Hibernia, in the realms' numbering order.
using RealmCounts = std::array<int, 3>;

struct HoldingStep {
    long long when = 0;  // zonedSecondsOf the line's date
    RealmCounts counts{};  // after the change
    std::uint32_t lineStart = 0;  // where the log line that made it starts in logText
};

struct Holdings {
    RealmCounts start{};    // before the oldest fitting line
    RealmCounts present{};  // as the current document has it
    std::vector<HoldingStep> steps;  // in log order, oldest first
    std::size_t unfitLines = 0;    // a keep not in the document, or an owner that does not match
    std::size_t undatedLines = 0;  // fitting lines whose date could not be read
    std::string logText;           // the steps' lines point into it; its last 4 GiB at most

    // The change behind steps[i], read again from its log line.
    HistoryEvent change(std::size_t i) const;
};

// The holdings of `server` from XMLData (its keeps and owners, read as change detection
// reads them) and the text of its log. Never throws for any document or log: a document
// whose scan fails part way gives the keeps read before the failure.
Holdings holdingsOverTime(const std::string& XMLData, const std::string& server,
                          std::string logText, const GeneralDateReader& dates);

// "<place> taken by <new owner> from <old owner> at <date>", as the viewer reads a row.
std::string changeSentence(const HistoryEvent& change);

}  // namespace tw
