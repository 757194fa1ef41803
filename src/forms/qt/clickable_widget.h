#pragma once
// A widget that reports a left click released over it, as labels and images do: pressing,
// moving off and releasing elsewhere is no click.

#include <functional>
#include <optional>

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
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override {
        event->accept();
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && clicked)
            clicked();
    }
};

}  // namespace tw::forms
