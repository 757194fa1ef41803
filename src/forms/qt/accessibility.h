#pragma once
// What screen readers (AT-SPI, through Qt Accessibility) are told of the controls Qt does
// not describe itself: labels read as their caption, and as a link or a button where they act
// as one; pictures by the name given them. A control given a role or a name keeps them in
// properties of its widget; the interface made for the widget reads them.

#include <QWidget>

namespace tw::forms::qt {

// int: the forms::AccessibleRole given the control.
inline constexpr const char* kAccessibleRoleProperty = "twAccessibleRole";
// QString: the name given the control. Kept here rather than as the widget's accessible name,
// whose every change has Qt make an interface for the widget, screen reader or not.
inline constexpr const char* kAccessibleNameProperty = "twAccessibleName";

// Makes Qt ask this layer for the interface of its plain widgets; before the first is made.
void installAccessibleInterfaces();

}  // namespace tw::forms::qt
