#include "forms/paint_box.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include "forms/container.h"
#include "forms/qt/drawing_surface.h"
#include "forms/qt/native_control.h"

namespace tw::forms {

namespace {

class PaintBoxWidget : public QWidget {
public:
    PaintBoxWidget(QWidget* parent, PaintBox& box) : QWidget(parent), m_box(box) {
        setMouseTracking(true);
        // onPaint covers the whole control, so Qt need not clear it first.
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        qt::PainterSurface surface(painter);
        if (m_box.onPaint) m_box.onPaint(surface);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        const QPoint at = event->position().toPoint();
        if (m_box.onMouseMove) m_box.onMouseMove(at.x(), at.y());
    }
    void leaveEvent(QEvent*) override {
        if (m_box.onMouseLeave) m_box.onMouseLeave();
    }

private:
    PaintBox& m_box;
};

}  // namespace

PaintBox::PaintBox(Container& owner, std::string name, int width, int height)
    : Control(owner, std::move(name), -1, qt::nativeControl(new PaintBoxWidget(qt::surfaceOf(owner), *this)), width, height) {}

void PaintBox::refresh() {
    if (QWidget* box = qt::widgetOf(*this)) box->update();
}

}  // namespace tw::forms
