#include "forms/menu.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

#include "forms/qt/native_control.h"
#include "forms/qt/native_menu.h"
#include "platform/qt/text_codec.h"
#include "runtime/runtime_error.h"

namespace tw::forms {

namespace {

std::unique_ptr<NativeMenuItem> nativeItem(QAction* action) {
    auto native = std::make_unique<NativeMenuItem>();
    native->action = action;
    return native;
}

}  // namespace

MenuItem::MenuItem(std::unique_ptr<NativeMenuItem> native, std::string name, std::string caption)
    : m_native(std::move(native)), m_name(std::move(name)), m_caption(std::move(caption)) {
    QAction* action = m_native->action;
    if (!action->isSeparator()) action->setText(platform::toQString(m_caption));
    QObject::connect(action, &QAction::triggered, action, [this] { click(); });
}

MenuItem::~MenuItem() = default;

void MenuItem::setCaption(const std::string& caption) {
    m_caption = caption;
    QAction* action = m_native->action;
    if (action && !action->isSeparator()) action->setText(platform::toQString(caption));
}

void MenuItem::setVisible(bool visible) {
    m_visible = visible;
    if (m_native->action) m_native->action->setVisible(visible);
}

void MenuItem::setEnabled(bool enabled) {
    m_enabled = enabled;
    if (m_native->action) m_native->action->setEnabled(enabled);
}

void MenuItem::click() {
    const auto handler = onClick;
    if (handler) handler();
}

Menu::Menu(Container& owner, std::string name, std::string caption)
    : m_name(std::move(name)),
      m_caption(std::move(caption)),
      m_native(std::make_unique<NativeMenu>()) {
    m_native->menu = new QMenu(qt::surfaceOf(owner));
    m_native->menu->setTitle(platform::toQString(m_caption));
}

Menu::~Menu() {
    m_items.clear();
    delete m_native->menu.data();
}

MenuItem& Menu::addItem(std::string name, std::string caption) {
    QAction* action = m_native->menu->addAction(QString());
    return m_items.emplace_back(nativeItem(action), std::move(name), std::move(caption));
}

void Menu::addSeparator(std::string name) {
    m_items.emplace_back(nativeItem(m_native->menu->addSeparator()), std::move(name), "-");
}

void Menu::popup(MenuItem* defaultItem) {
    for (MenuItem& entry : m_items) {
        QAction* action = qt::actionOf(entry);
        if (!action || action->isSeparator()) continue;
        QFont font = action->font();
        font.setBold(&entry == defaultItem);
        action->setFont(font);
    }
    m_native->menu->setDefaultAction(defaultItem ? qt::actionOf(*defaultItem) : nullptr);
    m_native->menu->popup(QCursor::pos());
}

bool Menu::isShown() const { return m_native->menu && m_native->menu->isVisible(); }

MenuItem& Menu::item(const std::string& name) {
    for (MenuItem& entry : m_items)
        if (entry.name() == name) return entry;
    throw RuntimeError(kErrInvalidArgument);
}

}  // namespace tw::forms
