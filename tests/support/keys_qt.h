#pragma once
// Keys as a keyboard user presses them, sent to the widget with the focus.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <vector>

namespace tw::testing {

inline void key(int code, bool release = false) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    const QString text = code == Qt::Key_Space ? QStringLiteral(" ") : QString();
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    if (!release) return;
    QKeyEvent up(QEvent::KeyRelease, code, Qt::NoModifier, text);
    QApplication::sendEvent(target, &up);
}

// Tabs on until `wanted` has the focus; the widgets passed on the way, up to 80 of them.
inline std::vector<QWidget*> tabTo(QWidget* wanted) {
    std::vector<QWidget*> passed;
    while (QApplication::focusWidget() != wanted && passed.size() < 80) {
        passed.push_back(QApplication::focusWidget());
        key(Qt::Key_Tab);
    }
    return passed;
}

// Where `widget` comes in `order`, -1 when it does not.
inline int position(const std::vector<QWidget*>& order, QWidget* widget) {
    for (std::size_t i = 0; i < order.size(); ++i)
        if (order[i] == widget) return static_cast<int>(i);
    return -1;
}

}  // namespace tw::testing
