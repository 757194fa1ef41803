#pragma once
// What every control has: a name and array index, a position and size in twips relative to
// its container, visibility and enabled flags, tag, tooltip, text colour, font, mouse
// pointer and a click handler. A control owns its native control (the window system's side,
// known only to the implementation) and removes it when destroyed.

#include <functional>
#include <memory>
#include <string>

#include "forms/units.h"


namespace tw::forms {

class Container;
class Form;
struct NativeControl;

// What a screen reader is told a control is: Default leaves it to the window system (a
// label reads as text); a label that acts as a link or a button says so.
enum class AccessibleRole { Default, Link, Button, Picture };

class Control {
public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return m_name; }
    // -1 for a control that is not an element of a control array.
    int index() const { return m_index; }
    // For a control array that loads an unloaded element again under another index.
    void setIndex(int index) { m_index = index; }

    int left() const { return m_left; }
    void setLeft(int twips);
    int top() const { return m_top; }
    void setTop(int twips);
    int width() const { return m_width; }
    void setWidth(int twips);
    int height() const { return m_height; }
    void setHeight(int twips);
    // Width and height stay as they are when given as -1.
    void move(int left, int top, int width = -1, int height = -1);

    // The control's own flag, not whether its form is on screen.
    bool visible() const { return m_visible; }
    void setVisible(bool visible);
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    const std::string& tag() const { return m_tag; }
    void setTag(const std::string& tag) { m_tag = tag; }
    const std::string& toolTipText() const { return m_toolTip; }
    void setToolTipText(const std::string& text);

    Colour foreColor() const { return m_foreColor; }
    void setForeColor(Colour colour);
    const Font& font() const { return m_font; }
    void setFont(const Font& font);
    // kDefaultPointer or kCustomPointer (the hand).
    int mousePointer() const { return m_mousePointer; }
    void setMousePointer(int pointer);

    // The role and the name screen readers are given (an empty name: the caption). A label
    // that is a link or a button is also reached with Tab and clicked with Enter or Space.
    AccessibleRole accessibleRole() const { return m_accessibleRole; }
    const std::string& accessibleName() const { return m_accessibleName; }
    void setAccessible(AccessibleRole role, const std::string& name = {});

    // Puts the control right after `previous` when Tab moves on, if Tab reaches it at all:
    // control arrays keep their elements in reading order.
    void followInTabOrder(const Control& previous);

    void bringToFront();
    // Gives the control the keyboard focus.
    void setFocus();

    // Runs onClick; the user's click, and tests, come through here.
    std::function<void()> onClick;
    void click();

    // The window system's side; only its implementation knows what is inside.
    NativeControl& native() const { return *m_native; }

protected:
    // Takes ownership of the native control, which must sit on the owner's surface.
    Control(Container& owner, std::string name, int index, std::unique_ptr<NativeControl> native,
            int width, int height);

    Container& owner() const { return m_owner; }
    // The properties every kind shares, for control-array copies (not name, index or
    // visibility).
    void copyCommonFrom(const Control& source);

    virtual void applyGeometry();
    virtual void applyForeColor();
    virtual void fontChanged() {}

private:
    Container& m_owner;
    std::string m_name;
    int m_index;
    std::unique_ptr<NativeControl> m_native;
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    bool m_visible = true;
    bool m_enabled = true;
    std::string m_tag;
    std::string m_toolTip;
    Colour m_foreColor = kBlack;
    Font m_font;
    int m_mousePointer = kDefaultPointer;
    AccessibleRole m_accessibleRole = AccessibleRole::Default;
    std::string m_accessibleName;
};

}  // namespace tw::forms
