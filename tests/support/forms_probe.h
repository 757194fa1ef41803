#pragma once
// Acts as the user on the program's windows and reads back what the window system shows,
// so the window tests run unchanged on every system. forms_probe_<system>.cpp.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/picture.h"
#include "forms/units.h"

namespace tw::forms {
class CheckBox;
class ComboBox;
class Control;
class Form;
class Menu;
class MenuItem;
class ScrollBar;
}  // namespace tw::forms

namespace tw::testing {

// In pixels, relative to the form's inside.
struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    int centreX() const { return left + width / 2; }
    bool contains(const Rect& r) const {
        return r.left >= left && r.top >= top && r.left + r.width <= left + width &&
               r.top + r.height <= top + height;
    }
    bool operator==(const Rect&) const = default;
};

// A line drawn on a form, in twips.
struct Line {
    int x1, y1, x2, y2;
    forms::Colour colour;
};

// One native window inside a form, as the window system lays it out.
struct ShownChild {
    std::string name;  // whatever tells it apart in a failure message
    bool visible;
    Rect area;
};

// --- the user's actions
void pickEntry(const forms::ComboBox& combo, int index);
void stepScrollBar(const forms::ScrollBar& bar, int lines);  // negative: towards the top
void toggleAsUser(const forms::CheckBox& check);
void pressEscape(const forms::Control& control);
void pressEscape(const forms::Form& form);
void pressEnter(const forms::Control& control);
void typeInto(const forms::Control& control, const std::string& text);  // key by key
// A left press at one point and its release at another, in pixels on the control.
void pressAndRelease(const forms::Control& control, int pressX, int pressY, int releaseX, int releaseY);
void moveMouseOver(const forms::Control& control, int x, int y);
void moveMouseAway(const forms::Control& control);
void closeWithCloseButton(const forms::Form& form);
void triggerAsUser(const forms::MenuItem& item);
void dismissPopup(const forms::Menu& menu);
void repaintNow(const forms::Form& form);

// --- what the window system shows
bool nativeHidden(const forms::Control& control);
// Whether Tab on `from` moves the focus to `to`, as the window system orders its tab stops.
bool tabMovesTo(const forms::Control& from, const forms::Control& to);
// Says, for as long as it is kept, whether the control's native window is gone or hidden.
std::function<bool()> nativeGoneOrHidden(const forms::Control& control);
forms::Colour shownPixel(const forms::Control& control, int x, int y);
forms::Colour shownPixel(const forms::Form& form, int x, int y);
bool showsColourAnywhere(const forms::Control& control, forms::Colour colour);
forms::Size shownSize(const forms::Control& control);  // of a grab, in pixels
bool letsMouseThrough(const forms::Control& control);
bool showsBold(const forms::MenuItem& item);
int preferredWidth(const forms::Control& control);
// What the text needs in the control's font, wrapped at wrapWidth pixels unless 0.
forms::Size textNeeds(const forms::Control& control, const std::string& text, int wrapWidth = 0);
int windowWidth(const forms::Form& form);
Rect availableScreen(const forms::Form& form);  // of the screen the form is on
Rect frameOnScreen(const forms::Form& form);
Rect inside(const forms::Form& form);
std::vector<ShownChild> shownChildren(const forms::Form& form);
std::vector<Line> drawnLines(const forms::Form& form);
bool shownModal(const forms::Form& form);
// The opaque pixels of the tray's picture behind a shell handle, at size x size.
std::vector<forms::Colour> opaqueIconPixels(std::uintptr_t icon, int size);
// The tray picture's colour on average at 16 pixels: "red", "green", "yellow", "other", or
// "nothing" when it has no opaque pixel.
inline std::string iconTint(std::uintptr_t icon) {
    long r = 0, g = 0, b = 0, n = 0;
    for (const forms::Colour px : opaqueIconPixels(icon, 16))
        r += forms::redOf(px), g += forms::greenOf(px), b += forms::blueOf(px), ++n;
    if (n == 0) return "nothing";
    r /= n, g /= n, b /= n;
    if (r > g + 40 && r > b + 40) return "red";
    if (g > r + 40 && g > b + 40) return "green";
    if (r > b + 60 && g > b + 60) return "yellow";
    return "other";
}

// --- the event loop
void runAfter(int ms, std::function<void()> task);
// Runs the task every ms for as long as the handle is kept.
std::shared_ptr<void> runEvery(int ms, std::function<void()> task);
// What the event loop does next on its own: posted work, then deferred deletes.
void runDeferredDeletes();

// --- pictures
forms::Picture solidPicture(int width, int height, forms::Colour colour);

}  // namespace tw::testing
