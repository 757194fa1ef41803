#include "forms/menu.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

#include "forms/container.h"
#include "platform/qt/text_codec.h"
#include "runtime/runtime_error.h"

namespace tw::forms {

MenuItem::MenuItem(QAction* action, std::string name, std::string caption)
    : m_action(action), m_name(std::move(name)), m_caption(std::move(caption)) {
    if (!m_action->isSeparator()) m_action->setText(platform::toQString(m_caption));
    QObject::connect(m_action, &QAction::triggered, m_action, [this] { click(); });
}

void MenuItem::setCaption(const std::string& caption) {
    m_caption = caption;
    if (m_action && !m_action->isSeparator()) m_action->setText(platform::toQString(caption));
}

void MenuItem::setVisible(bool visible) {
    m_visible = visible;
    if (m_action) m_action->setVisible(visible);
}

void MenuItem::setEnabled(bool enabled) {
    m_enabled = enabled;
    if (m_action) m_action->setEnabled(enabled);
}

void MenuItem::click() {
    const auto handler = onClick;
    if (handler) handler();
}

Menu::Menu(Container& owner, std::string name, std::string caption)
    : m_name(std::move(name)),
      m_caption(std::move(caption)),
      m_menu(new QMenu(owner.surface())) {
    m_menu->setTitle(platform::toQString(m_caption));
}

Menu::~Menu() {
    m_items.clear();
    delete m_menu.data();
}

MenuItem& Menu::addItem(std::string name, std::string caption) {
    QAction* action = m_menu->addAction(QString());
    return m_items.emplace_back(action, std::move(name), std::move(caption));
}

void Menu::addSeparator(std::string name) {
    m_items.emplace_back(m_menu->addSeparator(), std::move(name), "-");
}

void Menu::popup(MenuItem* defaultItem) {
    for (MenuItem& entry : m_items) {
        QAction* action = entry.action();
        if (!action || action->isSeparator()) continue;
        QFont font = action->font();
        font.setBold(&entry == defaultItem);
        action->setFont(font);
    }
    m_menu->setDefaultAction(defaultItem ? defaultItem->action() : nullptr);
    m_menu->popup(QCursor::pos());
}

bool Menu::isShown() const { return m_menu && m_menu->isVisible(); }

MenuItem& Menu::item(const std::string& name) {
    for (MenuItem& entry : m_items)
        if (entry.name() == name) return entry;
    throw RuntimeError(kErrInvalidArgument);
}

}  // namespace tw::forms
