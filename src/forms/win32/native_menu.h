#pragma once
// What a popup menu is on Windows: a popup HMENU rebuilt from the items whenever one is
// shown, hidden, renamed or enabled, so hidden items are simply not in it.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <memory>
#include <vector>

#include "forms/menu.h"

namespace tw::forms {

struct NativeMenu {
    HMENU menu = nullptr;
    // In the order they were added, separators too.
    std::vector<MenuItem*> items;
    // From popup() until the choice is made or the menu closes.
    bool shown = false;
    // Gone with the menu, for a popup still to run.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);

    // Fills the HMENU again from the items as they stand.
    void rebuild();
};

struct NativeMenuItem {
    NativeMenu* menu = nullptr;
    // The item's command, what TrackPopupMenu returns when it is chosen (never 0).
    UINT id = 0;
    bool separator = false;
};

namespace win32 {

inline HMENU menuHandle(const Menu& menu) { return menu.native().menu; }
inline UINT commandOf(const MenuItem& item) { return item.native().id; }
// Whether the menu shows the item bold, as its default.
inline bool isDefaultItem(const Menu& menu, const MenuItem& item) {
    return GetMenuDefaultItem(menu.native().menu, FALSE, GMDI_USEDISABLED) == item.native().id;
}

}  // namespace win32

}  // namespace tw::forms
