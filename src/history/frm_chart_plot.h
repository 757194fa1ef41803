#pragma once
// The plot of the holdings chart: one step line per realm in the realm colours, time along
// the bottom with day and hour ticks, the keep counts up the side, and, under the mouse, the
// change that made the nearest step. A control of frmChart; it draws what it is handed and
// keeps a pointer to the holdings, which the form owns and replaces through setHoldings.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "forms/paint_box.h"
#include "history/chart_axis.h"

namespace tw {

class HoldingsPlot : public forms::PaintBox {
public:
    HoldingsPlot(forms::Container& owner, std::string name);

    // `holdings` must live until the next call; the hover is dropped.
    void setHoldings(const Holdings* holdings, const TimeSpan& span, const DatePatterns& names);

    // What moving the mouse to x (pixels from the plot's left) shows; the step under it.
    void hoverAt(int xPx);
    std::optional<std::size_t> hoveredStep() const { return m_hover; }
    // The hover box's text, "" when nothing is hovered.
    std::string hoverText() const;
    // What a screen reader is told of the picture: the legend's counts and how many changes
    // the range shows.
    std::string summaryText() const;

private:
    struct Area {
        int left, top, width, height;
        int right() const { return left + width - 1; }
        int bottom() const { return top + height - 1; }
    };

    void paint(forms::DrawingSurface& s);
    std::size_t firstShown() const;
    std::size_t endShown() const;
    Area plotArea() const;
    double xOf(long long t) const;
    long long timeAt(int x) const;
    int yOf(int count, const Area& plot) const;
    void drawGrid(forms::DrawingSurface& s, const Area& plot);
    void drawSeries(forms::DrawingSurface& s, const Area& plot, int realm);
    void drawLegend(forms::DrawingSurface& s, const Area& plot);
    void drawHover(forms::DrawingSurface& s, const Area& plot);

    const Holdings* m_holdings = nullptr;
    TimeSpan m_span;
    DatePatterns m_names;
    std::vector<long long> m_times;
    int m_top = 1;
    std::optional<std::size_t> m_hover;
};

}  // namespace tw
