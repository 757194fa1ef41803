#include "app/artwork.h"

#include <QGuiApplication>
#include <QImage>

#include <gtest/gtest.h>

namespace tw {
namespace {

int opaquePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += qAlpha(image.pixel(x, y)) == 255;
    return count;
}

// Mean colour of the fully opaque pixels.
QColor meanColour(const QImage& image) {
    long r = 0, g = 0, b = 0, n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = image.pixel(x, y);
            if (qAlpha(px) != 255) continue;
            r += qRed(px), g += qGreen(px), b += qBlue(px), ++n;
        }
    return n ? QColor(int(r / n), int(g / n), int(b / n)) : QColor();
}

TEST(Artwork, EveryPictureHasItsSizeAShapeAndClearCorners) {
    struct Row { const char* name; QPixmap picture; QSize size; };
    const Row rows[] = {
        {"program icon", programIcon(), {32, 32}},
        {"alert icon", alertIcon(Qt::red), {16, 16}},
        {"hammer", hammerPicture(), {13, 13}},
        {"cup", cupPicture(), {13, 13}},
        {"tree", treePicture(), {13, 13}},
        {"hand cursor", handCursor(), {32, 32}},
        {"donate button", donateButtonPicture(), {62, 31}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.picture.size(), row.size);
        const QImage image = row.picture.toImage();
        const int area = image.width() * image.height();
        EXPECT_GT(opaquePixels(image), area / 5) << "too little drawn";
        EXPECT_LT(opaquePixels(image), area) << "no transparent background";
        // The bottom-left corner is outside every shape (rounded, shield or free-standing).
        EXPECT_LT(qAlpha(image.pixel(0, image.height() - 1)), 255);
    }
}

TEST(Artwork, AlertTintsAreTellApartAndFollowTheColour) {
    const QColor red = meanColour(alertIcon(QColor(220, 30, 30)).toImage());
    const QColor green = meanColour(alertIcon(QColor(30, 170, 40)).toImage());
    const QColor yellow = meanColour(alertIcon(QColor(240, 210, 30)).toImage());
    EXPECT_GT(red.red(), red.green() + 40);
    EXPECT_GT(green.green(), green.red() + 40);
    EXPECT_GT(yellow.red(), yellow.blue() + 60);
    EXPECT_GT(yellow.green(), yellow.blue() + 60);
}

TEST(Artwork, RealmPicturesDifferFromEachOther) {
    const QImage hammer = hammerPicture().toImage();
    const QImage cup = cupPicture().toImage();
    const QImage tree = treePicture().toImage();
    EXPECT_NE(hammer, cup);
    EXPECT_NE(cup, tree);
    EXPECT_NE(hammer, tree);
    EXPECT_GT(meanColour(tree).green(), meanColour(tree).blue() + 30) << "Hibernia's tree is green";
}

TEST(Artwork, HandCursorPointsWithItsFingertipAtTheHotSpot) {
    const QImage hand = handCursor().toImage();
    const QPoint hot = handCursorHotSpot();
    EXPECT_EQ(hot, QPoint(5, 0));
    EXPECT_EQ(qAlpha(hand.pixel(hot)), 255);
    for (int x = 0; x < hand.width(); ++x) {
        if (x >= 4 && x <= 5) continue;
        EXPECT_EQ(qAlpha(hand.pixel(x, 0)), 0) << "only the fingertip on the top row, x " << x;
    }
}

TEST(Artwork, DonateButtonCarriesDarkLettering) {
    const QImage button = donateButtonPicture().toImage();
    int dark = 0;
    for (int y = 8; y < 23; ++y)
        for (int x = 8; x < 54; ++x) dark += qGray(button.pixel(x, y)) < 90;
    EXPECT_GT(dark, 40);
}

}  // namespace
}  // namespace tw

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
