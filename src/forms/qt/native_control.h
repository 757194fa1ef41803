#pragma once
// What a control is on Qt: its widget, and a receiver for the widget's signals that dies
// with the control. The kinds of control reach their widget through the accessors below.

#include <memory>

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "forms/container.h"
#include "forms/control.h"

namespace tw::forms {

struct NativeControl {
    explicit NativeControl(QWidget* widget) : widget(widget) {}
    virtual ~NativeControl() = default;

    QPointer<QWidget> widget;
    std::unique_ptr<QObject> signalContext = std::make_unique<QObject>();
};

namespace qt {

// Wraps a widget made for a control; the control takes ownership of both.
inline std::unique_ptr<NativeControl> nativeControl(QWidget* widget) {
    return std::make_unique<NativeControl>(widget);
}

// Null once the widget is gone.
inline QWidget* widgetOf(const Control& control) { return control.native().widget.data(); }
inline QObject* signalContextOf(const Control& control) {
    return control.native().signalContext.get();
}
// The widget the container's controls are children of.
inline QWidget* surfaceOf(const Container& container) {
    return container.surface().widget.data();
}

}  // namespace qt

}  // namespace tw::forms
