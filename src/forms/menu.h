#pragma once
// A popup menu (never a menu bar) with named items; "&" in a caption marks the
// accelerator. popup() opens it at the pointer without waiting; the default item is bold.

#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace tw::forms {

class Container;
struct NativeMenu;
struct NativeMenuItem;

class MenuItem {
public:
    // Made by its menu.
    MenuItem(std::unique_ptr<NativeMenuItem> native, std::string name, std::string caption);
    ~MenuItem();
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

    // The window system's side; only its implementation knows what is inside.
    NativeMenuItem& native() const { return *m_native; }

private:
    std::unique_ptr<NativeMenuItem> m_native;
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

    NativeMenu& native() const { return *m_native; }

private:
    std::string m_name;
    std::string m_caption;
    std::unique_ptr<NativeMenu> m_native;
    std::deque<MenuItem> m_items;
};

}  // namespace tw::forms
