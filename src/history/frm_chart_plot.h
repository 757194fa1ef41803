#pragma once
// The plot of the holdings chart: one step line per realm in the realm colours, time along
// the bottom with day and hour ticks, the keep counts up the side, and, under the mouse, the
// change that made the nearest step. A control of frmChart; it draws what it is handed and
// keeps a pointer to the holdings, which the form owns and replaces through setHoldings.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "forms/control.h"
#include "history/chart_axis.h"

namespace tw {

class PlotWidget;

class HoldingsPlot : public forms::Control {
public:
    HoldingsPlot(forms::Container& owner, std::string name);

    // `holdings` must live until the next call; the hover is dropped.
    void setHoldings(const Holdings* holdings, const TimeSpan& span, const DatePatterns& names);

    // What moving the mouse to x (pixels from the plot's left) shows; the step under it.
    void hoverAt(int xPx);
    std::optional<std::size_t> hoveredStep() const;
    // The hover box's text, "" when nothing is hovered.
    std::string hoverText() const;

private:
    PlotWidget* m_plot;
};

}  // namespace tw
