#pragma once
// Since when each keep's owner holds it, told from the monitored server's log: the newest
// line of a place says who took it and when. Built once from a log's text and asked for every
// keep of the panel, so a rebuild of the panel does not read the log again; lines appended
// later are added to it without reading the earlier ones again.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "runtime/general_date.h"
#include "runtime/text.h"

namespace tw {

class HeldSince {
public:
    // Reads every usable line of the log's text; the dates with these patterns.
    HeldSince(std::string_view logText, const DatePatterns& patterns);

    // Takes in the usable lines of text appended to the log since, as if read with the rest.
    // `moreText` starts where the text read so far ended (a lone LF there finishes a CR LF).
    void add(std::string_view moreText);

    // The line for a keep's tooltip at `now`:
    //   "held by Midgard since 6 Dec 14:03 (2 h 15 min)" when the newest line of the place
    //   names its present owner; "held by Midgard since after 6 Dec 14:03" when it names
    //   another (a change the log missed); "held since before 1 Dec 09:12" (the oldest line's
    //   date) when the log does not name the place. Moments in another year than `now` carry
    //   their year; a date text that cannot be read is shown as written. Empty for a log
    //   without usable lines.
    std::string text(const std::string& place, const std::string& owner,
                     const LocalDateTime& now) const;

private:
    struct Taken {
        std::string newOwner;
        std::string when;  // as the log holds it
        std::optional<LocalDateTime> moment;
    };
    std::string momentText(const std::string& when, const std::optional<LocalDateTime>& moment,
                           const LocalDateTime& now) const;

    DatePatterns m_patterns;
    // Places looked up by the views the log reader hands out, without a copy.
    std::unordered_map<std::string, Taken, StringViewHash, std::equal_to<>> m_newest;
    std::optional<Taken> m_oldest;
};

// "45 min", "2 h 15 min", "3 d 4 h": the time that passed from `from` to `to` in the local
// time zone, 0 min when it runs back.
std::string heldForText(const LocalDateTime& from, const LocalDateTime& to);

}  // namespace tw
