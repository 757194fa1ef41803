#include "runtime/error_handler.h"

#include <gtest/gtest.h>

#include <vector>

#include "runtime/message_box.h"
#include "runtime/text.h"

namespace tw {
namespace {

TEST(ErrorHandler, FailureStopsTheBodyAndShowsTheCriticalBoxWithAnyExtraLinesSuccessShowsNothing) {
    ScopedMessageBoxRecorder boxes;
    EXPECT_TRUE(withErrorHandler("Quiet", [] {}));
    EXPECT_TRUE(boxes.calls.empty());
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

    // Extra lines follow; standard exceptions become run-time errors.
    withErrorHandler("A", [] { throw RuntimeError(kErrSubscriptOutOfRange); }, "\r\nmore");
    withErrorHandler("B", [] { std::vector<int>().at(3); });
    withErrorHandler("C", [] { throw std::bad_alloc(); });
    ASSERT_EQ(boxes.calls.size(), 4u);
    EXPECT_EQ(boxes.calls[1].text, "Error in A sub\r\n#9 Subscript out of range\r\nmore");
    EXPECT_EQ(boxes.calls[2].text.substr(0, 20), "Error in B sub\r\n#9 S");
    EXPECT_EQ(boxes.calls[3].text, "Error in C sub\r\n#7 Out of memory");
}

}  // namespace
}  // namespace tw
