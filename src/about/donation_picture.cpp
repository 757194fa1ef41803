#include "about/donation_picture.h"

#include "forms/drawn_picture.h"

namespace tw {

forms::Picture plainDonationPicture() {
    return forms::drawPicture(62, 31, [](forms::DrawingSurface& s) {
        s.setAntialiasing(true);
        s.drawRect({0.5, 0.5, 61, 30}, forms::solidFill(forms::rgb(255, 200, 70)),
                   forms::Pen{forms::rgb(150, 110, 20), 1}, 8);
        forms::Font font;
        font.size = 9;  // 12 pixels
        font.bold = true;
        s.drawText("Donate", {0, 0, 62, 31}, font, forms::rgb(40, 40, 90), forms::Alignment::Center,
                   forms::VerticalAlignment::Center);
    });
}

}  // namespace tw
