#pragma once
// A plain "Donate" button picture for an about box that was given none. Needs a
// QGuiApplication.

#include <QPixmap>

namespace tw {

QPixmap plainDonationPicture();  // 62 x 31

}  // namespace tw
