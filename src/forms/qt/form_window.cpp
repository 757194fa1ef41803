#include "forms/qt/form_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>

#include "forms/form.h"
#include "forms/qt/native_form.h"
#include "forms/qt/qt_values.h"

namespace tw::forms {

FormWindow::FormWindow(NativeForm& form) : QWidget(nullptr), m_form(form) {
    setAutoFillBackground(true);
}

void FormWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (lines.empty()) return;
    // Drawn again on every repaint, so the lines survive being covered and uncovered.
    QPainter painter(this);
    for (const DrawnLine& line : lines) {
        QPen pen(toQColor(line.colour));
        pen.setWidth(0);
        painter.setPen(pen);
        painter.drawLine(twipsToPixels(line.x1), twipsToPixels(line.y1), twipsToPixels(line.x2),
                         twipsToPixels(line.y2));
    }
}

void FormWindow::closeEvent(QCloseEvent* event) {
    // The form decides (its unload handler may cancel) and hides the window itself; the
    // window system's close never ends the program behind the form's back.
    event->ignore();
    m_form.userClosing();
}

void FormWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Minimising sends a spontaneous hide; only a real hide ends a modal showing.
    if (!event->spontaneous()) m_form.windowHidden();
}

void FormWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The desktop changed its colours: the text on our surface is chosen again.
    if (event->type() == QEvent::ApplicationPaletteChange) m_form.form.setBackColor(m_form.form.backColor());
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Escape && m_form.form.cancelButton()) {
            m_form.escapePressed();
            event->accept();
            return;
        }
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
            m_form.form.defaultButton()) {
            m_form.enterPressed();
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

}  // namespace tw::forms
