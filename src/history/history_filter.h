#pragma once
// What the history viewer shows, without the window: which logged events pass its three
// filters, the newest-first list it pages through ten rows at a time, the scroll range, the
// text colours of a row and the rows that start a new calendar day.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/event_log.h"
#include "runtime/general_date.h"

namespace tw {

// The current texts of the three drop-down lists ("All", "Midgard", "Albion", "Hibernia").
struct HistoryFilters {
    std::string NewOwner = "All";
    std::string PreviousOwner = "All";
    std::string Location = "All";
};

constexpr std::size_t kHistoryRows = 10;

// The place belongs to the realm chosen in the location list, by the realms' naming:
// Midgard's keeps end in "Faste", Hibernia's begin with "Dun", Albion's with "Caer".
// "All" (or any text not in the list) lets every place through.
bool placeMatchesLocation(std::string_view place, const std::string& location);

// True when the event passes all three filters; owners compare exactly.
bool PassFilters(const HistoryEventView& event, const HistoryFilters& filters);
bool PassFilters(const HistoryEvent& event, const HistoryFilters& filters);

// The scroll bar after a refresh: disabled for ten events or fewer, else 0 to count - 10.
struct HistoryScrollRange {
    bool enabled = false;
    int minimum = 0;
    int maximum = 0;
};
HistoryScrollRange scrollRangeFor(std::size_t eventCount);

// Text colours as Windows colour values (red in the low byte).
constexpr std::uint32_t kHistoryBlack = 0;
constexpr std::uint32_t kHistoryAlbionRed = 128;
constexpr std::uint32_t kHistoryHiberniaGreen = 128u << 8;
constexpr std::uint32_t kHistoryMidgardBlue = 128u << 16;

// The place colour when rows are refilled by a refresh: "Dun " (with the space) green,
// "Caer" red, "...Faste" blue, anything else black.
std::uint32_t placeColourOnRefresh(const std::string& place);
// The place colour when rows are refilled by scrolling: as above, but only a place ending
// in "Keep" turns black; any other place keeps the label's colour (nothing).
std::optional<std::uint32_t> placeColourOnScroll(const std::string& place);
// An owner label's colour by its exact realm name; nothing leaves the label as it was.
std::optional<std::uint32_t> ownerColour(const std::string& owner);

// The day a row belongs to, as "mmm d yyyy" in the locale's month names; a text that is not
// a date written with these patterns stands for itself.
std::string dayText(const std::string& when, const DatePatterns& patterns);

// Rows (1 to 9) above which a day separator is drawn. whenTexts[0] is the text of row 0's
// date label; whenTexts[i] for i > 0 is that of row i when the row exists and is shown.
std::vector<std::size_t> daySeparatorRows(const std::vector<std::optional<std::string>>& whenTexts,
                                          const DatePatterns& patterns);

}  // namespace tw
