#include "platform/instance.h"

#include <gtest/gtest.h>

#include "event_loop_wait.h"
#include "temp_folder.h"

namespace tw::platform {
namespace {

TEST(SingleInstance, LaterCopyAsksTheRunningOneToShowItself) {
    tw::testing::TempFolder temp;
    const std::string name = instanceName(temp / "config/towerwatch");
    int requests = 0;
    SingleInstance running(name, temp.path());
    running.onShowRequested = [&] { ++requests; };
    ASSERT_TRUE(running.claim());
    EXPECT_FALSE(SingleInstance(name, temp.path()).claim());
    EXPECT_TRUE(tw::testing::runUntil([&] { return requests == 1; }));
    // Without a usable folder the program still runs, unguarded.
    EXPECT_TRUE(SingleInstance(name, temp / "missing").claim());
}

}  // namespace
}  // namespace tw::platform
