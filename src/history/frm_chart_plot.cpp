#include "history/frm_chart_plot.h"

#include <algorithm>

#include "herald/realm_vocabulary.h"

namespace tw {

namespace {

using forms::DrawingSurface;
using forms::Pen;

const char* const kRealmNames[] = {"Midgard", "Albion", "Hibernia"};
// Lines of equal counts would hide each other: each realm is drawn a pixel apart.
constexpr int kRealmNudge[] = {-1, 0, 1};
constexpr int kLeftMargin = 34, kRightMargin = 14, kTopMargin = 24, kBottomMargin = 22;
constexpr int kTickLabelPx = 44;
constexpr forms::Colour kFaint = forms::rgb(226, 226, 232);
constexpr forms::Colour kHoverFill = forms::rgb(255, 255, 238);

forms::Colour realmColour(int realm) { return static_cast<forms::Colour>(RealmColor(kRealmNames[realm])); }

// "Midgard 4": a realm and the keeps it holds, as the legend, the hover box and the summary say it.
std::string realmCount(int realm, const RealmCounts& counts) {
    return std::string(kRealmNames[realm]) + " " + std::to_string(counts[static_cast<std::size_t>(realm)]);
}

// "Midgard 4, Albion 5, Hibernia 3"
std::string realmCounts(const RealmCounts& counts) {
    return realmCount(0, counts) + ", " + realmCount(1, counts) + ", " + realmCount(2, counts);
}

// A round step for the count axis giving about four grid lines.
int countStep(int top) {
    for (int step : {1, 2, 5, 10, 20, 50, 100})
        if (top / step <= 5) return step;
    return 200;
}

forms::Point at(int x, int y) { return {double(x), double(y)}; }

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\n') lines.emplace_back();
        else lines.back() += c;
    }
    return lines;
}

}  // namespace

HoldingsPlot::HoldingsPlot(forms::Container& owner, std::string name)
    : forms::PaintBox(owner, std::move(name), 7000, 3600) {
    onPaint = [this](DrawingSurface& s) { paint(s); };
    onMouseMove = [this](int x, int) { hoverAt(x); };
    onMouseLeave = [this] {
        m_hover.reset();
        refresh();
    };
}

void HoldingsPlot::setHoldings(const Holdings* holdings, const TimeSpan& span, const DatePatterns& names) {
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
    setAccessible(forms::AccessibleRole::Picture, summaryText());
    refresh();
}

std::string HoldingsPlot::summaryText() const {
    if (!m_holdings) return "No keeps to chart";
    std::size_t shown = 0;
    for (const long long when : m_times) shown += when >= m_span.from && when <= m_span.to;
    return "Keeps held: " + realmCounts(countsAt(*m_holdings, m_times, m_span.to)) + "; " + std::to_string(shown) +
           (shown == 1 ? " change" : " changes") + " in the range shown";
}

void HoldingsPlot::hoverAt(int xPx) {
    m_hover.reset();
    const std::size_t first = firstShown(), end = endShown();
    if (m_holdings && plotArea().width > 0 && first < end) {
        // The nearest step may lie outside the range: then the nearest one inside it.
        const std::size_t near = *stepNear(m_times, timeAt(xPx));
        m_hover = std::clamp(near, first, end - 1);
    }
    refresh();
}

std::string HoldingsPlot::hoverText() const {
    if (!m_hover || !m_holdings) return {};
    return changeSentence(m_holdings->change(*m_hover)) + "\n" + realmCounts(m_holdings->steps[*m_hover].counts);
}

void HoldingsPlot::paint(DrawingSurface& s) {
    s.drawRect({0, 0, double(forms::twipsToPixels(width())), double(forms::twipsToPixels(height()))},
               forms::solidFill(forms::kWhite), std::nullopt);
    const Area plot = plotArea();
    if (plot.width <= 0 || plot.height <= 0) return;
    drawGrid(s, plot);
    if (m_holdings) {
        for (int realm = 2; realm >= 0; --realm) drawSeries(s, plot, realm);
        drawLegend(s, plot);
        drawHover(s, plot);
    }
}

// The steps inside the span: from firstShown() up to, not including, endShown().
std::size_t HoldingsPlot::firstShown() const {
    return static_cast<std::size_t>(std::lower_bound(m_times.begin(), m_times.end(), m_span.from) - m_times.begin());
}
std::size_t HoldingsPlot::endShown() const {
    return static_cast<std::size_t>(std::upper_bound(m_times.begin(), m_times.end(), m_span.to) - m_times.begin());
}

HoldingsPlot::Area HoldingsPlot::plotArea() const {
    return {kLeftMargin, kTopMargin, forms::twipsToPixels(width()) - kLeftMargin - kRightMargin,
            forms::twipsToPixels(height()) - kTopMargin - kBottomMargin};
}

double HoldingsPlot::xOf(long long t) const {
    const Area plot = plotArea();
    return plot.left + double(t - m_span.from) * plot.width / double(m_span.to - m_span.from);
}

long long HoldingsPlot::timeAt(int x) const {
    const Area plot = plotArea();
    return m_span.from +
           static_cast<long long>(double(x - plot.left) * double(m_span.to - m_span.from) / std::max(1, plot.width));
}

int HoldingsPlot::yOf(int count, const Area& plot) const {
    return plot.bottom() - static_cast<int>(double(count) * plot.height / m_top);
}

void HoldingsPlot::drawGrid(DrawingSurface& s, const Area& plot) {
    const forms::Font plain;
    const int step = countStep(m_top);
    for (int c = 0; c <= m_top; c += step) {
        const int y = yOf(c, plot);
        s.drawLine(at(plot.left, y), at(plot.right(), y), Pen{kFaint});
        s.drawText(std::to_string(c), {0, double(y - 8), kLeftMargin - 6, 16}, plain, forms::kBlack,
                   forms::Alignment::Right, forms::VerticalAlignment::Center);
    }
    for (const TimeTick& tick : timeTicks(m_span, plot.width, kTickLabelPx, m_names)) {
        const int x = static_cast<int>(xOf(tick.at));
        s.drawLine(at(x, plot.top), at(x, plot.bottom() + (tick.day ? 6 : 3)), Pen{tick.day ? forms::kRuleGrey : kFaint});
        forms::Font font = plain;
        font.bold = tick.day;
        s.drawText(tick.label, {double(x - kTickLabelPx / 2), double(plot.bottom() + 5), kTickLabelPx, 16}, font,
                   forms::kBlack, forms::Alignment::Center, forms::VerticalAlignment::Top);
    }
    s.drawRect({double(plot.left), double(plot.top), double(plot.width - 1), double(plot.height - 1)}, std::nullopt,
               Pen{forms::kRuleGrey});
}

// One realm's steps, at most four points per pixel column however many steps share it.
void HoldingsPlot::drawSeries(DrawingSurface& s, const Area& plot, int realm) {
    const std::size_t r = static_cast<std::size_t>(realm);
    const std::size_t first = firstShown(), last = endShown();
    const int nudge = kRealmNudge[realm];
    int value = countsAt(*m_holdings, m_times, m_span.from)[r];
    std::vector<forms::Point> line;
    auto point = [&](int x, int count) { line.push_back(at(x, yOf(count, plot) + nudge)); };
    point(plot.left, value);
    int column = plot.left, low = value, high = value;
    auto flush = [&] {
        point(column, low);
        point(column, high);
        point(column, value);
    };
    for (std::size_t i = first; i < last; ++i) {
        const int x = static_cast<int>(xOf(m_times[i]));
        if (x != column) {
            flush();
            point(x, value);  // the flat run up to this step
            column = x, low = high = value;
        }
        value = m_holdings->steps[i].counts[r];
        low = std::min(low, value), high = std::max(high, value);
    }
    flush();
    point(plot.right(), value);
    s.drawPolyline(line, Pen{realmColour(realm), 2});
}

void HoldingsPlot::drawLegend(DrawingSurface& s, const Area& plot) {
    const forms::Font plain;
    const RealmCounts now = countsAt(*m_holdings, m_times, m_span.to);
    // Baselines at 15, so the lines sit at 11 beside the text's middle.
    const int top = 15 - s.textAscent(plain);
    int x = plot.left;
    for (int realm = 0; realm < 3; ++realm) {
        s.drawLine(at(x, 11), at(x + 16, 11), Pen{realmColour(realm), 2});
        const std::string text = realmCount(realm, now);
        const int textWidth = s.textWidth(text, plain);
        s.drawText(text, {double(x + 21), double(top), double(textWidth + 1), double(s.textHeight(plain))}, plain,
                   realmColour(realm), forms::Alignment::Left, forms::VerticalAlignment::Top);
        x += 21 + textWidth + 18;
    }
}

void HoldingsPlot::drawHover(DrawingSurface& s, const Area& plot) {
    if (!m_hover) return;
    const forms::Font plain;
    const int x = static_cast<int>(xOf(m_times[*m_hover]));
    s.drawLine(at(x, plot.top), at(x, plot.bottom()), Pen{forms::rgb(96, 96, 96), 1, true});
    const std::vector<std::string> lines = splitLines(hoverText());
    const int lineHeight = s.textHeight(plain);
    int textWidth = 0;
    for (const std::string& line : lines) textWidth = std::max(textWidth, s.textWidth(line, plain));
    const int boxWidth = textWidth + 12;
    // Beside the marker, on whichever side has room.
    const int left = x + 8 + boxWidth <= plot.right() ? x + 8 : std::max(plot.left + 2, x - 8 - boxWidth);
    const int top = plot.top + 6;
    s.drawRect({double(left), double(top), double(boxWidth), double(lineHeight * int(lines.size()) + 8)},
               forms::solidFill(kHoverFill), Pen{forms::kRuleGrey});
    for (std::size_t i = 0; i < lines.size(); ++i)
        s.drawText(lines[i], {double(left + 6), double(top + 4 + int(i) * lineHeight), double(textWidth + 1),
                              double(lineHeight)},
                   plain, forms::kBlack, forms::Alignment::Left, forms::VerticalAlignment::Top);
}

}  // namespace tw
