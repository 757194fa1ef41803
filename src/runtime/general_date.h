#pragma once
// The "general date" text the program shows and logs: the short date, a space and the long
// time, in the user's locale; at exactly midnight the time part is left out. The locale
// arrives as patterns (Qt-style: d dd M MM MMM MMMM yy yyyy h hh H HH m mm s ss AP ap,
// 'quoted' literals), so this stays free of any clock or locale library.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

struct LocalDateTime {
    int year = 1970, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
};

struct CalendarDay {
    int year = 0, month = 0, day = 0;
    bool operator==(const CalendarDay&) const = default;
    auto operator<=>(const CalendarDay&) const = default;
};

struct DatePatterns {
    std::string shortDate = "M/d/yyyy";
    std::string longTime = "h:mm:ss AP";
    std::string amText = "AM";
    std::string pmText = "PM";
    std::array<std::string, 12> monthNames{"January", "February", "March",     "April",
                                           "May",     "June",     "July",      "August",
                                           "September", "October", "November", "December"};
    std::array<std::string, 12> shortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
};

// One piece of a date pattern: a literal, or the letters of one field ("dd", "MMM", "AP").
struct DatePatternToken {
    bool literal = false;
    std::string text;
};

// Text of one pattern applied to a moment.
std::string formatWithPattern(const LocalDateTime& when, const std::string& pattern,
                              const DatePatterns& names);

// The general date text. It never holds a comma: the event log separates its fields with
// commas, so a locale pattern that writes one has it left out.
std::string generalDate(const LocalDateTime& when, const DatePatterns& patterns);

// The calendar day at the start of a general date text written with the same patterns;
// nothing when the text does not begin with such a date.
std::optional<CalendarDay> calendarDayOf(const std::string& text, const DatePatterns& patterns);

// Reads whole general date texts back into the moment they name. The patterns are taken
// apart once, so reading every date of a long log costs little more than scanning it.
class GeneralDateReader {
public:
    explicit GeneralDateReader(DatePatterns patterns);
    // The moment of a text generalDate wrote with these patterns: the date, and the time
    // unless it was left out at midnight. Nothing for any other text, also for a day or time
    // that does not exist (31 April, 13 PM): a date is never guessed.
    std::optional<LocalDateTime> read(std::string_view text) const;

private:
    DatePatterns m_patterns;
    std::vector<DatePatternToken> m_date;
    std::vector<DatePatternToken> m_time;
    bool m_twelveHour = false;
};

}  // namespace tw
