#include "runtime/general_date.h"

#include <cstdio>
#include <string_view>
#include <vector>

namespace tw {
namespace {

using Token = DatePatternToken;

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

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// Reads the fields of `tokens` from text[at...] into `when`, moving `at` past them; false when
// the text does not follow the pattern. `pm` is set when an AM/PM field was read.
bool readPattern(std::string_view text, size_t& at, const std::vector<Token>& tokens,
                 const DatePatterns& names, LocalDateTime& when, std::optional<bool>& pm) {
    auto readDigits = [&](size_t maxDigits, int& out) {
        size_t used = 0;
        int value = 0;
        while (at < text.size() && used < maxDigits && text[at] >= '0' && text[at] <= '9') {
            value = value * 10 + (text[at] - '0');
            ++at, ++used;
        }
        out = value;
        return used > 0;
    };
    auto readName = [&](const std::string& name) {
        if (name.empty() || text.compare(at, name.size(), name) != 0) return false;
        at += name.size();
        return true;
    };
    for (const Token& t : tokens) {
        if (t.literal) {
            for (char c : t.text) {
                // Commas were dropped when the text was written, and so were trailing blanks.
                if (c == ',' || (c == ' ' && at == text.size())) continue;
                if (at >= text.size() || text[at] != c) return false;
                ++at;
            }
            continue;
        }
        const char c = t.text[0];
        const size_t n = t.text.size();
        bool ok = true;
        if (c == 'd') {
            // Weekday names ("ddd") are not part of a date we read back.
            ok = n <= 2 && readDigits(2, when.day);
        } else if (c == 'M' && n >= 3) {
            const auto& list = n >= 4 ? names.monthNames : names.shortMonthNames;
            ok = false;
            for (int m = 0; m < 12 && !ok; ++m)
                if (readName(list[m])) when.month = m + 1, ok = true;
        } else if (c == 'M') {
            ok = readDigits(2, when.month);
        } else if (c == 'y') {
            ok = readDigits(n == 2 ? 2 : 4, when.year);
            // Two-digit years: 00-29 are this century, 30-99 the last one.
            if (ok && n == 2) when.year += when.year < 30 ? 2000 : 1900;
        } else if (c == 'h' || c == 'H') {
            ok = readDigits(2, when.hour);
        } else if (c == 'm') {
            ok = readDigits(2, when.minute);
        } else if (c == 's') {
            ok = readDigits(2, when.second);
        } else if (t.text == "AP") {
            // The longer name first, should one begin with the other.
            const bool amFirst = names.amText.size() >= names.pmText.size();
            if (readName(amFirst ? names.amText : names.pmText)) pm = !amFirst;
            else if (readName(amFirst ? names.pmText : names.amText)) pm = amFirst;
            else ok = false;
        }
        // 'z' and 't' were never written, so there is nothing to read for them.
        if (!ok) return false;
    }
    return true;
}

}  // namespace

std::optional<CalendarDay> calendarDayOf(const std::string& text, const DatePatterns& patterns) {
    LocalDateTime when{0, 0, 0};
    std::optional<bool> pm;
    size_t at = 0;
    if (!readPattern(text, at, tokenize(patterns.shortDate), patterns, when, pm)) return std::nullopt;
    const CalendarDay day{when.year, when.month, when.day};
    if (day.month < 1 || day.month > 12 || day.day < 1 || day.day > 31 || day.year < 1)
        return std::nullopt;
    return day;
}

GeneralDateReader::GeneralDateReader(DatePatterns patterns)
    : m_patterns(std::move(patterns)),
      m_date(tokenize(m_patterns.shortDate)),
      m_time(tokenize(m_patterns.longTime)),
      m_twelveHour(usesAmPm(m_time)) {}

std::optional<LocalDateTime> GeneralDateReader::read(std::string_view text) const {
    LocalDateTime when{0, 0, 0, 0, 0, 0};
    std::optional<bool> pm;
    size_t at = 0;
    if (!readPattern(text, at, m_date, m_patterns, when, pm)) return std::nullopt;
    // At exactly midnight the time was left out.
    if (at < text.size()) {
        if (text[at] != ' ') return std::nullopt;
        ++at;
        if (!readPattern(text, at, m_time, m_patterns, when, pm) || at != text.size())
            return std::nullopt;
        if (m_twelveHour) {
            if (!pm || when.hour < 1 || when.hour > 12) return std::nullopt;
            when.hour = when.hour % 12 + (*pm ? 12 : 0);
        }
    }
    if (when.year < 1 || when.month < 1 || when.month > 12 || when.day < 1 ||
        when.day > daysInMonth(when.year, when.month) || when.hour > 23 || when.minute > 59 ||
        when.second > 59)
        return std::nullopt;
    return when;
}

}  // namespace tw
