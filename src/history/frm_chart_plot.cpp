#include "history/frm_chart_plot.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "forms/container.h"
#include "forms/qt/native_control.h"
#include "forms/qt/qt_values.h"
#include "herald/realm_vocabulary.h"
#include "platform/qt/text_codec.h"

namespace tw {

namespace {

const char* const kRealmNames[] = {"Midgard", "Albion", "Hibernia"};
// Lines of equal counts would hide each other: each realm is drawn a pixel apart.
constexpr int kRealmNudge[] = {-1, 0, 1};
constexpr int kLeftMargin = 34, kRightMargin = 14, kTopMargin = 24, kBottomMargin = 22;
constexpr int kTickLabelPx = 44;

QColor realmColour(int realm) {
    return forms::toQColor(static_cast<forms::Colour>(RealmColor(kRealmNames[realm])));
}

// A round step for the count axis giving about four grid lines.
int countStep(int top) {
    for (int step : {1, 2, 5, 10, 20, 50, 100})
        if (top / step <= 5) return step;
    return 200;
}

}  // namespace

class PlotWidget : public QWidget {
public:
    explicit PlotWidget(QWidget* parent) : QWidget(parent) {
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    void setHoldings(const Holdings* holdings, const TimeSpan& span, const DatePatterns& names) {
        m_holdings = holdings;
        m_span = span.to > span.from ? span : TimeSpan{span.from, span.from + 1};
        m_names = names;
        m_times = holdings ? steadyTimes(*holdings) : std::vector<long long>{};
        m_top = 1;
        if (holdings) {
            for (int c : holdings->start) m_top = std::max(m_top, c);
            for (const HoldingStep& step : holdings->steps)
                for (int c : step.counts) m_top = std::max(m_top, c);
        }
        m_top = (m_top / countStep(m_top) + 1) * countStep(m_top);
        m_hover.reset();
        update();
    }

    void hoverAt(int xPx) {
        m_hover.reset();
        const std::size_t first = firstShown(), end = endShown();
        if (m_holdings && plotRect().width() > 0 && first < end) {
            // The nearest step may lie outside the range: then the nearest one inside it.
            const std::size_t near = *stepNear(m_times, timeAt(xPx));
            m_hover = std::clamp(near, first, end - 1);
        }
        update();
    }
    std::optional<std::size_t> hovered() const { return m_hover; }

    std::string hoverText() const {
        if (!m_hover || !m_holdings) return {};
        const RealmCounts& c = m_holdings->steps[*m_hover].counts;
        return changeSentence(m_holdings->change(*m_hover)) + "\n" + "Midgard " + std::to_string(c[0]) +
               ", Albion " + std::to_string(c[1]) + ", Hibernia " + std::to_string(c[2]);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.setFont(forms::toQFont(forms::Font{}));
        const QRect plot = plotRect();
        if (plot.width() <= 0 || plot.height() <= 0) return;
        drawGrid(p, plot);
        if (m_holdings) {
            p.setRenderHint(QPainter::Antialiasing, false);
            for (int realm = 2; realm >= 0; --realm) drawSeries(p, plot, realm);
            drawLegend(p, plot);
            drawHover(p, plot);
        }
    }
    void mouseMoveEvent(QMouseEvent* event) override { hoverAt(event->position().toPoint().x()); }
    void leaveEvent(QEvent*) override {
        m_hover.reset();
        update();
    }

private:
    // The steps inside the span: from firstShown() up to, not including, endShown().
    std::size_t firstShown() const {
        return static_cast<std::size_t>(std::lower_bound(m_times.begin(), m_times.end(), m_span.from) - m_times.begin());
    }
    std::size_t endShown() const {
        return static_cast<std::size_t>(std::upper_bound(m_times.begin(), m_times.end(), m_span.to) - m_times.begin());
    }
    QRect plotRect() const {
        return rect().adjusted(kLeftMargin, kTopMargin, -kRightMargin, -kBottomMargin);
    }
    double xOf(long long t) const {
        const QRect plot = plotRect();
        return plot.left() + double(t - m_span.from) * plot.width() / double(m_span.to - m_span.from);
    }
    long long timeAt(int x) const {
        const QRect plot = plotRect();
        return m_span.from + static_cast<long long>(double(x - plot.left()) * double(m_span.to - m_span.from) /
                                                    std::max(1, plot.width()));
    }
    int yOf(int count, const QRect& plot) const {
        return plot.bottom() - static_cast<int>(double(count) * plot.height() / m_top);
    }

    void drawGrid(QPainter& p, const QRect& plot) {
        const QColor faint(226, 226, 232), rule(160, 160, 176);
        p.setPen(QColor(64, 64, 64));
        const int step = countStep(m_top);
        for (int c = 0; c <= m_top; c += step) {
            const int y = yOf(c, plot);
            p.setPen(faint);
            p.drawLine(plot.left(), y, plot.right(), y);
            p.setPen(Qt::black);
            p.drawText(QRect(0, y - 8, kLeftMargin - 6, 16), Qt::AlignRight | Qt::AlignVCenter, QString::number(c));
        }
        for (const TimeTick& tick : timeTicks(m_span, plot.width(), kTickLabelPx, m_names)) {
            const int x = static_cast<int>(xOf(tick.at));
            p.setPen(tick.day ? rule : faint);
            p.drawLine(x, plot.top(), x, plot.bottom() + (tick.day ? 6 : 3));
            QFont font = forms::toQFont(forms::Font{});
            font.setBold(tick.day);
            p.setFont(font);
            p.setPen(Qt::black);
            p.drawText(QRect(x - kTickLabelPx / 2, plot.bottom() + 5, kTickLabelPx, 16), Qt::AlignHCenter | Qt::AlignTop,
                       platform::toQString(tick.label));
        }
        p.setFont(forms::toQFont(forms::Font{}));
        p.setPen(rule);
        p.drawRect(plot.adjusted(0, 0, -1, -1));
    }

    // One realm's steps, at most four points per pixel column however many steps share it.
    void drawSeries(QPainter& p, const QRect& plot, int realm) {
        const std::size_t r = static_cast<std::size_t>(realm);
        const std::size_t first = firstShown(), last = endShown();
        int value = countsAt(*m_holdings, m_times, m_span.from)[r];
        QPolygon line;
        line << QPoint(plot.left(), yOf(value, plot));
        int column = plot.left(), low = value, high = value;
        auto flush = [&] {
            line << QPoint(column, yOf(low, plot)) << QPoint(column, yOf(high, plot))
                 << QPoint(column, yOf(value, plot));
        };
        for (std::size_t i = first; i < last; ++i) {
            const int x = static_cast<int>(xOf(m_times[i]));
            if (x != column) {
                flush();
                line << QPoint(x, yOf(value, plot));  // the flat run up to this step
                column = x, low = high = value;
            }
            value = m_holdings->steps[i].counts[r];
            low = std::min(low, value), high = std::max(high, value);
        }
        flush();
        line << QPoint(plot.right(), yOf(value, plot));
        line.translate(0, kRealmNudge[realm]);
        p.setPen(QPen(realmColour(realm), 2));
        p.drawPolyline(line);
    }

    void drawLegend(QPainter& p, const QRect& plot) {
        const RealmCounts now = countsAt(*m_holdings, m_times, m_span.to);
        int x = plot.left();
        for (int realm = 0; realm < 3; ++realm) {
            p.setPen(QPen(realmColour(realm), 2));
            p.drawLine(x, 11, x + 16, 11);
            const QString text = QString("%1 %2").arg(kRealmNames[realm]).arg(now[static_cast<std::size_t>(realm)]);
            p.setPen(realmColour(realm));
            p.drawText(QPoint(x + 21, 15), text);
            x += 21 + p.fontMetrics().horizontalAdvance(text) + 18;
        }
    }

    void drawHover(QPainter& p, const QRect& plot) {
        if (!m_hover) return;
        const int x = static_cast<int>(xOf(m_times[*m_hover]));
        p.setPen(QPen(QColor(96, 96, 96), 1, Qt::DashLine));
        p.drawLine(x, plot.top(), x, plot.bottom());
        const QStringList lines = platform::toQString(hoverText()).split('\n');
        const QFontMetrics metrics = p.fontMetrics();
        int width = 0;
        for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
        QRect box(0, plot.top() + 6, width + 12, metrics.height() * int(lines.size()) + 8);
        // Beside the marker, on whichever side has room.
        box.moveLeft(x + 8 + box.width() <= plot.right() ? x + 8 : std::max(plot.left() + 2, x - 8 - box.width()));
        p.setPen(QColor(160, 160, 176));
        p.setBrush(QColor(255, 255, 238));
        p.drawRect(box);
        p.setPen(Qt::black);
        for (int i = 0; i < lines.size(); ++i)
            p.drawText(box.left() + 6, box.top() + 4 + metrics.ascent() + i * metrics.height(), lines[i]);
    }

    const Holdings* m_holdings = nullptr;
    TimeSpan m_span;
    DatePatterns m_names;
    std::vector<long long> m_times;
    int m_top = 1;
    std::optional<std::size_t> m_hover;
};

HoldingsPlot::HoldingsPlot(forms::Container& owner, std::string name)
    : forms::Control(owner, std::move(name), -1, forms::qt::nativeControl(new PlotWidget(forms::qt::surfaceOf(owner))), 7000, 3600),
      m_plot(static_cast<PlotWidget*>(forms::qt::widgetOf(*this))) {}

void HoldingsPlot::setHoldings(const Holdings* holdings, const TimeSpan& span, const DatePatterns& names) {
    m_plot->setHoldings(holdings, span, names);
}

void HoldingsPlot::hoverAt(int xPx) { m_plot->hoverAt(xPx); }
std::optional<std::size_t> HoldingsPlot::hoveredStep() const { return m_plot->hovered(); }
std::string HoldingsPlot::hoverText() const { return m_plot->hoverText(); }

}  // namespace tw
