// Pictures made from Qt pixmaps: which pixmap a picture holds is a question only Qt has.
#include <gtest/gtest.h>

#include <QPixmap>

#include "forms/picture.h"
#include "forms/qt/picture_data.h"

namespace tw::forms {
namespace {

// Pictures compare by bitmap: the tray and the alerts tell icons apart by it.
TEST(PictureTest, SameBitmapComparesEqualAndEmptyPicturesToo) {
    QPixmap red(16, 12);
    red.fill(Qt::red);
    const Picture picture = qt::pictureFrom(red);
    EXPECT_EQ(Picture(picture), picture);
    EXPECT_EQ(qt::pictureFrom(red), picture);  // made twice from one pixmap
    QPixmap other(16, 12);
    other.fill(Qt::red);
    EXPECT_FALSE(qt::pictureFrom(other) == picture);
    EXPECT_FALSE(Picture() == picture);
    EXPECT_EQ(Picture(), qt::pictureFrom(QPixmap()));
    EXPECT_TRUE(qt::pictureFrom(QPixmap()).isNull());
    EXPECT_EQ(qt::pixmapOf(picture).cacheKey(), red.cacheKey());
}

}  // namespace
}  // namespace tw::forms
