#pragma once
// A label: a caption (CR LF makes lines) on a transparent background by default. With
// auto-size its width and height follow the caption in the label's own font, which is what
// layout arithmetic reads back. A click anywhere on it runs onClick (labels styled with the
// hand pointer and blue text are the program's links).

#include <string>

#include "forms/control.h"

namespace tw::forms {

class Label : public Control {
public:
    Label(Container& owner, std::string name, int index = -1);

    const std::string& caption() const { return m_caption; }
    void setCaption(const std::string& caption);

    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool autoSize);
    Alignment alignment() const { return m_alignment; }
    void setAlignment(Alignment alignment);
    // Fixed width, the caption wrapped over several lines (auto-size then sets the height).
    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool wordWrap);

    Colour backColor() const { return m_backColor; }
    void setBackColor(Colour colour);
    bool opaque() const { return m_opaque; }
    void setOpaque(bool opaque);

    // Off by default: "&" is shown as written, so names from outside never lose one. When
    // on, "&x" is an accelerator mark (not shown) and "&&" shows one "&".
    bool useMnemonic() const { return m_useMnemonic; }
    void setUseMnemonic(bool useMnemonic);

    // The width and height in twips an auto-sized, unwrapped label takes with this caption
    // in its font, whatever its own caption is; 0 x 0 before it has a widget.
    Size textExtent(const std::string& caption) const;

    // A control-array copy of every property but name, index and visibility.
    void copyFrom(const Label& source);

protected:
    void fontChanged() override;

private:
    void showCaption();
    void applyBackground();
    void fitToCaption();

    std::string m_caption;
    bool m_autoSize = false;
    Alignment m_alignment = Alignment::Left;
    bool m_wordWrap = false;
    Colour m_backColor = kButtonFace;
    bool m_opaque = false;
    bool m_useMnemonic = false;
};

// How the program shows a label it reacts to a click on: blue, the hand pointer, and for the
// keyboard and screen readers a link (or a button, for one that acts rather than goes).
inline void makeLink(Label& label, AccessibleRole role = AccessibleRole::Link, const std::string& name = {}) {
    label.setForeColor(kLinkBlue);
    label.setMousePointer(kCustomPointer);
    label.setAccessible(role, name);
}

}  // namespace tw::forms
