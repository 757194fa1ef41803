#include "about/donation_picture.h"

#include <QFont>
#include <QPainter>

namespace tw {

QPixmap plainDonationPicture() {
    QPixmap picture(62, 31);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(150, 110, 20));
    painter.setBrush(QColor(255, 200, 70));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 61, 30), 8, 8);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(12);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(40, 40, 90));
    painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("Donate"));
    return picture;
}

}  // namespace tw
