#include "forms/menu.h"

#include "forms/application.h"
#include "forms/win32/native_control.h"
#include "forms/win32/native_menu.h"
#include "forms/win32/win32_values.h"
#include "platform/event_loop.h"
#include "runtime/runtime_error.h"

namespace tw::forms {

namespace {

// The window a popup belongs to: hidden, and made the foreground window while the menu is
// up, so a click elsewhere closes the menu as it should.
HWND menuOwner() {
    static HWND owner = CreateWindowExW(WS_EX_TOOLWINDOW, win32::surfaceClass(), L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
    return owner;
}

void track(Menu& menu, UINT defaultId) {
    NativeMenu& native = menu.native();
    const std::shared_ptr<bool> alive = native.alive;
    native.rebuild();
    SetMenuDefaultItem(native.menu, defaultId ? defaultId : static_cast<UINT>(-1), FALSE);
    HWND owner = menuOwner();
    POINT at{};
    GetCursorPos(&at);
    SetForegroundWindow(owner);
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(
        native.menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr));
    // Without this message a second popup may close at once.
    PostMessageW(owner, WM_NULL, 0, 0);
    // Handlers run while the menu was up may have removed it.
    if (!*alive) return;
    native.shown = false;
    if (chosen == 0) return;
    for (MenuItem* entry : native.items) {
        if (entry->native().id != chosen) continue;
        // The item's handler may remove the menu: nothing is read after it.
        entry->click();
        return;
    }
}

}  // namespace

void NativeMenu::rebuild() {
    while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
    for (const MenuItem* entry : items) {
        if (!entry->visible()) continue;
        const NativeMenuItem& item = entry->native();
        if (item.separator) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const UINT flags = MF_STRING | (entry->enabled() ? MF_ENABLED : MF_GRAYED);
        AppendMenuW(menu, flags, item.id, win32::screenText(entry->caption()).c_str());
    }
}

MenuItem::MenuItem(std::unique_ptr<NativeMenuItem> native, std::string name, std::string caption)
    : m_native(std::move(native)), m_name(std::move(name)), m_caption(std::move(caption)) {
    if (NativeMenu* menu = m_native->menu) {
        menu->items.push_back(this);
        menu->rebuild();
    }
}

MenuItem::~MenuItem() = default;

void MenuItem::setCaption(const std::string& caption) {
    m_caption = caption;
    if (m_native->menu) m_native->menu->rebuild();
}

void MenuItem::setVisible(bool visible) {
    m_visible = visible;
    if (m_native->menu) m_native->menu->rebuild();
}

void MenuItem::setEnabled(bool enabled) {
    m_enabled = enabled;
    if (!m_native->menu || !m_visible) return;
    EnableMenuItem(m_native->menu->menu, m_native->id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void MenuItem::click() {
    const auto handler = onClick;
    if (handler) handler();
}

Menu::Menu(Container&, std::string name, std::string caption)
    : m_name(std::move(name)), m_caption(std::move(caption)), m_native(std::make_unique<NativeMenu>()) {
    m_native->menu = CreatePopupMenu();
}

Menu::~Menu() {
    *m_native->alive = false;
    m_native->items.clear();
    m_items.clear();
    // A menu still up is destroyed once its loop has let go of it.
    HMENU menu = m_native->menu;
    if (m_native->shown) EndMenu();
    if (!m_native->shown || !platform::postToEventLoop([menu] { DestroyMenu(menu); })) DestroyMenu(menu);
}

namespace {

std::unique_ptr<NativeMenuItem> nativeItem(NativeMenu& menu, bool separator) {
    auto native = std::make_unique<NativeMenuItem>();
    native->menu = &menu;
    native->id = static_cast<UINT>(menu.items.size() + 1);
    native->separator = separator;
    return native;
}

}  // namespace

MenuItem& Menu::addItem(std::string name, std::string caption) {
    return m_items.emplace_back(nativeItem(*m_native, false), std::move(name), std::move(caption));
}

void Menu::addSeparator(std::string name) {
    m_items.emplace_back(nativeItem(*m_native, true), std::move(name), "-");
}

void Menu::popup(MenuItem* defaultItem) {
    const UINT defaultId = defaultItem && !defaultItem->native().separator ? defaultItem->native().id : 0;
    // Bold at once; the menu itself opens from the event loop, since TrackPopupMenu waits in
    // a loop of its own until the user has chosen.
    SetMenuDefaultItem(m_native->menu, defaultId ? defaultId : static_cast<UINT>(-1), FALSE);
    // Asked again before it opened, or while it is up: the one showing stands.
    if (m_native->shown) return;
    m_native->shown = true;
    const std::shared_ptr<bool> alive = m_native->alive;
    runSoon([this, alive, defaultId] {
        if (*alive) track(*this, defaultId);
    });
}

bool Menu::isShown() const { return m_native->shown; }

MenuItem& Menu::item(const std::string& name) {
    for (MenuItem& entry : m_items)
        if (entry.name() == name) return entry;
    throw RuntimeError(kErrInvalidArgument);
}

}  // namespace tw::forms
