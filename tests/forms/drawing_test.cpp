// The paint box a form draws on: it shows what its paint handler draws, and the mouse
// arrives in the box's own pixels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>

#include "forms/form.h"
#include "forms/paint_box.h"
#include "forms/qt/native_control.h"

namespace tw::forms {
namespace {

TEST(PaintBox, ShowsWhatOnPaintDrawsAndHearsTheMouseInItsOwnPixels) {
    Form form("frmPaint");
    PaintBox box(form, "picBox");
    box.move(150, 300, 600, 450);  // 10, 20, 40 x 30 pixels
    int paints = 0;
    box.onPaint = [&](DrawingSurface& s) {
        ++paints;
        s.drawRect({0, 0, 40, 30}, solidFill(kWhite), std::nullopt);
        s.drawLine({0, 29}, {39, 29}, Pen{rgb(0, 128, 0)});
    };
    const QImage shown = qt::widgetOf(box)->grab().toImage();
    EXPECT_GT(paints, 0);
    ASSERT_EQ(shown.size(), QSize(40, 30));
    EXPECT_EQ(shown.pixel(20, 29), qRgb(0, 128, 0));
    EXPECT_EQ(shown.pixel(20, 28), qRgb(255, 255, 255));

    int movedX = -1, movedY = -1, left = 0;
    box.onMouseMove = [&](int x, int y) { movedX = x, movedY = y; };
    box.onMouseLeave = [&] { ++left; };
    QMouseEvent move(QEvent::MouseMove, QPointF(7, 9), QPointF(7, 9), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(qt::widgetOf(box), &move);
    EXPECT_EQ(movedX, 7);
    EXPECT_EQ(movedY, 9);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(qt::widgetOf(box), &leave);
    EXPECT_EQ(left, 1);
}

}  // namespace
}  // namespace tw::forms
