#include "history/held_since.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "history/event_log.h"
#include "runtime/local_zone.h"

namespace tw {
namespace {

// Minutes on the real time line, so an hour a clock change adds or takes away counts as it
// passed. Seconds are dropped before comparing.
std::int64_t minutesOf(LocalDateTime t) {
    t.second = 0;
    return zonedSecondsOf(t) / 60;
}

}  // namespace

std::string heldForText(const LocalDateTime& from, const LocalDateTime& to) {
    const std::int64_t minutes = std::max<std::int64_t>(0, minutesOf(to) - minutesOf(from));
    const std::int64_t days = minutes / (24 * 60), hours = minutes / 60 % 24, rest = minutes % 60;
    std::string text;
    auto add = [&](std::int64_t amount, const char* unit) {
        if (!text.empty()) text += ' ';
        text.append(std::to_string(amount)).append(unit);
    };
    if (days > 0) {
        add(days, " d");
        if (hours > 0) add(hours, " h");
    } else if (hours > 0) {
        add(hours, " h");
        if (rest > 0) add(rest, " min");
    } else {
        add(rest, " min");
    }
    return text;
}

HeldSince::HeldSince(std::string_view logText, const DatePatterns& patterns) : m_patterns(patterns) {
    add(logText);
}

void HeldSince::add(std::string_view moreText) {
    // The places the text names, to read their dates once at the end; past one per place
    // known, every date is read again instead.
    std::vector<Taken*> changed;
    bool changedAll = false;
    forEachEventView(moreText, [&](const HistoryEventView& event) {
        if (!m_oldest) m_oldest = Taken{std::string(event.NewOwner), std::string(event.When), {}};
        // A later line of the same place overwrites the strings in place, so a long log of
        // few places allocates next to nothing.
        auto it = m_newest.find(event.Place);
        if (it == m_newest.end()) it = m_newest.emplace(std::string(event.Place), Taken{}).first;
        it->second.newOwner.assign(event.NewOwner);
        it->second.when.assign(event.When);
        if (!changedAll && changed.size() <= m_newest.size()) changed.push_back(&it->second);
        else changedAll = true;
    });
    const GeneralDateReader dates(m_patterns);
    if (changedAll)
        for (auto& [place, taken] : m_newest) taken.moment = dates.read(taken.when);
    else
        for (Taken* taken : changed) taken->moment = dates.read(taken->when);
    if (m_oldest && !m_oldest->moment) m_oldest->moment = dates.read(m_oldest->when);
}

std::string HeldSince::momentText(const std::string& when, const std::optional<LocalDateTime>& moment,
                                  const LocalDateTime& now) const {
    if (!moment) return when;
    return formatWithPattern(*moment, moment->year == now.year ? "d MMM HH:mm" : "d MMM yyyy HH:mm",
                             m_patterns);
}

std::string HeldSince::text(const std::string& place, const std::string& owner,
                            const LocalDateTime& now) const {
    if (!m_oldest) return "";
    std::string text = "held ";
    const auto it = m_newest.find(place);
    if (it == m_newest.end())
        return text.append("since before ").append(momentText(m_oldest->when, m_oldest->moment, now));
    const Taken& taken = it->second;
    text.append("by ").append(owner).append(" since ");
    // The newest line names another owner: the change to this one was not logged.
    if (taken.newOwner != owner) text.append("after ");
    text.append(momentText(taken.when, taken.moment, now));
    if (taken.newOwner == owner && taken.moment)
        text.append(" (").append(heldForText(*taken.moment, now)).append(")");
    return text;
}

}  // namespace tw
