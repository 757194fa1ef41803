#include "platform/user_locale.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace tw::platform {
namespace {

std::string localeText(LCTYPE type, const std::string& fallback) {
    wchar_t buffer[128];
    const int n = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, 128);
    return n > 1 ? win32::utf8(std::wstring(buffer, static_cast<size_t>(n - 1))) : fallback;
}

// Windows' patterns share the date and time letters with ours except AM/PM: "t"/"tt" there
// is "AP" here. Quoted literals are copied as they are.
std::string ourPattern(const std::string& windows) {
    std::string out;
    bool quoted = false;
    for (size_t i = 0; i < windows.size(); ++i) {
        const char c = windows[i];
        if (c == '\'') quoted = !quoted;
        if (!quoted && c == 't') {
            while (i + 1 < windows.size() && windows[i + 1] == 't') ++i;
            out += "AP";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace

LocalDateTime localNow() {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

DatePatterns userDatePatterns() {
    DatePatterns p;
    p.shortDate = ourPattern(localeText(LOCALE_SSHORTDATE, p.shortDate));
    p.longTime = ourPattern(localeText(LOCALE_STIMEFORMAT, "h:mm:ss tt"));
    p.amText = localeText(LOCALE_S1159, p.amText);
    p.pmText = localeText(LOCALE_S2359, p.pmText);
    for (LCTYPE m = 0; m < 12; ++m) {
        p.monthNames[m] = localeText(LOCALE_SMONTHNAME1 + m, p.monthNames[m]);
        p.shortMonthNames[m] = localeText(LOCALE_SABBREVMONTHNAME1 + m, p.shortMonthNames[m]);
    }
    return p;
}

}  // namespace tw::platform
