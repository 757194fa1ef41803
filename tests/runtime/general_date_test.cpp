#include "runtime/general_date.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

DatePatterns german() {
    DatePatterns p;
    p.shortDate = "dd.MM.yy";
    p.longTime = "HH:mm:ss t";
    return p;
}

TEST(GeneralDate, ShortDateSpaceLongTimeWithoutCommasNoTimeAtMidnightAndReadBack) {
    const DatePatterns us;
    EXPECT_EQ(generalDate({2026, 12, 6, 21, 5, 9}, us), "12/6/2026 9:05:09 PM");
    EXPECT_EQ(generalDate({2026, 12, 6, 0, 0, 1}, us), "12/6/2026 12:00:01 AM");
    EXPECT_EQ(generalDate({2026, 12, 6, 0, 0, 0}, us), "12/6/2026");
    EXPECT_EQ(generalDate({2026, 3, 1, 21, 5, 9}, german()), "01.03.26 21:05:09");
    DatePatterns withComma;
    withComma.shortDate = "MMM d, yyyy";
    EXPECT_EQ(generalDate({2026, 1, 2, 13, 0, 0}, withComma), "Jan 2 2026 1:00:00 PM");
    EXPECT_EQ(calendarDayOf("Jan 2 2026 1:00:00 PM", withComma), (CalendarDay{2026, 1, 2}));
    for (const DatePatterns& p : {DatePatterns{}, german()})
        EXPECT_EQ(calendarDayOf(generalDate({2027, 11, 30, 23, 59, 58}, p), p), (CalendarDay{2027, 11, 30}));
    EXPECT_EQ(calendarDayOf("not a date", DatePatterns{}), std::nullopt);
    EXPECT_EQ(calendarDayOf("", german()), std::nullopt);
    EXPECT_EQ(calendarDayOf("13/40/2026", DatePatterns{}), std::nullopt);
}

TEST(GeneralDate, ReaderTakesBackWhatWasWrittenAndNothingElse) {
    for (const DatePatterns& p : {DatePatterns{}, german()}) {
        const GeneralDateReader reader(p);
        for (const LocalDateTime& when : {LocalDateTime{2026, 12, 6, 21, 5, 9},
                                          LocalDateTime{2024, 2, 29, 0, 0, 0},
                                          LocalDateTime{2026, 1, 1, 12, 0, 1},
                                          LocalDateTime{2026, 1, 1, 0, 30, 0}}) {
            const auto back = reader.read(generalDate(when, p));
            ASSERT_TRUE(back) << generalDate(when, p);
            EXPECT_EQ(secondsOf(*back), secondsOf(when)) << generalDate(when, p);
        }
    }
    const GeneralDateReader us{DatePatterns{}};
    for (const char* bad : {"4/31/2026 1:00:00 PM", "12/6/2026 13:00:00 PM", "12/6/2026 9:05:09",
                            "12/6/2026 9:05:09 PM extra", "12/6/2026x", "", "yesterday"})
        EXPECT_EQ(us.read(bad), std::nullopt) << bad;
    EXPECT_EQ(secondsOf({1970, 1, 2, 0, 0, 1}), 86401);
    const LocalDateTime leap = localDateTimeAt(secondsOf({2000, 2, 29, 23, 59, 59}));
    EXPECT_EQ(generalDate(leap, DatePatterns{}), "2/29/2000 11:59:59 PM");
}

}  // namespace
}  // namespace tw
