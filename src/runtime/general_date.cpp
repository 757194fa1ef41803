#include "runtime/general_date.h"

#include <cstdio>
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

std::optional<CalendarDay> calendarDayOf(const std::string& text, const DatePatterns& patterns) {
    CalendarDay day;
    size_t at = 0;
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
    for (const Token& t : tokenize(patterns.shortDate)) {
        if (t.literal) {
            // Commas were dropped when the text was written; other literals must match.
            for (char c : t.text) {
                if (c == ',') continue;
                if (at >= text.size() || text[at] != c) return std::nullopt;
                ++at;
            }
            continue;
        }
        const char c = t.text[0];
        const size_t n = t.text.size();
        if (c == 'd' && n <= 2) {
            if (!readDigits(2, day.day)) return std::nullopt;
        } else if (c == 'd') {
            return std::nullopt;  // weekday names are not part of a short date we read back
        } else if (c == 'M' && n >= 3) {
            const auto& list = n >= 4 ? patterns.monthNames : patterns.shortMonthNames;
            bool found = false;
            for (int m = 0; m < 12 && !found; ++m) {
                if (!list[m].empty() && text.compare(at, list[m].size(), list[m]) == 0) {
                    day.month = m + 1;
                    at += list[m].size();
                    found = true;
                }
            }
            if (!found) return std::nullopt;
        } else if (c == 'M') {
            if (!readDigits(2, day.month)) return std::nullopt;
        } else if (c == 'y') {
            int year = 0;
            if (!readDigits(n == 2 ? 2 : 4, year)) return std::nullopt;
            // Two-digit years: 00-29 are this century, 30-99 the last one.
            if (n == 2) year += year < 30 ? 2000 : 1900;
            day.year = year;
        }
    }
    if (day.month < 1 || day.month > 12 || day.day < 1 || day.day > 31 || day.year < 1)
        return std::nullopt;
    return day;
}

}  // namespace tw
