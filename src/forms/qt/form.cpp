#include "forms/form.h"

#include <algorithm>

#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include "forms/button.h"
#include "forms/qt/form_window.h"
#include "forms/qt/native_form.h"
#include "forms/qt/picture_data.h"
#include "forms/qt/qt_values.h"
#include "forms/qt/window_activation.h"
#include "forms/text_metrics.h"
#include "platform/qt/text_codec.h"
#include "runtime/runtime_error.h"

namespace tw::forms {

namespace {

std::vector<Form*>& loadedForms() {
    static std::vector<Form*> forms;
    return forms;
}

std::uint64_t nextSerial() {
    static std::uint64_t serial = 0;
    return ++serial;
}

}  // namespace

NativeForm::NativeForm(Form& owner)
    : NativeControl(nullptr), form(owner), window(std::make_unique<FormWindow>(*this)) {
    widget = window.get();
}

NativeForm::~NativeForm() = default;

void NativeForm::userClosing() { form.userClosing(); }
void NativeForm::windowHidden() {
    // Reads nothing of the form: the window may be going down with the form.
    if (modalLoop) modalLoop->quit();
}
void NativeForm::escapePressed() { form.escapePressed(); }
void NativeForm::enterPressed() { form.enterPressed(); }

Form::Form(std::string name)
    : m_name(std::move(name)),
      m_serial(nextSerial()),
      m_native(std::make_unique<NativeForm>(*this)),
      m_alive(std::make_shared<bool>(true)) {
    setClientSize(m_clientWidth, m_clientHeight);
    setBackColor(m_backColor);
    load();
}

Form::~Form() {
    *m_alive = false;
    if (m_native->modalLoop) m_native->modalLoop->quit();
    auto& forms = loadedForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    m_native.reset();
}

void Form::load() {
    auto& forms = loadedForms();
    if (std::find(forms.begin(), forms.end(), this) != forms.end()) return;
    // Kept in creation order, also when a closed form is shown again.
    const auto at = std::find_if(forms.begin(), forms.end(),
                                 [this](const Form* other) { return other->m_serial > m_serial; });
    forms.insert(at, this);
}

std::vector<Form*> Form::openForms() { return loadedForms(); }

void Form::setCaption(const std::string& caption) {
    m_caption = caption;
    m_native->window->setWindowTitle(platform::toQString(caption));
}

int Form::clientWidth() const {
    // Follows the window when the user has resized it.
    const int width = m_native->window->width();
    if (width != twipsToPixels(m_clientWidth)) return pixelsToTwips(width);
    return m_clientWidth;
}

int Form::clientHeight() const {
    if (m_native->window->height() != twipsToPixels(m_clientHeight))
        return pixelsToTwips(m_native->window->height());
    return m_clientHeight;
}

void Form::setClientSize(int width, int height) {
    m_clientWidth = std::max(0, width);
    m_clientHeight = std::max(0, height);
    m_native->window->resize(twipsToPixels(m_clientWidth), twipsToPixels(m_clientHeight));
}

void Form::setBackColor(Colour colour) {
    m_backColor = colour;
    QPalette palette = m_native->window->palette();
    setSurfaceColour(palette, colour);
    m_native->window->setPalette(palette);
}

void Form::setIcon(const Picture& icon) { m_native->window->setWindowIcon(qt::iconOf(icon)); }

void Form::attachOwner(Form* owner) {
    // The owner relation is the window manager's (stays above its owner), not Qt's object
    // tree: each form keeps sole ownership of its own window.
    m_native->window->winId();
    QWindow* handle = m_native->window->windowHandle();
    if (!handle) return;
    QWindow* ownerHandle = nullptr;
    if (owner && owner != this) {
        owner->m_native->window->winId();
        ownerHandle = owner->m_native->window->windowHandle();
    }
    handle->setTransientParent(ownerHandle);
}

void Form::show() { showModeless(nullptr); }

void Form::showModeless(Form* owner) {
    load();
    if (!m_native->window->isVisible()) {
        m_native->window->setWindowModality(Qt::NonModal);
        attachOwner(owner);
    }
    m_native->window->show();
    qt::bringForward(*m_native->window);
}

void Form::showModal(Form* owner) {
    if (m_native->window->isVisible() || m_native->modalLoop)
        throw RuntimeError(kErrFormAlreadyDisplayed);
    load();
    m_native->window->setWindowModality(Qt::ApplicationModal);
    attachOwner(owner);
    m_native->window->show();
    qt::bringForward(*m_native->window);
    if (!m_native->window->isVisible()) return;

    QEventLoop loop;
    m_native->modalLoop = &loop;
    const std::shared_ptr<bool> alive = m_alive;
    loop.exec(QEventLoop::DialogExec);
    if (!*alive) return;  // the form was destroyed while it was up
    m_native->modalLoop = nullptr;
    m_native->window->setWindowModality(Qt::NonModal);
}

void Form::hide() { m_native->window->hide(); }

bool Form::isShown() const { return m_native->window->isVisible(); }

bool Form::close() {
    bool cancel = false;
    const auto handler = onUnload;
    const std::shared_ptr<bool> alive = m_alive;
    if (handler) handler(cancel);
    if (!*alive) return true;
    if (cancel) return false;
    m_native->window->hide();
    auto& forms = loadedForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    return true;
}

void Form::userClosing() { close(); }

WindowState Form::windowState() const {
    const Qt::WindowStates state = m_native->window->windowState();
    if (state & Qt::WindowMinimized) return WindowState::Minimized;
    if (state & Qt::WindowMaximized) return WindowState::Maximized;
    return WindowState::Normal;
}

void Form::setWindowState(WindowState state) {
    Qt::WindowStates qtState = Qt::WindowNoState;
    if (state == WindowState::Minimized) qtState = Qt::WindowMinimized;
    if (state == WindowState::Maximized) qtState = Qt::WindowMaximized;
    m_native->window->setWindowState(qtState);
}

void Form::cls() {
    m_native->window->lines.clear();
    m_native->window->update();
}

void Form::drawLine(int x1, int y1, int x2, int y2, Colour colour) {
    m_native->window->lines.push_back({x1, y1, x2, y2, colour});
    m_native->window->update();
}

int Form::textWidth(const std::string& text) const {
    return pixelsToTwips(textExtent(m_font, text).width());
}

int Form::textHeight(const std::string& text) const {
    return pixelsToTwips(textExtent(m_font, text).height());
}

// On Wayland a window cannot place itself: the compositor places it, and centres a dialog
// over its owner where it sees fit.
void Form::centreOnScreen() {
    if (qt::waylandSession()) return;
    QScreen* screen = m_native->window->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = m_native->window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    m_native->window->move(frame.topLeft());
}

void Form::centreOn(const Form& owner) {
    if (qt::waylandSession()) return;
    QRect frame = m_native->window->frameGeometry();
    frame.moveCenter(owner.m_native->window->frameGeometry().center());
    m_native->window->move(frame.topLeft());
}

NativeControl& Form::surface() const { return *m_native; }

void Form::setCancelButton(Button* button) { m_cancelButton = button; }
void Form::setDefaultButton(Button* button) { m_defaultButton = button; }

void Form::escapePressed() {
    Button* button = m_cancelButton;
    if (button && button->enabled() && button->visible()) button->click();
}

void Form::enterPressed() {
    Button* button = m_defaultButton;
    if (button && button->enabled() && button->visible()) button->click();
}

}  // namespace tw::forms
