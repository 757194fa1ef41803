// The panel's held-since tooltips over a long log: a rebuild after one logged change reads
// that change, not the whole log again; a log someone else rewrote is read afresh.
#include <gtest/gtest.h>

#include <string>

#include "app/frm_main.h"
#include "bytes_read_linux.h"
#include "history/event_log.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/message_box.h"
#include "temp_folder.h"

namespace tw {
namespace {

TEST(HeldSinceReads, OneLoggedChangeIsReadAloneAndARewrittenLogWhole) {
    platform::ScopedServices services;
    services.processFacts.clock = {2024, 5, 17, 14, 30, 0};
    ScopedMessageBoxRecorder boxes;
    testing::TempFolder folder;
    services.processFacts.folder = folder.slashed();
    frmMain main;
    main.AppPath = folder.slashed();
    main.MonitorServer = "Ironmoor";
    main.watch.XMLData = platform::readWholeFile(std::string(TW_TEST_DATA_DIR) + "/herald_readable.xml").value_or("");
    auto tipOf = [&](const std::string& keep, const std::string& server = "Ironmoor") {
        main.LoadInfo(server);
        for (int i = 0; i <= main.lblKeepList.ubound(); ++i)
            if (main.lblKeepList[i].caption().rfind(keep, 0) == 0) return main.lblKeepList[i].toolTipText();
        return std::string("(no row)");
    };

    // Four megabytes of changes at a keep the document no longer has, then one it has.
    const std::string filler = "Lost Keeps,Albion,Midgard,5/1/2024 8:00:00 AM\r\n";
    std::string log;
    while (log.size() < (4u << 20)) log += filler;
    log += "Caer Tollbridge,Midgard,Albion,5/17/2024 12:15:00 PM\r\n";
    const std::string path = EventLogPath(main.AppPath, "Ironmoor");
    ASSERT_TRUE(platform::writeFileAtomically(path, log));
    EXPECT_EQ(tipOf("Caer Tollbridge"), "held by Midgard since 17 May 12:15 (2 h 15 min)");
    EXPECT_EQ(tipOf("Dun Eithne"), "held since before 1 May 08:00");
    EXPECT_EQ(tipOf("Albion"), "") << "a heading";
    EXPECT_EQ(tipOf("Caer Tollbridge", "Ashvale"), "") << "a server not monitored";

    const std::string wendmoor = "Caer Wendmoor,Albion,Midgard,5/17/2024 2:00:00 PM\r\n";
    ASSERT_TRUE(platform::appendLine(path, wendmoor));
    const long long before = testing::bytesReadSoFar();
    EXPECT_EQ(tipOf("Caer Wendmoor"), "held by Albion since 17 May 14:00 (30 min)");
    EXPECT_LT(testing::bytesReadSoFar() - before, 64 * 1024);
    log += wendmoor;

    // Rewritten longer, its first line changed: the start no longer matches.
    log.replace(0, 10, "Dun Eithne");
    ASSERT_TRUE(platform::writeFileAtomically(path, log + "Dun Morrow,Midgard,Hibernia,5/14/2024 9:00:00 AM\r\n"));
    EXPECT_EQ(tipOf("Dun Eithne"), "held by Albion since 1 May 08:00 (16 d 6 h)");
    EXPECT_EQ(tipOf("Dun Morrow"), "held by Midgard since 14 May 09:00 (3 d 5 h)");

    // Cut short, its oldest line of another year; the newest line for Dun Eithne names another
    // owner than the document: a change the log missed.
    const std::string eithne = "Dun Eithne,Midgard,Albion,12/31/2023 11:00:00 PM\r\n"
                               "Dun Morrow,Hibernia,Midgard,5/10/2024 8:00:00 AM\r\n" + wendmoor;
    ASSERT_TRUE(platform::writeFileAtomically(path, eithne));
    EXPECT_EQ(tipOf("Caer Tollbridge"), "held since before 31 Dec 2023 23:00");
    EXPECT_EQ(tipOf("Dun Eithne"), "held by Albion since after 31 Dec 2023 23:00");
    EXPECT_EQ(tipOf("Caer Wendmoor"), "held by Albion since 17 May 14:00 (30 min)");

    // A last line written without its line end, then finished by another writer: the newest
    // line for a place is the one that counts.
    ASSERT_TRUE(platform::writeFileAtomically(path, eithne + "Dun Morrow,Midgard,Hib"));
    EXPECT_EQ(tipOf("Dun Morrow"), "held by Midgard since after 10 May 08:00");
    ASSERT_TRUE(platform::writeFileAtomically(path, eithne + "Dun Morrow,Midgard,Hibernia,5/14/2024 9:00:00 AM"));
    EXPECT_EQ(tipOf("Dun Morrow"), "held by Midgard since 14 May 09:00 (3 d 5 h)");
    EXPECT_TRUE(boxes.calls.empty());
}

}  // namespace
}  // namespace tw
