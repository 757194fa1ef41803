#include "forms/label.h"

#include <functional>

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include "forms/qt/clickable_widget.h"
#include "forms/qt/focus_frame.h"
#include "forms/qt/native_control.h"
#include "forms/qt/qt_values.h"
#include "forms/qt/text_layout.h"
#include "platform/qt/text_codec.h"

namespace tw::forms {

namespace {

// Draws the caption line by line with the cell height the label is sized by, and reports
// a left click released over it.
class LabelWidget : public ClickableWidget {
public:
    explicit LabelWidget(QWidget* parent) : ClickableWidget(parent) {}

    QString text;
    Qt::Alignment alignment = Qt::AlignLeft;
    std::optional<QString> shownText() const override { return text; }
    bool wordWrap = false;

protected:
    void paintEvent(QPaintEvent*) override {
        if (text.isEmpty()) return;
        QPainter painter(this);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        const CellMetrics cell = cellMetrics(font());
        const QFontMetrics metrics(font());
        int y = cell.ascent;
        for (const QString& line : layoutLines(font(), text, wordWrap ? width() : 0)) {
            const int lineWidth = metrics.horizontalAdvance(line);
            int x = 0;
            if (alignment == Qt::AlignRight) x = width() - lineWidth;
            if (alignment == Qt::AlignHCenter) x = (width() - lineWidth) / 2;
            painter.drawText(x, y, line);  // plain text: names from outside are never markup
            y += cell.lineHeight;
        }
        qt::drawFocusFrame(*this, painter);
    }
};

LabelWidget* labelWidget(QWidget* widget) { return static_cast<LabelWidget*>(widget); }

QString withoutMnemonics(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QChar('&') && i + 1 < text.size()) ++i;
        shown.append(text[i]);
    }
    return shown;
}

// An empty auto-sized label keeps this width rather than shrinking to nothing.
constexpr int kEmptyWidthPixels = 3;

}  // namespace

Label::Label(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index, qt::nativeControl(new LabelWidget(qt::surfaceOf(owner))),
              1215, 255) {
    labelWidget(qt::widgetOf(*this))->clicked = [this] { click(); };
    applyBackground();
}

void Label::setCaption(const std::string& caption) {
    m_caption = caption;
    showCaption();
}

void Label::showCaption() {
    QString text = platform::toDisplayLines(m_caption);
    if (m_useMnemonic) text = withoutMnemonics(text);
    if (QWidget* label = qt::widgetOf(*this)) {
        labelWidget(label)->text = text;
        label->update();
    }
    fitToCaption();
}

void Label::setAutoSize(bool autoSize) {
    m_autoSize = autoSize;
    fitToCaption();
}

void Label::setAlignment(Alignment alignment) {
    m_alignment = alignment;
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (alignment == Alignment::Right) horizontal = Qt::AlignRight;
    if (alignment == Alignment::Center) horizontal = Qt::AlignHCenter;
    if (QWidget* label = qt::widgetOf(*this)) {
        labelWidget(label)->alignment = horizontal;
        label->update();
    }
}

void Label::setWordWrap(bool wordWrap) {
    m_wordWrap = wordWrap;
    if (QWidget* label = qt::widgetOf(*this)) {
        labelWidget(label)->wordWrap = wordWrap;
        label->update();
    }
    fitToCaption();
}

void Label::setBackColor(Colour colour) {
    m_backColor = colour;
    applyBackground();
}

void Label::setOpaque(bool opaque) {
    m_opaque = opaque;
    applyBackground();
}

void Label::applyBackground() {
    QWidget* label = qt::widgetOf(*this);
    if (!label) return;
    QPalette palette = label->palette();
    const QColor colour = toQColor(m_backColor);
    if (palette.color(QPalette::Window) != colour) {
        palette.setColor(QPalette::Window, colour);
        label->setPalette(palette);
    }
    if (label->autoFillBackground() != m_opaque) label->setAutoFillBackground(m_opaque);
}

void Label::setUseMnemonic(bool useMnemonic) {
    m_useMnemonic = useMnemonic;
    showCaption();
}

void Label::fontChanged() { fitToCaption(); }

void Label::fitToCaption() {
    QWidget* label = qt::widgetOf(*this);
    if (!m_autoSize || !label) return;
    const QString& text = labelWidget(label)->text;
    const int lineHeight = cellMetrics(label->font()).lineHeight;
    if (m_wordWrap) {
        // The width stays; the height takes as many lines as the wrapped caption needs.
        const QSize extent = forms::textExtent(label->font(), text, std::max(1, twipsToPixels(width())));
        move(left(), top(), width(), pixelsToTwips(std::max(extent.height(), lineHeight)));
        return;
    }
    if (text.isEmpty()) {
        move(left(), top(), pixelsToTwips(kEmptyWidthPixels), pixelsToTwips(lineHeight));
        return;
    }
    const QSize extent = forms::textExtent(label->font(), text);
    move(left(), top(), pixelsToTwips(extent.width()), pixelsToTwips(extent.height()));
}

Size Label::textExtent(const std::string& caption) const {
    const QWidget* label = qt::widgetOf(*this);
    if (!label) return {0, 0};
    const QSize pixels = forms::textExtent(label->font(), platform::toQString(caption));
    return {pixelsToTwips(pixels.width()), pixelsToTwips(pixels.height())};
}

void Label::copyFrom(const Label& source) {
    copyCommonFrom(source);
    m_autoSize = false;  // the caption goes in at the copied size first
    m_useMnemonic = source.m_useMnemonic;
    setAlignment(source.m_alignment);
    setWordWrap(source.m_wordWrap);
    m_backColor = source.m_backColor;
    m_opaque = source.m_opaque;
    applyBackground();
    setCaption(source.m_caption);
    m_autoSize = source.m_autoSize;
}

}  // namespace tw::forms
