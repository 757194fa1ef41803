// The probe on Qt: events sent to the controls' widgets, and what the widgets paint.
#include "forms_probe.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include "forms/check_box.h"
#include "forms/combo_box.h"
#include "forms/menu.h"
#include "forms/qt/form_window.h"
#include "forms/qt/native_control.h"
#include "forms/qt/native_form.h"
#include "forms/qt/native_menu.h"
#include "forms/qt/picture_data.h"
#include "forms/qt/text_layout.h"
#include "forms/scroll_bar.h"
#include "platform/qt/notify_icon.h"
#include "platform/qt/text_codec.h"

namespace tw::testing {
namespace {

QWidget* widget(const forms::Control& control) { return forms::qt::widgetOf(control); }
QWidget* window(const forms::Form& form) { return forms::qt::windowOf(form); }

void sendKey(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

void sendMouse(QWidget* target, QEvent::Type type, QPointF at, Qt::MouseButtons held) {
    QMouseEvent event(type, at, target->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

forms::Colour colourOf(QColor c) { return forms::rgb(c.red(), c.green(), c.blue()); }

Rect rectOf(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

}  // namespace

void pickEntry(const forms::ComboBox& combo, int index) {
    static_cast<QComboBox*>(widget(combo))->setCurrentIndex(index);
}

void stepScrollBar(const forms::ScrollBar& bar, int lines) {
    auto* slider = static_cast<QScrollBar*>(widget(bar));
    for (int i = 0; i < std::abs(lines); ++i)
        slider->triggerAction(lines < 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
}

void toggleAsUser(const forms::CheckBox& check) { static_cast<QAbstractButton*>(widget(check))->click(); }

void pressEscape(const forms::Control& control) { sendKey(widget(control), Qt::Key_Escape); }
void pressEscape(const forms::Form& form) { sendKey(window(form), Qt::Key_Escape); }
void pressEnter(const forms::Control& control) { sendKey(widget(control), Qt::Key_Return); }

void typeInto(const forms::Control& control, const std::string& text) {
    for (const QChar c : QString::fromStdString(text)) {
        QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget(control), &key);
    }
}

void pressAndRelease(const forms::Control& control, int pressX, int pressY, int releaseX, int releaseY) {
    sendMouse(widget(control), QEvent::MouseButtonPress, QPointF(pressX, pressY), Qt::LeftButton);
    sendMouse(widget(control), QEvent::MouseButtonRelease, QPointF(releaseX, releaseY), Qt::NoButton);
}

void moveMouseOver(const forms::Control& control, int x, int y) {
    QMouseEvent move(QEvent::MouseMove, QPointF(x, y), widget(control)->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget(control), &move);
}

void moveMouseAway(const forms::Control& control) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(widget(control), &leave);
}

void closeWithCloseButton(const forms::Form& form) { window(form)->close(); }

void triggerAsUser(const forms::MenuItem& item) { forms::qt::actionOf(item)->trigger(); }
void dismissPopup(const forms::Menu& menu) { forms::qt::menuOf(menu)->hide(); }
void repaintNow(const forms::Form& form) { window(form)->repaint(); }

bool nativeHidden(const forms::Control& control) { return widget(control)->isHidden(); }

bool tabMovesTo(const forms::Control& from, const forms::Control& to) {
    QWidget* start = widget(from);
    for (QWidget* next = start->nextInFocusChain(); next && next != start; next = next->nextInFocusChain())
        if ((next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(start->window())) return next == widget(to);
    return false;
}

std::function<bool()> nativeGoneOrHidden(const forms::Control& control) {
    QPointer<QWidget> watched = widget(control);
    return [watched] { return watched.isNull() || watched->isHidden(); };
}

forms::Colour shownPixel(const forms::Control& control, int x, int y) {
    return colourOf(widget(control)->grab().toImage().pixelColor(x, y));
}
forms::Colour shownPixel(const forms::Form& form, int x, int y) {
    return colourOf(window(form)->grab().toImage().pixelColor(x, y));
}

bool showsColourAnywhere(const forms::Control& control, forms::Colour colour) {
    const QImage image = widget(control)->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (colourOf(image.pixelColor(x, y)) == colour) return true;
    return false;
}

forms::Size shownSize(const forms::Control& control) {
    const QSize size = widget(control)->grab().toImage().size();
    return {size.width(), size.height()};
}

bool letsMouseThrough(const forms::Control& control) {
    return widget(control)->testAttribute(Qt::WA_TransparentForMouseEvents);
}

bool showsBold(const forms::MenuItem& item) { return forms::qt::actionOf(item)->font().bold(); }

int preferredWidth(const forms::Control& control) { return widget(control)->sizeHint().width(); }

forms::Size textNeeds(const forms::Control& control, const std::string& text, int wrapWidth) {
    const QSize needed = forms::textExtent(widget(control)->font(), platform::toDisplayLines(text), wrapWidth);
    return {needed.width(), needed.height()};
}

int windowWidth(const forms::Form& form) { return window(form)->width(); }
Rect availableScreen(const forms::Form& form) { return rectOf(window(form)->screen()->availableGeometry()); }
Rect frameOnScreen(const forms::Form& form) { return rectOf(window(form)->frameGeometry()); }
Rect inside(const forms::Form& form) { return rectOf(window(form)->rect()); }

std::vector<ShownChild> shownChildren(const forms::Form& form) {
    std::vector<ShownChild> children;
    QWidget* top = window(form);
    for (const QWidget* child : top->findChildren<QWidget*>()) {
        if (child->isWindow()) continue;
        const std::string name = child->objectName().isEmpty() ? child->metaObject()->className()
                                                               : child->objectName().toStdString();
        children.push_back({name, child->isVisibleTo(top), rectOf(QRect(child->mapTo(top, QPoint(0, 0)), child->size()))});
    }
    return children;
}

std::vector<Line> drawnLines(const forms::Form& form) {
    std::vector<Line> lines;
    for (const forms::DrawnLine& l : static_cast<forms::FormWindow*>(window(form))->lines)
        lines.push_back({l.x1, l.y1, l.x2, l.y2, l.colour});
    return lines;
}

bool shownModal(const forms::Form& form) { return window(form)->windowModality() != Qt::NonModal; }

std::vector<forms::Colour> opaqueIconPixels(std::uintptr_t icon, int size) {
    const QImage image = platform::iconFromHandle(icon).pixmap(size, size).toImage();
    std::vector<forms::Colour> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QRgb px = image.pixel(x, y); qAlpha(px) == 255) pixels.push_back(forms::rgb(qRed(px), qGreen(px), qBlue(px)));
    return pixels;
}

void runAfter(int ms, std::function<void()> task) { QTimer::singleShot(ms, std::move(task)); }

std::shared_ptr<void> runEvery(int ms, std::function<void()> task) {
    auto timer = std::make_shared<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, std::move(task));
    timer->start(ms);
    return timer;
}

void runDeferredDeletes() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

forms::Picture solidPicture(int width, int height, forms::Colour colour) {
    QPixmap pixmap(width, height);
    pixmap.fill(QColor(forms::redOf(colour), forms::greenOf(colour), forms::blueOf(colour)));
    return forms::qt::pictureFrom(pixmap);
}

}  // namespace tw::testing
