#pragma once
// The desktop's focus frame over a widget this layer paints itself (a link label, a picture
// that acts as a button, a scroll bar, on which the style draws none), while it has the focus.

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWidget>

namespace tw::forms::qt {

inline void drawFocusFrame(QWidget& widget, QPainter& painter) {
    if (!widget.hasFocus()) return;
    QStyleOptionFocusRect focus;
    focus.initFrom(&widget);
    widget.style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, &widget);
}

}  // namespace tw::forms::qt
