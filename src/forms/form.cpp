#include "forms/form.h"

#include <algorithm>

#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include "forms/button.h"
#include "forms/form_window.h"
#include "forms/qt_values.h"
#include "platform/qt/text_codec.h"
#include "forms/text_metrics.h"
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

Form::Form(std::string name)
    : m_name(std::move(name)),
      m_serial(nextSerial()),
      m_window(std::make_unique<FormWindow>(*this)),
      m_alive(std::make_shared<bool>(true)) {
    setClientSize(m_clientWidth, m_clientHeight);
    setBackColor(m_backColor);
    load();
}

Form::~Form() {
    *m_alive = false;
    if (m_modalLoop) m_modalLoop->quit();
    auto& forms = loadedForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    m_window.reset();
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
    m_window->setWindowTitle(platform::toQString(caption));
}

int Form::clientWidth() const {
    // Follows the window when the user has resized it.
    if (m_window->width() != twipsToPixels(m_clientWidth)) return pixelsToTwips(m_window->width());
    return m_clientWidth;
}

int Form::clientHeight() const {
    if (m_window->height() != twipsToPixels(m_clientHeight))
        return pixelsToTwips(m_window->height());
    return m_clientHeight;
}

void Form::setClientSize(int width, int height) {
    m_clientWidth = std::max(0, width);
    m_clientHeight = std::max(0, height);
    m_window->resize(twipsToPixels(m_clientWidth), twipsToPixels(m_clientHeight));
}

void Form::setBackColor(Colour colour) {
    m_backColor = colour;
    QPalette palette = m_window->palette();
    palette.setColor(QPalette::Window, toQColor(colour));
    m_window->setPalette(palette);
}

void Form::setIcon(const Picture& icon) { m_window->setWindowIcon(icon.icon()); }

void Form::attachOwner(Form* owner) {
    // The owner relation is the window manager's (stays above its owner), not Qt's object
    // tree: each form keeps sole ownership of its own window.
    m_window->winId();
    QWindow* handle = m_window->windowHandle();
    if (!handle) return;
    QWindow* ownerHandle = nullptr;
    if (owner && owner != this) {
        owner->m_window->winId();
        ownerHandle = owner->m_window->windowHandle();
    }
    handle->setTransientParent(ownerHandle);
}

void Form::show() { showModeless(nullptr); }

void Form::showModeless(Form* owner) {
    load();
    if (!m_window->isVisible()) {
        m_window->setWindowModality(Qt::NonModal);
        attachOwner(owner);
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void Form::showModal(Form* owner) {
    if (m_window->isVisible() || m_modalLoop)
        throw RuntimeError(kErrFormAlreadyDisplayed);
    load();
    m_window->setWindowModality(Qt::ApplicationModal);
    attachOwner(owner);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    if (!m_window->isVisible()) return;

    QEventLoop loop;
    m_modalLoop = &loop;
    const std::shared_ptr<bool> alive = m_alive;
    loop.exec(QEventLoop::DialogExec);
    if (!*alive) return;  // the form was destroyed while it was up
    m_modalLoop = nullptr;
    m_window->setWindowModality(Qt::NonModal);
}

void Form::hide() { m_window->hide(); }

bool Form::isShown() const { return m_window->isVisible(); }

void Form::windowHidden() {
    if (m_modalLoop) m_modalLoop->quit();
}

bool Form::close() {
    bool cancel = false;
    const auto handler = onUnload;
    const std::shared_ptr<bool> alive = m_alive;
    if (handler) handler(cancel);
    if (!*alive) return true;
    if (cancel) return false;
    m_window->hide();
    auto& forms = loadedForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    return true;
}

void Form::userClosing() { close(); }

WindowState Form::windowState() const {
    const Qt::WindowStates state = m_window->windowState();
    if (state & Qt::WindowMinimized) return WindowState::Minimized;
    if (state & Qt::WindowMaximized) return WindowState::Maximized;
    return WindowState::Normal;
}

void Form::setWindowState(WindowState state) {
    Qt::WindowStates qtState = Qt::WindowNoState;
    if (state == WindowState::Minimized) qtState = Qt::WindowMinimized;
    if (state == WindowState::Maximized) qtState = Qt::WindowMaximized;
    m_window->setWindowState(qtState);
}

void Form::cls() {
    m_window->lines.clear();
    m_window->update();
}

void Form::drawLine(int x1, int y1, int x2, int y2, Colour colour) {
    m_window->lines.push_back({x1, y1, x2, y2, colour});
    m_window->update();
}

int Form::textWidth(const std::string& text) const {
    return pixelsToTwips(textExtent(toQFont(m_font), platform::toDisplayLines(text)).width());
}

int Form::textHeight(const std::string& text) const {
    return pixelsToTwips(textExtent(toQFont(m_font), platform::toDisplayLines(text)).height());
}

void Form::centreOnScreen() {
    QScreen* screen = m_window->screen() ? m_window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = m_window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    m_window->move(frame.topLeft());
}

void Form::centreOn(const Form& owner) {
    QRect frame = m_window->frameGeometry();
    frame.moveCenter(owner.m_window->frameGeometry().center());
    m_window->move(frame.topLeft());
}

QWidget* Form::window() const { return m_window.get(); }
QWidget* Form::surface() const { return m_window.get(); }

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
