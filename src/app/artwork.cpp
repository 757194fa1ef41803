#include "app/artwork.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tw {
namespace {

QImage canvas(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// Pixel art: 'X' outline, '.' fill, anything else left clear.
void drawPixelArt(QImage& image, const char* const rows[], int rowCount, QPoint origin, QColor outline, QColor fill) {
    for (int y = 0; y < rowCount; ++y)
        for (int x = 0; rows[y][x]; ++x) {
            const char c = rows[y][x];
            if (c == 'X') image.setPixelColor(origin.x() + x, origin.y() + y, outline);
            else if (c == '.') image.setPixelColor(origin.x() + x, origin.y() + y, fill);
        }
}

// A heater shield filling the rectangle, its point at the bottom centre.
QPainterPath shieldPath(const QRectF& r) {
    const qreal mid = r.center().x();
    const qreal shoulder = r.top() + r.height() * 0.45;
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right(), r.top());
    path.lineTo(r.right(), shoulder);
    path.cubicTo(r.right(), r.top() + r.height() * 0.75, mid + r.width() * 0.25, r.bottom() - r.height() * 0.08,
                 mid, r.bottom());
    path.cubicTo(mid - r.width() * 0.25, r.bottom() - r.height() * 0.08, r.left(), r.top() + r.height() * 0.75,
                 r.left(), shoulder);
    path.closeSubpath();
    return path;
}

void paintShield(QPainter& p, const QRectF& r, const QColor& base) {
    QLinearGradient shade(r.topLeft(), r.bottomRight());
    shade.setColorAt(0, base.lighter(135));
    shade.setColorAt(1, base.darker(150));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(base.darker(300), 1));
    p.setBrush(shade);
    p.drawPath(shieldPath(r));
    p.setRenderHint(QPainter::Antialiasing, false);
}

const QColor kStone(238, 230, 206);
const QColor kStoneShadow(178, 166, 140);
const QColor kMortar(40, 36, 30);
const QColor kProgramBlue(52, 78, 150);

// The program icon on its 32-pixel grid; the painter's scale sets the size drawn.
void paintProgramIcon(QPainter& p) {
    paintShield(p, QRectF(2.5, 2.5, 27, 28), kProgramBlue);

    // The tower: battlement with three merlons, a shaft with a slit window and a gate.
    p.setPen(Qt::NoPen);
    p.fillRect(QRect(9, 6, 3, 3), kMortar);
    p.fillRect(QRect(14, 6, 4, 3), kMortar);
    p.fillRect(QRect(20, 6, 3, 3), kMortar);
    p.fillRect(QRect(9, 9, 14, 4), kMortar);
    p.fillRect(QRect(11, 13, 10, 12), kMortar);
    p.fillRect(QRect(10, 7, 1, 5), kStone);
    p.fillRect(QRect(15, 7, 2, 5), kStone);
    p.fillRect(QRect(21, 7, 1, 5), kStone);
    p.fillRect(QRect(10, 10, 12, 2), kStone);
    p.fillRect(QRect(12, 12, 8, 12), kStone);
    p.fillRect(QRect(18, 12, 2, 12), kStoneShadow);  // the shaded side
    p.fillRect(QRect(15, 14, 2, 3), kMortar);        // window slit
    p.fillRect(QRect(14, 20, 4, 4), kMortar);        // gate
    p.fillRect(QRect(15, 19, 2, 1), kMortar);
    // A pennant on the middle merlon.
    p.fillRect(QRect(16, 1, 1, 6), kMortar);
    p.fillRect(QRect(17, 1, 3, 2), QColor(200, 40, 40));
}

// The same tower on a 16-pixel grid, plain enough to read at tray size.
void paintSmallIcon(QPainter& p, const QColor& shield) {
    paintShield(p, QRectF(0.5, 0.5, 15, 15), shield);
    p.setPen(Qt::NoPen);
    p.fillRect(QRect(4, 3, 8, 9), kMortar);
    p.fillRect(QRect(5, 4, 1, 3), kStone);
    p.fillRect(QRect(7, 4, 2, 3), kStone);
    p.fillRect(QRect(10, 4, 1, 3), kStone);
    p.fillRect(QRect(5, 6, 6, 5), kStone);
    p.fillRect(QRect(7, 9, 2, 2), kMortar);  // gate
}

}  // namespace

QPixmap programIcon() { return QPixmap::fromImage(programIconImage(32)); }

QImage programIconImage(int size) {
    QImage image = canvas(size, size);
    QPainter p(&image);
    // Below 32 pixels the one-pixel details of the large drawing would blur away.
    const bool small = size < 32;
    p.scale(size / (small ? 16.0 : 32.0), size / (small ? 16.0 : 32.0));
    if (small) paintSmallIcon(p, kProgramBlue);
    else paintProgramIcon(p);
    p.end();
    return image;
}

QPixmap staleIcon() {
    // The tower faded to grey: the colours are what tells a player the ownership is live.
    QImage image = programIcon().toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int faded = 96 + qGray(c.rgb()) * 5 / 8;
            image.setPixelColor(x, y, QColor(faded, faded, faded, c.alpha()));
        }
    }
    return QPixmap::fromImage(image);
}

QPixmap alertIcon(const QColor& tint) {
    QImage image = canvas(16, 16);
    QPainter p(&image);
    paintSmallIcon(p, tint);
    p.end();
    return QPixmap::fromImage(image);
}

QPixmap hammerPicture() {
    static const char* const rows[] = {
        " XXXXXXXXXXX ",
        "X...........X",
        "X...........X",
        "X...........X",
        " XXXXX.XXXXX ",
        "     X.X     ",
        "     X.X     ",
        "     X.X     ",
        "     X.X     ",
        "    X...X    ",
        "    X...X    ",
        "     X.X     ",
        "      X      ",
    };
    QImage image = canvas(13, 13);
    drawPixelArt(image, rows, 13, {0, 0}, QColor(24, 30, 70), QColor(160, 170, 200));
    for (int x = 1; x <= 11; ++x) image.setPixelColor(x, 3, QColor(105, 115, 150));  // underside of the head
    for (int x = 2; x <= 4; ++x) image.setPixelColor(x, 1, QColor(225, 230, 245));   // a glint
    for (int y = 4; y <= 8; ++y) image.setPixelColor(6, y, QColor(140, 90, 40));    // the wooden grip
    return QPixmap::fromImage(image);
}

QPixmap cupPicture() {
    static const char* const rows[] = {
        "XXXXXXXXXXXXX",
        "X...........X",
        "X...........X",
        " X.........X ",
        " X.........X ",
        "  X.......X  ",
        "   XX...XX   ",
        "     X.X     ",
        "     X.X     ",
        "     X.X     ",
        "   XX...XX   ",
        "  X.......X  ",
        "  XXXXXXXXX  ",
    };
    QImage image = canvas(13, 13);
    drawPixelArt(image, rows, 13, {0, 0}, QColor(110, 20, 20), QColor(232, 188, 60));
    for (int x = 2; x <= 4; ++x) image.setPixelColor(x, 2, QColor(255, 238, 170));  // a glint
    return QPixmap::fromImage(image);
}

QPixmap treePicture() {
    static const char* const rows[] = {
        "    XXXXX    ",
        "  XX.....XX  ",
        " X.........X ",
        "X...........X",
        "X...........X",
        "X...........X",
        " X.........X ",
        "  XXX...XXX  ",
        "     X.X     ",
        "     X.X     ",
        "     X.X     ",
        "    X...X    ",
        "   XXXXXXX   ",
    };
    QImage image = canvas(13, 13);
    drawPixelArt(image, rows, 13, {0, 0}, QColor(10, 60, 15), QColor(50, 160, 60));
    const QColor bark(120, 75, 35);
    for (int y = 7; y <= 11; ++y) image.setPixelColor(6, y, bark);
    image.setPixelColor(5, 11, bark);
    image.setPixelColor(7, 11, bark);
    for (const QPoint leaf : {QPoint(4, 2), QPoint(3, 3), QPoint(5, 3), QPoint(8, 4)})
        image.setPixelColor(leaf, QColor(120, 210, 110));
    return QPixmap::fromImage(image);
}

QPixmap handCursor() {
    static const char* const rows[] = {
        "    XX          ",
        "   X..X         ",
        "   X..X         ",
        "   X..X         ",
        "   X..X         ",
        "   X..XXX       ",
        "   X..X..XXX    ",
        "   X..X..X..XXX ",
        "   X..X..X..X..X",
        " XXX..X..X..X..X",
        "X..X..X..X..X..X",
        "X..X...........X",
        "X..............X",
        " X.............X",
        " X.............X",
        "  X............X",
        "  X...........X ",
        "   X..........X ",
        "   X.........X  ",
        "    X........X  ",
        "    X........X  ",
        "    XXXXXXXXXX  ",
    };
    QImage image = canvas(32, 32);
    drawPixelArt(image, rows, 22, {0, 0}, Qt::black, Qt::white);
    return QPixmap::fromImage(image);
}

QPoint handCursorHotSpot() { return {5, 0}; }

QPixmap donateButtonPicture() {
    QImage image = canvas(62, 31);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const QRectF face(0.5, 0.5, 61, 30);
    QLinearGradient gold(face.topLeft(), face.bottomLeft());
    gold.setColorAt(0, QColor(255, 228, 130));
    gold.setColorAt(0.5, QColor(250, 190, 60));
    gold.setColorAt(1, QColor(225, 140, 20));
    p.setPen(QPen(QColor(140, 80, 10), 1));
    p.setBrush(gold);
    p.drawRoundedRect(face, 9, 9);
    p.setPen(QPen(QColor(255, 248, 215), 1));  // a highlight under the top edge
    p.drawLine(QPointF(8, 2.5), QPointF(54, 2.5));

    QFont font("DejaVu Sans");
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(20, 38, 100));
    p.drawText(QRectF(0, 0, 62, 30), Qt::AlignCenter, "Donate");
    p.end();
    return QPixmap::fromImage(image);
}

}  // namespace tw
