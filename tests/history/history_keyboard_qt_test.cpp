// The history viewer and its chart with keys only: Tab goes through the scroll bar, the
// filters and the buttons in reading order; the arrow keys and Page Down move the rows; a
// filter is chosen with the arrow keys; Space on "Chart..." opens the chart, whose range is
// chosen the same way, and Esc closes each.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "forms/qt/native_control.h"
#include "forms/qt/native_form.h"
#include "forms_probe.h"
#include "history/frm_chart.h"
#include "history/frm_monitoring.h"
#include "keys_qt.h"
#include "platform/services.h"
#include "runtime/message_box.h"
#include "temp_folder.h"

namespace tw {
namespace {

using forms::qt::widgetOf;
using testing::key;
using testing::position;
using testing::tabTo;

TEST(HistoryKeyboard, TabReadsInOrderArrowsScrollAndFilterAndTheChartRangeIsChosenByKeys) {
    platform::ScopedServices services;
    ScopedMessageBoxRecorder boxes;
    testing::TempFolder folder;
    {
        std::ofstream log(EventLogPath(folder.slashed(), "Emberfall"), std::ios::binary);
        for (int k = 1; k <= 20; ++k)
            log << "Caer Row " << k << (k % 4 ? ",Midgard,Albion," : ",Albion,Midgard,") << "7/23/2003 1:"
                << 10 + k << ":00 PM\r\n";
    }
    frmMonitoring viewer(folder.slashed(), [](const std::string& name, const std::string& fallback) {
        return name == "MonitorServer" ? std::string("Emberfall") : fallback;
    });
    viewer.show();
    QWidget* window = forms::qt::windowOf(viewer);
    QApplication::setActiveWindow(window);
    widgetOf(viewer.cmdClose)->setFocus();

    key(Qt::Key_Tab);
    const std::vector<QWidget*> round = tabTo(widgetOf(viewer.cmdClose));
    int previous = -1;
    for (const forms::Control* control : std::initializer_list<const forms::Control*>{
             &viewer.ScrollBar, &viewer.cmbNewOwner, &viewer.cmbPreviousOwner, &viewer.cmbLocation,
             &viewer.cmdExport, &viewer.cmdChart}) {
        const int at = position(round, widgetOf(*control));
        EXPECT_GT(at, previous) << control->name() << " comes in reading order";
        previous = at;
    }

    tabTo(widgetOf(viewer.ScrollBar));
    const std::string top = viewer.lblKeep[0].caption();
    key(Qt::Key_Down);
    EXPECT_EQ(viewer.ScrollBar.value(), 1);
    EXPECT_NE(viewer.lblKeep[0].caption(), top) << "the rows moved with the bar";
    key(Qt::Key_PageDown);
    EXPECT_EQ(viewer.ScrollBar.value(), 10);

    // "Midgard" as the new owner: 15 of the 20 changes.
    tabTo(widgetOf(viewer.cmbNewOwner));
    key(Qt::Key_Down);
    EXPECT_EQ(viewer.cmbNewOwner.text(), "Midgard");
    EXPECT_EQ(viewer.ScrollBar.max(), 15 - static_cast<int>(kHistoryRows));

    int rangeBefore = -1, rangeChosen = -1;
    bool chartShown = false;
    testing::runAfter(0, [&] {
        for (forms::Form* form : forms::Form::openForms())
            if (auto* chart = dynamic_cast<frmChart*>(form)) {
                chartShown = true;
                QApplication::setActiveWindow(forms::qt::windowOf(*chart));
                tabTo(widgetOf(chart->cmbRange));
                rangeBefore = chart->cmbRange.listIndex();
                key(chart->cmbRange.listIndex() == 0 ? Qt::Key_Down : Qt::Key_Up);
                rangeChosen = chart->cmbRange.listIndex();
                testing::pressEscape(*chart);
            }
    });
    tabTo(widgetOf(viewer.cmdChart));
    key(Qt::Key_Space, true);  // returns once Esc has closed the modal chart
    EXPECT_TRUE(chartShown);
    EXPECT_GE(rangeBefore, 0);
    EXPECT_EQ(std::abs(rangeChosen - rangeBefore), 1) << "the arrow keys choose another range";
    testing::pressEscape(viewer);
    EXPECT_FALSE(viewer.isShown());
    EXPECT_TRUE(boxes.calls.empty()) << boxes.calls.front().text;
}

}  // namespace
}  // namespace tw
