#include "runtime/error_handler.h"

#include <gtest/gtest.h>

#include <vector>

#include "runtime/message_box.h"
#include "runtime/text.h"

namespace tw {
namespace {

TEST(ErrorHandler, FailureStopsTheBodyAndShowsTheCriticalBox) {
    ScopedMessageBoxRecorder boxes;
    int stepsRun = 0;
    const bool ok = withErrorHandler("Form Load", [&] {
        ++stepsRun;
        mid("abc", 0);
        ++stepsRun;
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(stepsRun, 1);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Error in Form Load sub\r\n#5 Invalid procedure call or argument");
    EXPECT_EQ(boxes.calls[0].style, 16);
    EXPECT_EQ(boxes.calls[0].title, "Error!");
}

TEST(ErrorHandler, ExtraLinesFollowTheDescription) {
    ScopedMessageBoxRecorder boxes;
    withErrorHandler("LoadServers", [] { throw RuntimeError(kErrSubscriptOutOfRange); },
                     "\r\nTry reloading the info,\r\nif that doesn't work, e-mail me");
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text,
              "Error in LoadServers sub\r\n#9 Subscript out of range\r\nTry reloading the info,\r\n"
              "if that doesn't work, e-mail me");
}

TEST(ErrorHandler, StandardExceptionsBecomeRunTimeErrors) {
    ScopedMessageBoxRecorder boxes;
    withErrorHandler("A", [] { std::vector<int>().at(3); });
    withErrorHandler("B", [] { throw std::bad_alloc(); });
    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_EQ(boxes.calls[0].text.substr(0, 20), "Error in A sub\r\n#9 S");
    EXPECT_EQ(boxes.calls[1].text, "Error in B sub\r\n#7 Out of memory");
}

TEST(ErrorHandler, SuccessShowsNothing) {
    ScopedMessageBoxRecorder boxes;
    EXPECT_TRUE(withErrorHandler("Quiet", [] {}));
    EXPECT_TRUE(boxes.calls.empty());
}

}  // namespace
}  // namespace tw
