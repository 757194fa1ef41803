#include "forms/scroll_bar.h"

#include <algorithm>

#include <QScrollBar>

#include "forms/container.h"

namespace tw::forms {

namespace {

QScrollBar* bar(QWidget* widget) { return static_cast<QScrollBar*>(widget); }

}  // namespace

ScrollBar::ScrollBar(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index, new QScrollBar(Qt::Vertical, owner.surface()), 255,
              1215) {
    QScrollBar* scroll = bar(widget());
    scroll->setRange(0, 32767);
    scroll->setSingleStep(1);
    scroll->setPageStep(1);
    QObject::connect(scroll, &QScrollBar::valueChanged, signalContext(), [this] { change(); });
}

int ScrollBar::min() const { return bar(widget())->minimum(); }
int ScrollBar::max() const { return bar(widget())->maximum(); }
int ScrollBar::value() const { return bar(widget())->value(); }
int ScrollBar::smallChange() const { return bar(widget())->singleStep(); }
int ScrollBar::largeChange() const { return bar(widget())->pageStep(); }

// Qt clamps the value into the new range and emits valueChanged when that moves it.
void ScrollBar::setMin(int min) { bar(widget())->setMinimum(min); }
void ScrollBar::setMax(int max) { bar(widget())->setMaximum(max); }
void ScrollBar::setValue(int value) { bar(widget())->setValue(value); }
void ScrollBar::setSmallChange(int step) { bar(widget())->setSingleStep(std::max(1, step)); }
void ScrollBar::setLargeChange(int step) { bar(widget())->setPageStep(std::max(1, step)); }

void ScrollBar::change() {
    const auto handler = onChange;
    if (handler) handler();
}

void ScrollBar::copyFrom(const ScrollBar& source) {
    copyCommonFrom(source);
    QScrollBar* scroll = bar(widget());
    const QSignalBlocker quiet(scroll);  // a new element starts at the source's value silently
    scroll->setRange(source.min(), source.max());
    scroll->setSingleStep(source.smallChange());
    scroll->setPageStep(source.largeChange());
    scroll->setValue(source.value());
}

}  // namespace tw::forms
