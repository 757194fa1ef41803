// The main window over the herald watch's downloads, against a scripted loopback peer: what
// the status line and "Last Updated" show, and the error boxes of updates the timer starts.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "app/frm_main.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/general_date.h"
#include "runtime/message_box.h"
#include "scripted_peer.h"
#include "settings/settings_store.h"
#include "temp_folder.h"

namespace tw {
namespace {

using testing::lengthReply;
using testing::runUntil;

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        services.processFacts.folder = m_folder;
        services.processFacts.clock = {2025, 3, 9, 18, 5, 7};
        main.AppPath = m_folder;
        // The maker's host refuses; the location list names the peer.
        WriteSetting("LocationHost", "127.0.0.1:1");
        EXPECT_TRUE(platform::writeFileAtomically(m_folder + "towerwatchlocations.txt",
                                                  peer.hostPort() + "/server-info.xml\r\n"));
    }

    std::string caption() const { return main.lblServerInfo.caption(); }
    bool waitForCaption(const std::string& text) { return runUntil([&] { return caption() == text; }); }

    platform::ScopedServices services;
    ScopedMessageBoxRecorder boxes;
    testing::ScriptedPeer peer;
    testing::TempFolder m_temp;
    std::string m_folder = m_temp.slashed();
    frmMain main;
};

TEST_F(DownloadTest, TheStatusLineFollowsTheUpdateAndACompleteOneShowsItsTimeAndServers) {
    peer.respondWith([](const std::string&) {
        return lengthReply("<heraldstatus>\n<server name=\"Ironmoor\">\n<status>Up</status>\n"
                           "<population>12</population>\n</server>\n</heraldstatus>\n");
    });
    main.Form_Load();
    EXPECT_EQ(caption(), "Connecting...");
    ASSERT_TRUE(waitForCaption("Update complete"));
    EXPECT_EQ(main.lblUpdate.caption(), generalDate(services.processFacts.clock, services.processFacts.patterns));
    EXPECT_EQ(main.lblServers[0].caption(), "Ironmoor");
    EXPECT_TRUE(boxes.calls.empty()) << boxes.calls.front().text;
}

// --- error boxes ---

// Runs the event loop while the first box is open, as a modal box does; later boxes only
// record.
class ModalBoxes : public ScopedMessageBoxRecorder {
public:
    int show(const MessageBoxCall& call) override {
        MessageBoxRecorder::show(call);
        deepest = std::max(deepest, ++m_open);
        if (calls.size() == 1 && whileFirstOpen) whileFirstOpen();
        --m_open;
        return 1;
    }
    std::function<void()> whileFirstOpen;
    int deepest = 0;

private:
    int m_open = 0;
};

TEST_F(DownloadTest, AnErrorBoxLeftOpenHoldsTimedUpdatesAndFurtherErrorsGoToStandardError) {
    // Every document fails the monitored server's scan: an owner line without a "<".
    peer.respondWith([](const std::string&) {
        return lengthReply(
            "<heraldstatus>\n<server name=\"Ironmoor\">\n<status>Up</status>\n<population>12</population>\n"
            "<keep name=\"Dun Brae\" realm=\"Albion\">\n<owner>Albion\n</keep>\n</server>\n</heraldstatus>\n");
    });
    WriteSetting("MonitorServer", "Ironmoor");
    WriteSetting("UpdateOnStart", "0");
    main.Form_Load();
    // Each tick is due for an update.
    main.tmrUpdate.setTag("0");
    main.tmrUpdate.setInterval(20);
    main.tmrUpdate.setEnabled(false);
    int ticks = 0;
    main.tmrUpdate.onTimer = [&ticks, tick = main.tmrUpdate.onTimer] {
        ++ticks;
        tick();
    };
    ModalBoxes modal;
    std::string written;
    modal.whileFirstOpen = [&] {
        main.tmrUpdate.setEnabled(true);
        EXPECT_TRUE(runUntil([&] { return ticks >= 5; }));
        // A click still updates; its error is written out instead of opening a box.
        main.lblServerInfo.setCaption("");
        ::testing::internal::CaptureStderr();
        main.Label5.click();
        EXPECT_TRUE(waitForCaption("Update complete"));
        written = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(peer.requests().size(), 2u);
        main.tmrUpdate.setEnabled(false);
    };
    main.Label5.click();
    ASSERT_TRUE(runUntil([&] { return !modal.calls.empty() && !errorBoxOpen(); }, 30000));
    ASSERT_EQ(modal.calls.size(), 1u);
    EXPECT_EQ(modal.calls[0].title, "Error!");
    EXPECT_EQ(modal.calls[0].text.rfind("Error in DoSwitchOff sub\r\n#", 0), 0u) << modal.calls[0].text;
    EXPECT_NE(written.find("[Error!] " + modal.calls[0].text + "\n"), std::string::npos) << written;

    // Once the box is closed the timer updates again, and the next error has a box of its own.
    main.tmrUpdate.tick();
    ASSERT_TRUE(runUntil([&] { return modal.calls.size() == 2; }));
    EXPECT_EQ(peer.requests().size(), 3u);
    EXPECT_EQ(modal.calls[1].text, modal.calls[0].text);
    EXPECT_EQ(modal.deepest, 1);
}

}  // namespace
}  // namespace tw
