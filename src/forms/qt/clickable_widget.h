#pragma once
// A widget that reports a left click released over it, as labels and images do: pressing,
// moving off and releasing elsewhere is no click.

#include <functional>
#include <optional>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace tw::forms {

class ClickableWidget : public QWidget {
public:
    explicit ClickableWidget(QWidget* parent) : QWidget(parent) {}

    std::function<void()> clicked;
    // What a screen reader reads of it when no name was given: a label's caption; nothing
    // for a picture.
    virtual std::optional<QString> shownText() const { return std::nullopt; }

protected:
    // Enter and Space click a widget that has the focus (one Tab reaches: a link or a button).
    void keyPressEvent(QKeyEvent* event) override {
        const bool plain = event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
        const int key = event->key();
        if (plain && clicked && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
            event->accept();
            clicked();
            return;
        }
        QWidget::keyPressEvent(event);
    }
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override {
        event->accept();
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && clicked)
            clicked();
    }
};

}  // namespace tw::forms
