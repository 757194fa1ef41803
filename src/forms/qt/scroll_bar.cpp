#include "forms/scroll_bar.h"
#include "forms/qt/focus_frame.h"
#include "forms/qt/native_control.h"

#include <algorithm>

#include <QPainter>
#include <QScrollBar>


namespace tw::forms {

namespace {

// The style draws no focus on a scroll bar; one reached with Tab shows the desktop's frame.
class FocusScrollBar : public QScrollBar {
public:
    using QScrollBar::QScrollBar;

protected:
    void paintEvent(QPaintEvent* event) override {
        QScrollBar::paintEvent(event);
        QPainter painter(this);
        qt::drawFocusFrame(*this, painter);
    }
};

QScrollBar* bar(QWidget* widget) { return static_cast<QScrollBar*>(widget); }

}  // namespace

ScrollBar::ScrollBar(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index,
              qt::nativeControl(new FocusScrollBar(Qt::Vertical, qt::surfaceOf(owner))), 255, 1215) {
    QScrollBar* scroll = bar(qt::widgetOf(*this));
    scroll->setRange(0, 32767);
    scroll->setSingleStep(1);
    scroll->setPageStep(1);
    // A tab stop, as the arrow and page keys move it (Qt's own scroll bars take no focus).
    scroll->setFocusPolicy(Qt::TabFocus);
    QObject::connect(scroll, &QScrollBar::valueChanged, qt::signalContextOf(*this),
                     [this] { change(); });
}

int ScrollBar::min() const { return bar(qt::widgetOf(*this))->minimum(); }
int ScrollBar::max() const { return bar(qt::widgetOf(*this))->maximum(); }
int ScrollBar::value() const { return bar(qt::widgetOf(*this))->value(); }
int ScrollBar::smallChange() const { return bar(qt::widgetOf(*this))->singleStep(); }
int ScrollBar::largeChange() const { return bar(qt::widgetOf(*this))->pageStep(); }

// Qt clamps the value into the new range and emits valueChanged when that moves it.
void ScrollBar::setMin(int min) { bar(qt::widgetOf(*this))->setMinimum(min); }
void ScrollBar::setMax(int max) { bar(qt::widgetOf(*this))->setMaximum(max); }
void ScrollBar::setValue(int value) { bar(qt::widgetOf(*this))->setValue(value); }
void ScrollBar::setSmallChange(int step) { bar(qt::widgetOf(*this))->setSingleStep(std::max(1, step)); }
void ScrollBar::setLargeChange(int step) { bar(qt::widgetOf(*this))->setPageStep(std::max(1, step)); }

void ScrollBar::change() {
    const auto handler = onChange;
    if (handler) handler();
}

void ScrollBar::copyFrom(const ScrollBar& source) {
    copyCommonFrom(source);
    QScrollBar* scroll = bar(qt::widgetOf(*this));
    const QSignalBlocker quiet(scroll);  // a new element starts at the source's value silently
    scroll->setRange(source.min(), source.max());
    scroll->setSingleStep(source.smallChange());
    scroll->setPageStep(source.largeChange());
    scroll->setValue(source.value());
}

}  // namespace tw::forms
