// The holdings chart over a long log while downloads rewrite the cached document: the log is
// read again only when it grew, and the document only taken in when its text changed.
#include <gtest/gtest.h>

#include <string>

#include "bytes_read_linux.h"
#include "event_loop_wait.h"
#include "history/event_log.h"
#include "history/frm_chart.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/message_box.h"
#include "temp_folder.h"

namespace tw {
namespace {

// Stone Bridge's two keeps, and a megabyte of another server's.
std::string document(const std::string& ashwoldOwner) {
    std::string xml = "<heraldstatus>\n  <server name=\"Stone Bridge\">\n"
                      "    <keep name=\"Caer Ashwold\" realm=\"Albion\">\n      <owner>" + ashwoldOwner +
                      "</owner>\n    </keep>\n"
                      "    <keep name=\"Dun Mellow\" realm=\"Hibernia\">\n      <owner>Hibernia</owner>\n    </keep>\n"
                      "  </server>\n  <server name=\"Far Shore\">\n";
    for (int k = 0; xml.size() < (1u << 20); ++k)
        xml += "    <keep name=\"Far Keep " + std::to_string(k) + "\" realm=\"Albion\"><owner>Albion</owner></keep>\n";
    return xml + "  </server>\n</heraldstatus>\n";
}

TEST(HoldingsChartReads, TheLogIsReadAgainOnlyWhenItGrewAndTheDocumentTakenInOnlyWhenItChanged) {
    platform::ScopedServices services;
    services.processFacts.clock = {2024, 5, 16, 12, 0, 0};
    ScopedMessageBoxRecorder boxes;
    testing::TempFolder folder;
    const std::string appPath = folder.slashed();
    const std::string documentPath = appPath + platform::kStatusFile;
    ASSERT_TRUE(platform::writeFileAtomically(documentPath, document("Midgard")));
    // Four megabytes of changes at a keep the document does not have, then one it has.
    std::string log;
    while (log.size() < (4u << 20)) log += eventRecordLine("Lost Keeps", "Albion", "Midgard", "5/1/2024 8:00:00 AM");
    const std::string logPath = EventLogPath(appPath, "Stone Bridge");
    ASSERT_TRUE(platform::writeFileAtomically(logPath, log));
    appendEventRecord(appPath, "Stone Bridge", "Caer Ashwold", "Midgard", "Albion", "5/16/2024 9:00:00 AM");

    frmChart chart(appPath, [](const std::string& name, const std::string& fallback) {
        return name == "MonitorServer" ? std::string("Stone Bridge") : fallback;
    });
    ASSERT_EQ(chart.Model.steps.size(), 1u);
    const std::size_t lostLines = chart.Model.unfitLines;

    // A download rewrites the document as it was: the chart looks at it and nothing more.
    long long before = testing::bytesReadSoFar();
    ASSERT_TRUE(platform::writeFileAtomically(documentPath, document("Midgard")));
    EXPECT_TRUE(testing::runUntil([&] { return testing::bytesReadSoFar() - before >= (1 << 20); }, 10000));
    EXPECT_LT(testing::bytesReadSoFar() - before, 2 << 20);
    EXPECT_EQ(chart.Model.steps.size(), 1u);

    // A new document alone is walked back over the log as read: here it no longer fits.
    before = testing::bytesReadSoFar();
    ASSERT_TRUE(platform::writeFileAtomically(documentPath, document("Albion")));
    EXPECT_TRUE(testing::runUntil([&] { return chart.Model.unfitLines == lostLines + 1; }, 10000));
    EXPECT_TRUE(chart.Model.steps.empty());
    EXPECT_LT(testing::bytesReadSoFar() - before, 2 << 20);

    // The log grows: read again.
    appendEventRecord(appPath, "Stone Bridge", "Caer Ashwold", "Albion", "Midgard", "5/16/2024 11:00:00 AM");
    EXPECT_TRUE(testing::runUntil([&] { return chart.Model.steps.size() == 2; }, 10000));
    EXPECT_EQ(chart.Model.unfitLines, lostLines);
    EXPECT_TRUE(boxes.calls.empty());
}

}  // namespace
}  // namespace tw
