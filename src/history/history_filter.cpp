#include "history/history_filter.h"

#include <string_view>

namespace tw {
namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// The colour both refill rules agree on, by the realms' keep naming.
std::optional<std::uint32_t> realmPlaceColour(const std::string& place) {
    if (startsWith(place, "Dun ")) return kHistoryHiberniaGreen;
    if (startsWith(place, "Caer")) return kHistoryAlbionRed;
    if (endsWith(place, "Faste")) return kHistoryMidgardBlue;
    return std::nullopt;
}

}  // namespace

bool placeMatchesLocation(std::string_view place, const std::string& location) {
    if (location == "Midgard") return endsWith(place, "Faste");
    // Hibernia's filter takes "Dun" without the space, so "Dunmore" passes it too.
    if (location == "Hibernia") return startsWith(place, "Dun");
    if (location == "Albion") return startsWith(place, "Caer");
    return true;
}

bool PassFilters(const HistoryEventView& event, const HistoryFilters& filters) {
    if (filters.NewOwner != "All" && event.NewOwner != filters.NewOwner) return false;
    if (filters.PreviousOwner != "All" && event.OldOwner != filters.PreviousOwner) return false;
    return placeMatchesLocation(event.Place, filters.Location);
}

bool PassFilters(const HistoryEvent& event, const HistoryFilters& filters) {
    return PassFilters(HistoryEventView{event.Place, event.When, event.NewOwner, event.OldOwner},
                       filters);
}

HistoryScrollRange scrollRangeFor(std::size_t eventCount) {
    if (eventCount <= kHistoryRows) return {};
    return {true, 0, static_cast<int>(eventCount - kHistoryRows)};
}

std::uint32_t placeColourOnRefresh(const std::string& place) {
    return realmPlaceColour(place).value_or(kHistoryBlack);
}

std::optional<std::uint32_t> placeColourOnScroll(const std::string& place) {
    if (auto colour = realmPlaceColour(place)) return colour;
    if (endsWith(place, "Keep")) return kHistoryBlack;
    return std::nullopt;
}

std::optional<std::uint32_t> ownerColour(const std::string& owner) {
    if (owner == "Midgard") return kHistoryMidgardBlue;
    if (owner == "Hibernia") return kHistoryHiberniaGreen;
    if (owner == "Albion") return kHistoryAlbionRed;
    return std::nullopt;
}

std::string dayText(const std::string& when, const DatePatterns& patterns) {
    const auto day = calendarDayOf(when, patterns);
    if (!day) return when;
    return formatWithPattern(LocalDateTime{day->year, day->month, day->day}, "MMM d yyyy", patterns);
}

std::vector<std::size_t> daySeparatorRows(const std::vector<std::optional<std::string>>& whenTexts,
                                          const DatePatterns& patterns) {
    std::vector<std::size_t> rows;
    if (whenTexts.empty()) return rows;
    std::string reference = dayText(whenTexts[0].value_or(""), patterns);
    for (std::size_t i = 1; i < whenTexts.size() && i < kHistoryRows; ++i) {
        if (!whenTexts[i]) continue;
        std::string day = dayText(*whenTexts[i], patterns);
        if (day == reference) continue;
        rows.push_back(i);
        reference = std::move(day);
    }
    return rows;
}

}  // namespace tw
