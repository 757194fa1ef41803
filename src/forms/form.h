#pragma once
// A top-level window, hidden until shown. Controls constructed with the form as their owner
// are placed on it; it keeps a list of loaded forms, runs an unload handler that can cancel
// a close, shows itself modeless or modal (the event loop keeps running while a modal form
// is up), and keeps lines drawn on its surface until cleared.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/container.h"
#include "forms/picture.h"
#include "forms/units.h"

namespace tw::forms {

class Button;
struct NativeForm;

enum class WindowState { Normal, Minimized, Maximized };

class Form : public Container {
public:
    explicit Form(std::string name);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& name() const { return m_name; }

    const std::string& caption() const { return m_caption; }
    void setCaption(const std::string& caption);
    // The inside of the window, in twips.
    int clientWidth() const;
    int clientHeight() const;
    void setClientSize(int width, int height);
    Colour backColor() const { return m_backColor; }
    void setBackColor(Colour colour);
    // Controls created afterwards start with this font; textWidth measures in it.
    const Font& font() const { return m_font; }
    void setFont(const Font& font) { m_font = font; }
    void setIcon(const Picture& icon);

    // Modeless, no owner.
    void show();
    void showModeless(Form* owner);
    // Returns once the form is closed or hidden; timers, socket messages and other windows'
    // events keep being handled meanwhile. A form already on screen cannot be shown modal
    // (RuntimeError 400).
    void showModal(Form* owner);
    void hide();
    bool isShown() const;

    // Runs onUnload(cancel); returns false when it cancels. Otherwise the window is hidden
    // and the form leaves openForms(). Closing never ends the program by itself.
    bool close();
    // Also run when the user closes the window with its close button.
    std::function<void(bool& cancel)> onUnload;

    WindowState windowState() const;
    void setWindowState(WindowState state);

    // Lines in twips on the form's surface, under its controls; they stay until cls().
    void cls();
    void drawLine(int x1, int y1, int x2, int y2, Colour colour);

    // Size of the text in twips in the form's font (CR LF makes lines).
    int textWidth(const std::string& text) const;
    int textHeight(const std::string& text) const;

    void centreOnScreen();
    void centreOn(const Form& owner);

    // The window system's side; only its implementation knows what is inside.
    NativeForm& native() const { return *m_native; }

    // Forms shown or loaded and not closed, in creation order.
    static std::vector<Form*> openForms();

    // Container
    NativeControl& surface() const override;
    const Font& childFont() const override { return m_font; }
    Form& parentForm() override { return *this; }

    // Buttons answering Esc and Enter (set through Button::setCancel / setDefault).
    void setCancelButton(Button* button);
    void setDefaultButton(Button* button);
    Button* cancelButton() const { return m_cancelButton; }
    Button* defaultButton() const { return m_defaultButton; }

private:
    friend struct NativeForm;
    void userClosing();
    void escapePressed();
    void enterPressed();
    void load();
    void attachOwner(Form* owner);

    std::string m_name;
    std::uint64_t m_serial;
    std::unique_ptr<NativeForm> m_native;
    std::string m_caption;
    int m_clientWidth = 4800;
    int m_clientHeight = 3600;
    Colour m_backColor = kButtonFace;
    Font m_font;
    Button* m_cancelButton = nullptr;
    Button* m_defaultButton = nullptr;
    std::shared_ptr<bool> m_alive;
};

}  // namespace tw::forms
