// Qt only: the desktop's palette against the program's own surfaces. Text nobody coloured
// keeps the desktop's colour where it reads well, turns black on our light surfaces under a
// dark desktop (and white on a dark one), also when the desktop changes while the window is
// up; text the program coloured keeps its colour, and a scaled screen draws pictures at
// its own resolution in the same logical size.
#include <gtest/gtest.h>

#include <cmath>

#include <QApplication>
#include <QPalette>
#include <QWidget>

#include "forms/drawn_picture.h"
#include "forms/form.h"
#include "forms/label.h"
#include "forms/qt/native_control.h"
#include "forms/qt/picture_data.h"

namespace tw::forms {
namespace {

QColor textOf(const Label& label) { return qt::widgetOf(label)->palette().color(QPalette::WindowText); }

class DesktopPalette : public ::testing::Test {
protected:
    void TearDown() override { QApplication::setPalette(m_desktop); }
    static void goDark() {
        QPalette dark = QApplication::palette();
        dark.setColor(QPalette::Window, QColor(45, 45, 48));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        QApplication::setPalette(dark);
    }
    const QPalette m_desktop = QApplication::palette();
};

TEST_F(DesktopPalette, UncolouredTextStaysReadableOnOurSurfacesColouredTextKeepsItsColour) {
    Form light("light");
    Label plain(light, "plain");
    Label link(light, "link");
    link.setForeColor(kLinkBlue);
    EXPECT_EQ(textOf(plain), m_desktop.color(QPalette::WindowText)) << "a light desktop's text stays as it is";

    goDark();  // while the window is up
    EXPECT_EQ(textOf(plain), QColor(Qt::black));
    EXPECT_EQ(textOf(link), QColor(0, 0, 255));

    Form dark("dark");
    dark.setBackColor(rgb(20, 20, 20));
    Label onDark(dark, "onDark");
    EXPECT_EQ(textOf(onDark), QColor(230, 230, 230)) << "light text on a dark surface reads well";
    Form white("white");
    white.setBackColor(kWhite);
    Label onWhite(white, "onWhite");
    EXPECT_EQ(textOf(onWhite), QColor(Qt::black));
}

TEST(ScaledScreen, DrawnPicturesKeepTheirSizeAndGainTheScreensPixels) {
    const Picture picture = drawPicture(13, 13, [](DrawingSurface&) {});
    EXPECT_EQ(picture.width(), 13);
    EXPECT_EQ(picture.height(), 13);
    const qreal ratio = qApp->devicePixelRatio();
    EXPECT_EQ(qt::pixmapOf(picture).width(), static_cast<int>(std::ceil(13 * ratio)));
}

}  // namespace
}  // namespace tw::forms
