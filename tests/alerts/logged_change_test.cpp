#include "alerts/logged_change.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(LoggedChange, CarriesServerDatesAndTheAlertGivenWhenLogged) {
    const LocalDateTime when{2026, 12, 6, 8, 5, 9};
    const std::vector<LoggedChange> changes =
        loggedChanges({{"Caer Ashwold", "Midgard", "Albion", AlertIcon::Red}, {"Dun Brae", "Albion", "Hibernia"}},
                      "Ironmoor", when, "12/6/2026 8:05:09 AM");
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0], (LoggedChange{"Ironmoor", "Caer Ashwold", "Midgard", "Albion",
                                        "12/6/2026 8:05:09 AM", "2026-12-06T08:05:09", AlertIcon::Red}));
    EXPECT_EQ(changes[1].alert, AlertIcon::None);
}

}  // namespace
}  // namespace tw
