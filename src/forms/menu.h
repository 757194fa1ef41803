#pragma once
// A popup menu (never a menu bar) with named items; "&" in a caption marks the
// accelerator. popup() opens it at the pointer without waiting; the default item is bold.

#include <deque>
#include <functional>
#include <string>

#include <QAction>
#include <QMenu>
#include <QPointer>


namespace tw::forms {

class Container;

class MenuItem {
public:
    MenuItem(QAction* action, std::string name, std::string caption);
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    const std::string& name() const { return m_name; }
    const std::string& caption() const { return m_caption; }
    void setCaption(const std::string& caption);
    bool visible() const { return m_visible; }
    void setVisible(bool visible);
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    std::function<void()> onClick;
    void click();

    QAction* action() const { return m_action; }

private:
    QPointer<QAction> m_action;
    std::string m_name;
    std::string m_caption;
    bool m_visible = true;
    bool m_enabled = true;
};

class Menu {
public:
    Menu(Container& owner, std::string name, std::string caption);
    ~Menu();
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    const std::string& name() const { return m_name; }
    const std::string& caption() const { return m_caption; }

    // The returned item lives as long as the menu.
    MenuItem& addItem(std::string name, std::string caption);
    void addSeparator(std::string name);
    // At the pointer, without waiting for a choice; the default item (may be null) in bold.
    void popup(MenuItem* defaultItem);
    bool isShown() const;
    // RuntimeError 5 for a name the menu does not have.
    MenuItem& item(const std::string& name);

    QMenu* menu() const { return m_menu; }

private:
    std::string m_name;
    std::string m_caption;
    QPointer<QMenu> m_menu;
    std::deque<MenuItem> m_items;
};

}  // namespace tw::forms
