#pragma once
// The "general date" text the program shows and logs: the short date, a space and the long
// time, in the user's locale; at exactly midnight the time part is left out. The locale
// arrives as patterns (Qt-style: d dd M MM MMM MMMM yy yyyy h hh H HH m mm s ss AP ap,
// 'quoted' literals), so this stays free of any clock or locale library.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

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

// Text of one pattern applied to a moment.
std::string formatWithPattern(const LocalDateTime& when, const std::string& pattern,
                              const DatePatterns& names);

// The general date text. It never holds a comma: the event log separates its fields with
// commas, so a locale pattern that writes one has it left out.
std::string generalDate(const LocalDateTime& when, const DatePatterns& patterns);

// The calendar day at the start of a general date text written with the same patterns;
// nothing when the text does not begin with such a date.
std::optional<CalendarDay> calendarDayOf(const std::string& text, const DatePatterns& patterns);

// Reads whole general date texts back into the moment they name, with the patterns taken
// apart once for many lines. A date without a time is midnight; anything else that is not
// exactly a general date of these patterns (a missing or extra part, a 31 April) is nothing.
class GeneralDateReader {
public:
    explicit GeneralDateReader(DatePatterns patterns);
    std::optional<LocalDateTime> read(std::string_view text) const;

private:
    struct Tokens;
    DatePatterns m_patterns;
    std::shared_ptr<const Tokens> m_tokens;
};

int daysInMonth(int year, int month);

// A local date and time as seconds counted from 1 January 1970 on the same clock, with no
// time zone: calendar arithmetic on the clock's face. And back. Times that passed between
// local moments are measured with local_zone.h.
long long secondsOf(const LocalDateTime& when);
LocalDateTime localDateTimeAt(long long seconds);

// "2026-12-06T18:05:00": ISO 8601 local time, as exports and other programs read it.
std::string isoDateTime(const LocalDateTime& when);

}  // namespace tw
