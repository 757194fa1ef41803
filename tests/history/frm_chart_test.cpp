#include "history/frm_chart.h"

#include <gtest/gtest.h>

#include "event_loop_wait.h"
#include "forms/units.h"
#include "forms_probe.h"
#include "history/frm_monitoring.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/message_box.h"
#include "temp_folder.h"

namespace tw {
namespace {

std::string document(const std::string& ashwoldOwner) {
    return "<heraldstatus>\n  <server name=\"Stone Bridge\">\n"
           "    <relic name=\"Shard of Ember\" realm=\"Albion\">\n      <owner>Albion</owner>\n    </relic>\n"
           "    <keep name=\"Caer Ashwold\" realm=\"Albion\">\n      <owner>" + ashwoldOwner + "</owner>\n    </keep>\n"
           "    <keep name=\"Dun Mellow\" realm=\"Hibernia\">\n      <owner>Hibernia</owner>\n    </keep>\n"
           "  </server>\n</heraldstatus>\n";
}

frmChart* openChart() {
    for (forms::Form* form : forms::Form::openForms())
        if (auto* chart = dynamic_cast<frmChart*>(form)) return chart;
    return nullptr;
}

TEST(HoldingsChart, OpensFromTheViewerShowsTheChangeUnderTheMouseAndFollowsTheLog) {
    platform::ScopedServices services;
    services.processFacts.clock = {2024, 5, 16, 12, 0, 0};
    ScopedMessageBoxRecorder boxes;
    testing::TempFolder folder;
    const std::string appPath = folder.slashed();
    ASSERT_TRUE(platform::writeFileAtomically(appPath + platform::kStatusFile, document("Midgard")));
    appendEventRecord(appPath, "Stone Bridge", "Caer Ashwold", "Midgard", "Albion", "5/16/2024 9:00:00 AM");

    frmMonitoring viewer(appPath, [](const std::string& name, const std::string& fallback) {
        return name == "MonitorServer" ? std::string("Stone Bridge") : fallback;
    });
    bool followed = false;
    testing::runAfter(0, [&] {
        frmChart* chart = openChart();
        ASSERT_NE(chart, nullptr);
        EXPECT_EQ(chart->lblHeadLabel.caption(), "Keeps held on Stone Bridge");
        const int right = forms::twipsToPixels(chart->picHoldings.width());
        chart->picHoldings.hoverAt(right);
        EXPECT_EQ(chart->picHoldings.hoverText(),
                  "Caer Ashwold taken by Midgard from Albion at 5/16/2024 9:00:00 AM\n"
                  "Midgard 1, Albion 0, Hibernia 1");

        // The main window takes in a document, then logs the change it found.
        ASSERT_TRUE(platform::writeFileAtomically(appPath + platform::kStatusFile, document("Hibernia")));
        appendEventRecord(appPath, "Stone Bridge", "Caer Ashwold", "Hibernia", "Midgard", "5/16/2024 11:00:00 AM");
        followed = testing::runUntil([&] { return chart->Model.steps.size() == 2; }, 10000);
        chart->cmbRange.setListIndex(0);  // the last 24 hours still hold both changes
        chart->picHoldings.hoverAt(right);
        EXPECT_EQ(chart->picHoldings.hoverText(),
                  "Caer Ashwold taken by Hibernia from Midgard at 5/16/2024 11:00:00 AM\n"
                  "Midgard 0, Albion 0, Hibernia 2");
        EXPECT_EQ(chart->picHoldings.accessibleName(),
                  "Keeps held: Midgard 0, Albion 0, Hibernia 2; 2 changes in the range shown");
        EXPECT_EQ(chart->Model.unfitLines, 0u);
        chart->cmdClose.click();
    });
    viewer.cmdChart.click();
    EXPECT_TRUE(followed);
    EXPECT_EQ(openChart(), nullptr);
    EXPECT_TRUE(boxes.calls.empty());
}

}  // namespace
}  // namespace tw
