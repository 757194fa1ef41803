// Runs a test program inside a QApplication on the offscreen platform (or the one named by
// TW_TEST_QPA_PLATFORM, as in the Wayland session test); window tests also get the bundled
// Tahoma registered, as the program does at start.
#include <QApplication>

#include <gtest/gtest.h>

#ifdef TW_TEST_REGISTER_FONTS
#include "forms/application.h"
#endif

int main(int argc, char** argv) {
    const QByteArray platform = qgetenv("TW_TEST_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", platform.isEmpty() ? QByteArray("offscreen") : platform);
    QApplication app(argc, argv);
#ifdef TW_TEST_REGISTER_FONTS
    tw::forms::registerBundledFonts();
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
