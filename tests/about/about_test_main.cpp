// Runs the about box tests inside a QApplication on the offscreen platform.
#include <QApplication>

#include <gtest/gtest.h>

#include "forms/application.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tw::forms::registerBundledFonts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
