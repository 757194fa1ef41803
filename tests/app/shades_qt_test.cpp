// Qt only: checks our shades against the QColor lighter() and darker() they were first made with.
// The artwork's shades: the icons were first shaded with Qt's lighter() and darker(), and
// a shade one level off changes every icon's gradient.
#include <gtest/gtest.h>

#include <QColor>

#include "app/shades.h"

namespace tw {
namespace {

TEST(Shades, EveryLevelComesOutAsQtShadesIt) {
    int checked = 0;
    for (int r = 0; r < 256; r += 5)
        for (int g = 0; g < 256; g += 5)
            for (int b = 0; b < 256; b += 5)
                for (int factor : {135, 150, 300}) {
                    const QColor qt(r, g, b);
                    const QColor light = qt.lighter(factor), dark = qt.darker(factor);
                    ASSERT_EQ(lighterShade(forms::rgb(r, g, b), factor), forms::rgb(light.red(), light.green(), light.blue()))
                        << r << "," << g << "," << b << " lighter " << factor;
                    ASSERT_EQ(darkerShade(forms::rgb(r, g, b), factor), forms::rgb(dark.red(), dark.green(), dark.blue()))
                        << r << "," << g << "," << b << " darker " << factor;
                    ++checked;
                }
    EXPECT_GT(checked, 100000);
}

}  // namespace
}  // namespace tw
