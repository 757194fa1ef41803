#include "runtime/general_date.h"

#include <cstdio>
#include <string_view>
#include <utility>
#include <vector>

namespace tw {
namespace {

struct Token {
    bool literal = false;
    std::string text;  // the literal, or the field letters ("dd", "MMM", "AP", ...)
};

bool isFieldLetter(char c) {
    return c == 'd' || c == 'M' || c == 'y' || c == 'h' || c == 'H' || c == 'm' || c == 's' ||
           c == 'z' || c == 't';
}

std::vector<Token> tokenize(const std::string& pattern) {
    std::vector<Token> tokens;
    auto addLiteral = [&](const std::string& text) {
        if (!tokens.empty() && tokens.back().literal) tokens.back().text += text;
        else tokens.push_back({true, text});
    };
    for (size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (c == '\'') {
            const size_t close = pattern.find('\'', i + 1);
            if (close == i + 1) addLiteral("'");
            else addLiteral(pattern.substr(i + 1, (close == std::string::npos ? pattern.size() : close) - i - 1));
            i = close == std::string::npos ? pattern.size() : close + 1;
        } else if (c == 'A' || c == 'a') {
            const bool two = i + 1 < pattern.size() && (pattern[i + 1] == 'P' || pattern[i + 1] == 'p');
            tokens.push_back({false, two ? "AP" : "AP"});
            i += two ? 2 : 1;
        } else if (isFieldLetter(c)) {
            size_t j = i;
            while (j < pattern.size() && pattern[j] == c) ++j;
            tokens.push_back({false, pattern.substr(i, j - i)});
            i = j;
        } else {
            addLiteral(std::string(1, c));
            ++i;
        }
    }
    return tokens;
}

std::string number(int value, int width) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    return buffer;
}

bool usesAmPm(const std::vector<Token>& tokens) {
    for (const Token& t : tokens)
        if (!t.literal && t.text == "AP") return true;
    return false;
}

}  // namespace

std::string formatWithPattern(const LocalDateTime& when, const std::string& pattern,
                              const DatePatterns& names) {
    const std::vector<Token> tokens = tokenize(pattern);
    const bool twelveHour = usesAmPm(tokens);
    std::string out;
    for (const Token& t : tokens) {
        if (t.literal) {
            out += t.text;
            continue;
        }
        const std::string& f = t.text;
        const char c = f[0];
        const size_t n = f.size();
        if (c == 'd') out += number(when.day, n >= 2 ? 2 : 1);
        else if (c == 'M' && n >= 4) out += names.monthNames[(when.month + 11) % 12];
        else if (c == 'M' && n == 3) out += names.shortMonthNames[(when.month + 11) % 12];
        else if (c == 'M') out += number(when.month, n);
        else if (c == 'y' && n == 2) out += number(when.year % 100, 2);
        else if (c == 'y') out += number(when.year, 4);
        else if (c == 'h' && twelveHour) out += number(when.hour % 12 == 0 ? 12 : when.hour % 12, n >= 2 ? 2 : 1);
        else if (c == 'h' || c == 'H') out += number(when.hour, n >= 2 ? 2 : 1);
        else if (c == 'm') out += number(when.minute, n >= 2 ? 2 : 1);
        else if (c == 's') out += number(when.second, n >= 2 ? 2 : 1);
        else if (f == "AP") out += when.hour < 12 ? names.amText : names.pmText;
        // 'z' (milliseconds) and 't' (time zone) have no place in the shown text.
    }
    // A time zone or fraction left out can leave a trailing blank behind.
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string generalDate(const LocalDateTime& when, const DatePatterns& patterns) {
    std::string text = formatWithPattern(when, patterns.shortDate, patterns);
    if (when.hour != 0 || when.minute != 0 || when.second != 0)
    {
        text += ' ';
        text += formatWithPattern(when, patterns.longTime, patterns);
    }
    std::string clean;
    for (char c : text)
        if (c != ',') clean.push_back(c);
    return clean;
}

namespace {

// Reads a text written by formatWithPattern back, field by field, from a cursor.
class FieldReader {
public:
    FieldReader(std::string_view text, const DatePatterns& names) : m_text(text), m_names(names) {}

    bool atEnd() const { return m_at >= m_text.size(); }
    bool skip(char c) {
        if (atEnd() || m_text[m_at] != c) return false;
        ++m_at;
        return true;
    }

    // The date fields of `tokens` into `day`; false at the first field that does not fit.
    bool readDate(const std::vector<Token>& tokens, CalendarDay& day) {
        for (const Token& t : tokens) {
            if (t.literal) {
                if (!readLiteral(t.text)) return false;
                continue;
            }
            const char c = t.text[0];
            const size_t n = t.text.size();
            if (c == 'd' && n <= 2) {
                if (!readDigits(2, day.day)) return false;
            } else if (c == 'd') {
                return false;  // weekday names are not part of a short date we read back
            } else if (c == 'M' && n >= 3) {
                if (!readMonthName(n >= 4 ? m_names.monthNames : m_names.shortMonthNames, day.month))
                    return false;
            } else if (c == 'M') {
                if (!readDigits(2, day.month)) return false;
            } else if (c == 'y') {
                int year = 0;
                if (!readDigits(n == 2 ? 2 : 4, year)) return false;
                // Two-digit years: 00-29 are this century, 30-99 the last one.
                if (n == 2) year += year < 30 ? 2000 : 1900;
                day.year = year;
            }
        }
        return day.month >= 1 && day.month <= 12 && day.day >= 1 && day.day <= 31 && day.year >= 1;
    }

    // The time fields of `tokens` into `when`; the text may stop where only fields that are
    // never written (milliseconds, time zone) remain.
    bool readTime(const std::vector<Token>& tokens, LocalDateTime& when) {
        bool twelveHour = false, pm = false;
        for (size_t i = 0; i < tokens.size(); ++i) {
            const Token& t = tokens[i];
            if (atEnd()) return onlyUnwrittenFrom(tokens, i) && valid(when, twelveHour, pm);
            if (t.literal) {
                if (!readLiteral(t.text)) return false;
                continue;
            }
            const char c = t.text[0];
            if (c == 'h' || c == 'H') {
                if (!readDigits(2, when.hour)) return false;
            } else if (c == 'm') {
                if (!readDigits(2, when.minute)) return false;
            } else if (c == 's') {
                if (!readDigits(2, when.second)) return false;
            } else if (t.text == "AP") {
                twelveHour = true;
                if (readWord(m_names.pmText)) pm = true;
                else if (!readWord(m_names.amText)) return false;
            } else {
                return false;  // a field formatWithPattern never writes cannot be in the text
            }
        }
        return atEnd() && valid(when, twelveHour, pm);
    }

private:
    bool readLiteral(const std::string& literal) {
        // Commas were dropped when the text was written; other literals must match.
        for (char c : literal)
            if (c != ',' && !skip(c)) return false;
        return true;
    }
    bool readDigits(size_t maxDigits, int& out) {
        size_t used = 0;
        int value = 0;
        while (!atEnd() && used < maxDigits && m_text[m_at] >= '0' && m_text[m_at] <= '9') {
            value = value * 10 + (m_text[m_at] - '0');
            ++m_at, ++used;
        }
        out = value;
        return used > 0;
    }
    bool readWord(const std::string& word) {
        if (word.empty() || m_text.compare(m_at, word.size(), word) != 0) return false;
        m_at += word.size();
        return true;
    }
    bool readMonthName(const std::array<std::string, 12>& names, int& month) {
        for (int m = 0; m < 12; ++m) {
            if (readWord(names[static_cast<size_t>(m)])) {
                month = m + 1;
                return true;
            }
        }
        return false;
    }
    static bool onlyUnwrittenFrom(const std::vector<Token>& tokens, size_t i) {
        for (; i < tokens.size(); ++i) {
            const Token& t = tokens[i];
            const bool blank = t.literal && t.text.find_first_not_of(' ') == std::string::npos;
            if (!blank && !(!t.literal && (t.text[0] == 'z' || t.text[0] == 't'))) return false;
        }
        return true;
    }
    static bool valid(LocalDateTime& when, bool twelveHour, bool pm) {
        if (twelveHour) {
            if (when.hour < 1 || when.hour > 12) return false;
            when.hour = when.hour % 12 + (pm ? 12 : 0);
        }
        return when.hour < 24 && when.minute < 60 && when.second < 60;
    }

    std::string_view m_text;
    const DatePatterns& m_names;
    size_t m_at = 0;
};

}  // namespace

std::optional<CalendarDay> calendarDayOf(const std::string& text, const DatePatterns& patterns) {
    CalendarDay day;
    FieldReader reader(text, patterns);
    if (!reader.readDate(tokenize(patterns.shortDate), day)) return std::nullopt;
    return day;
}

struct GeneralDateReader::Tokens {
    std::vector<Token> date;
    std::vector<Token> time;
};

GeneralDateReader::GeneralDateReader(DatePatterns patterns)
    : m_patterns(std::move(patterns)),
      m_tokens(std::make_shared<Tokens>(
          Tokens{tokenize(m_patterns.shortDate), tokenize(m_patterns.longTime)})) {}

std::optional<LocalDateTime> GeneralDateReader::read(std::string_view text) const {
    FieldReader reader(text, m_patterns);
    CalendarDay day;
    if (!reader.readDate(m_tokens->date, day)) return std::nullopt;
    LocalDateTime when{day.year, day.month, day.day, 0, 0, 0};
    // A date alone is midnight, which the writer leaves without its time.
    if (reader.atEnd()) return when;
    if (!reader.skip(' ') || !reader.readTime(m_tokens->time, when)) return std::nullopt;
    if (when.day > daysInMonth(when.year, when.month)) return std::nullopt;
    return when;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[(month + 11) % 12];
}

long long secondsOf(const LocalDateTime& when) {
    // Days from 1970-01-01 in the proleptic Gregorian calendar (Howard Hinnant's civil days).
    const int y = when.year - (when.month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (when.month + (when.month > 2 ? -3 : 9)) + 2) / 5 + when.day - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long long days = era * 146097 + doe - 719468;
    return days * 86400 + when.hour * 3600 + when.minute * 60 + when.second;
}

std::string isoDateTime(const LocalDateTime& when) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", when.year, when.month, when.day,
                  when.hour, when.minute, when.second);
    return text;
}

LocalDateTime localDateTimeAt(long long seconds) {
    long long days = seconds / 86400;
    long long rest = seconds % 86400;
    if (rest < 0) rest += 86400, --days;
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long doe = days - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day, static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
            static_cast<int>(rest % 60)};
}

}  // namespace tw
