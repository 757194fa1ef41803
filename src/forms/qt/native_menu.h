#pragma once
// What a popup menu and its items are on Qt: a QMenu and its actions.

#include <QAction>
#include <QMenu>
#include <QPointer>

#include "forms/menu.h"

namespace tw::forms {

struct NativeMenu {
    QPointer<QMenu> menu;
};

struct NativeMenuItem {
    QPointer<QAction> action;
};

namespace qt {

// Null once the menu or the action is gone.
inline QMenu* menuOf(const Menu& menu) { return menu.native().menu.data(); }
inline QAction* actionOf(const MenuItem& item) { return item.native().action.data(); }

}  // namespace qt

}  // namespace tw::forms
