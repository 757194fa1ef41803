#include "platform/instance.h"

#include <gtest/gtest.h>

#include "event_loop_wait.h"
#include "temp_folder.h"

namespace tw::platform {
namespace {

using tw::testing::runUntil;
using tw::testing::TempFolder;

TEST(SingleInstance, LaterCopyAsksTheRunningOneToShowAndTheNextRunsOnceItEnds) {
    TempFolder temp;
    const std::string name = instanceName(temp / "config/towerwatch");
    int requests = 0;
    {
        SingleInstance running(name, temp.path());
        running.onShowRequested = [&] { ++requests; };
        ASSERT_TRUE(running.claim());
        SingleInstance later(name, temp.path());
        EXPECT_FALSE(later.claim());
        EXPECT_TRUE(runUntil([&] { return requests == 1; }));
        SingleInstance otherConfiguration(instanceName(temp / "other/towerwatch"), temp.path());
        EXPECT_TRUE(otherConfiguration.claim());
    }
    SingleInstance next(name, temp.path());
    EXPECT_TRUE(next.claim());
    // Without a usable folder the program still runs, unguarded.
    EXPECT_TRUE(SingleInstance(name, temp / "missing").claim());
    EXPECT_EQ(requests, 1);
}

}  // namespace
}  // namespace tw::platform
