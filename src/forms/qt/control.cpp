#include "forms/control.h"

#include <QObject>
#include <QPalette>
#include <QWidget>

#include "forms/container.h"
#include "forms/qt/accessibility.h"
#include "forms/qt/clickable_widget.h"
#include "forms/qt/native_control.h"
#include "forms/qt/qt_values.h"
#include "platform/qt/text_codec.h"

namespace tw::forms {

Control::Control(Container& owner, std::string name, int index,
                 std::unique_ptr<NativeControl> native, int width, int height)
    : m_owner(owner),
      m_name(std::move(name)),
      m_index(index),
      m_native(std::move(native)),
      m_width(width),
      m_height(height),
      m_font(owner.childFont()) {
    qt::installAccessibleInterfaces();
    m_native->widget->setFont(toQFont(m_font));
    applyGeometry();
    // A widget added to a window already on screen stays hidden unless shown explicitly.
    m_native->widget->setVisible(true);
}

Control::~Control() {
    m_native->signalContext.reset();
    QWidget* widget = m_native->widget;
    if (!widget) return;
    // The control may be unloaded from inside one of its own widget's event handlers (a
    // click that rebuilds a list), so the widget goes once that handler has returned.
    widget->hide();
    widget->deleteLater();
}

void Control::setLeft(int twips) { move(twips, m_top); }
void Control::setTop(int twips) { move(m_left, twips); }
void Control::setWidth(int twips) { move(m_left, m_top, twips, m_height); }
void Control::setHeight(int twips) { move(m_left, m_top, m_width, twips); }

void Control::move(int left, int top, int width, int height) {
    m_left = left;
    m_top = top;
    if (width >= 0) m_width = width;
    if (height >= 0) m_height = height;
    applyGeometry();
}

void Control::applyGeometry() {
    QWidget* widget = m_native->widget;
    if (!widget) return;
    widget->setGeometry(twipsToPixels(m_left), twipsToPixels(m_top), twipsToPixels(m_width),
                        twipsToPixels(m_height));
}

void Control::setVisible(bool visible) {
    m_visible = visible;
    if (m_native->widget) m_native->widget->setVisible(visible);
}

void Control::setEnabled(bool enabled) {
    m_enabled = enabled;
    if (m_native->widget) m_native->widget->setEnabled(enabled);
}

void Control::setToolTipText(const std::string& text) {
    m_toolTip = text;
    if (m_native->widget) m_native->widget->setToolTip(plainToolTip(text));
}

void Control::setForeColor(Colour colour) {
    m_foreColor = colour;
    applyForeColor();
}

void Control::applyForeColor() {
    QWidget* widget = m_native->widget;
    if (!widget) return;
    // Only the active and inactive groups: a disabled control keeps the greyed text.
    QPalette palette = widget->palette();
    const QColor colour = toQColor(m_foreColor);
    // Setting a palette walks the widget's children and posts events; most rows keep theirs.
    bool same = true;
    for (auto group : {QPalette::Active, QPalette::Inactive})
        for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            same = same && palette.color(group, role) == colour;
    if (same) return;
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, colour);
        palette.setColor(group, QPalette::ButtonText, colour);
        palette.setColor(group, QPalette::Text, colour);
    }
    widget->setPalette(palette);
}

void Control::setFont(const Font& font) {
    // The widget already shows this font (a control-array copy of a control in the form's
    // own font): setting it again would only redo the layout.
    if (font == m_font) return;
    m_font = font;
    if (m_native->widget) m_native->widget->setFont(toQFont(font));
    fontChanged();
}

void Control::setMousePointer(int pointer) {
    m_mousePointer = pointer;
    QWidget* widget = m_native->widget;
    if (!widget) return;
    widget->setProperty("twMousePointer", pointer);
    if (pointer == kCustomPointer)
        widget->setCursor(customPointer());
    else
        widget->unsetCursor();
}

void Control::bringToFront() {
    if (m_native->widget) m_native->widget->raise();
}

void Control::setFocus() {
    if (m_native->widget) m_native->widget->setFocus();
}

void Control::click() {
    // A copy: the handler may unload this very control.
    const auto handler = onClick;
    if (handler) handler();
}

void Control::setAccessible(AccessibleRole role, const std::string& name) {
    m_accessibleRole = role;
    m_accessibleName = name;
    QWidget* widget = m_native->widget;
    // Most controls never have either: they pay nothing for the properties.
    const bool nothingToSay = role == AccessibleRole::Default && name.empty();
    if (!widget || (nothingToSay && !widget->property(qt::kAccessibleRoleProperty).isValid())) return;
    widget->setProperty(qt::kAccessibleNameProperty, platform::toQString(name));
    widget->setProperty(qt::kAccessibleRoleProperty, static_cast<int>(role));
    // Links and buttons drawn by this layer are reached with Tab (not by a click, which would
    // leave a focus frame behind for mouse users).
    if (dynamic_cast<ClickableWidget*>(widget))
        widget->setFocusPolicy(role == AccessibleRole::Link || role == AccessibleRole::Button ? Qt::TabFocus
                                                                                            : Qt::NoFocus);
}

void Control::followInTabOrder(const Control& previous) {
    QWidget* widget = m_native->widget;
    QWidget* before = previous.m_native->widget;
    if (widget && before && (widget->focusPolicy() & Qt::TabFocus)) QWidget::setTabOrder(before, widget);
}

void Control::copyCommonFrom(const Control& source) {
    move(source.m_left, source.m_top, source.m_width, source.m_height);
    setEnabled(source.m_enabled);
    setTag(source.m_tag);
    setToolTipText(source.m_toolTip);
    setForeColor(source.m_foreColor);
    setFont(source.m_font);
    setMousePointer(source.m_mousePointer);
    setAccessible(source.m_accessibleRole, source.m_accessibleName);
}

}  // namespace tw::forms
