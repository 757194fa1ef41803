#include "runtime/general_date.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

DatePatterns unitedStates() { return DatePatterns{}; }

DatePatterns german() {
    DatePatterns p;
    p.shortDate = "dd.MM.yy";
    p.longTime = "HH:mm:ss t";
    return p;
}

TEST(GeneralDate, ShortDateSpaceLongTime) {
    EXPECT_EQ(generalDate({2026, 12, 6, 21, 5, 9}, unitedStates()), "12/6/2026 9:05:09 PM");
    EXPECT_EQ(generalDate({2026, 12, 6, 0, 0, 1}, unitedStates()), "12/6/2026 12:00:01 AM");
    EXPECT_EQ(generalDate({2026, 3, 1, 21, 5, 9}, german()), "01.03.26 21:05:09");
}

TEST(GeneralDate, MidnightHasNoTimePart) {
    EXPECT_EQ(generalDate({2026, 12, 6, 0, 0, 0}, unitedStates()), "12/6/2026");
}

TEST(GeneralDate, CommasNeverReachTheText) {
    DatePatterns p;
    p.shortDate = "MMM d, yyyy";
    EXPECT_EQ(generalDate({2026, 1, 2, 13, 0, 0}, p), "Jan 2 2026 1:00:00 PM");
    EXPECT_EQ(calendarDayOf("Jan 2 2026 1:00:00 PM", p), (CalendarDay{2026, 1, 2}));
}

TEST(GeneralDate, TextReadsBackToItsCalendarDay) {
    for (const DatePatterns& p : {unitedStates(), german()}) {
        const LocalDateTime when{2027, 11, 30, 23, 59, 58};
        EXPECT_EQ(calendarDayOf(generalDate(when, p), p), (CalendarDay{2027, 11, 30}));
    }
    EXPECT_EQ(calendarDayOf("not a date", unitedStates()), std::nullopt);
    EXPECT_EQ(calendarDayOf("", german()), std::nullopt);
    EXPECT_EQ(calendarDayOf("13/40/2026", unitedStates()), std::nullopt);
}

}  // namespace
}  // namespace tw
