// The server list and the server panel as the user sees them: captions, colours, places,
// what is shown and what a click opens.
#include <gtest/gtest.h>

#include <string>

#include "app/frm_main.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/message_box.h"
#include "settings/settings_store.h"
#include "temp_folder.h"

namespace tw {
namespace {

std::string fixture(const std::string& name) {
    return platform::readWholeFile(std::string(TW_TEST_DATA_DIR) + "/" + name).value_or("");
}

constexpr forms::Colour kBlue = forms::rgb(0, 0, 255);
constexpr forms::Colour kBlack = forms::rgb(0, 0, 0);
constexpr forms::Colour kMidgard = forms::rgb(0, 0, 128);
constexpr forms::Colour kAlbion = forms::rgb(128, 0, 0);
constexpr forms::Colour kHibernia = forms::rgb(0, 128, 0);

class ServerListTest : public ::testing::Test {
protected:
    void SetUp() override {
        services.processFacts.folder = folder.slashed();
        main.AppPath = folder.slashed();
    }

    void show(const std::string& document) {
        main.XMLData = document;
        main.LoadServers();
    }
    int selectByName(const std::string& name) {
        for (int i = 0; i <= main.lblServers.ubound(); ++i)
            if (main.lblServers[i].caption() == name) {
                main.lblServers[i].click();
                return i;
            }
        return -1;
    }

    platform::ScopedServices services;
    ScopedMessageBoxRecorder boxes;
    testing::TempFolder folder;
    frmMain main;
};

TEST_F(ServerListTest, RowsCarryLampNameAndPopulationOneBelowTheOther) {
    show(fixture("herald_readable.xml"));
    ASSERT_EQ(main.lblServers.ubound(), 2);  // three servers, no spare row left behind
    EXPECT_FALSE(main.lblServers.exists(3));
    EXPECT_EQ(main.lblServers[0].caption(), "Ironmoor");
    EXPECT_EQ(main.lblPopSize[0].caption(), "(1482)");
    EXPECT_EQ(main.shpServerUp[0].fillColor(), forms::rgb(0, 255, 0));
    EXPECT_EQ(main.shpServerUp[2].fillColor(), forms::rgb(255, 0, 0));  // Thornwick is down
    for (int n = 0; n <= 2; ++n) {
        forms::Label& name = main.lblServers[n];
        EXPECT_TRUE(name.visible());
        EXPECT_EQ(name.left(), 210);
        EXPECT_EQ(name.foreColor(), kBlue);
        EXPECT_EQ(name.toolTipText(), "Click for server info");
        EXPECT_EQ(main.lblPopSize[n].top(), name.top());
        EXPECT_EQ(main.lblPopSize[n].left(), name.left() + name.width() + 50);
        EXPECT_EQ(main.shpServerUp[n].top(), name.top() + 60);
        if (n > 0) {
            EXPECT_EQ(name.top(), main.lblServers[n - 1].top() + main.lblServers[n - 1].height() + 20);
        }
    }
    EXPECT_EQ(main.lblServers[0].top(), 930);
    EXPECT_TRUE(boxes.calls.empty());
    // Before any selection the panel heading matches no server.
    EXPECT_FALSE(main.lblServerName.visible());
    EXPECT_EQ(main.lblServers[0].tag(), "");
}

TEST_F(ServerListTest, OnlyExactlyUpLightsTheLampGreen) {
    show("<server name=\"A\">\n<status>up</status>\n<population>1</population>\n"
         "<server name=\"B\">\n<status></status>\n<population>2</population>\n"
         "<server name=\"C\">\n<status>Up</status>\n<population>3</population>\n");
    ASSERT_EQ(main.lblServers.ubound(), 2);
    EXPECT_EQ(main.shpServerUp[0].fillColor(), forms::rgb(255, 0, 0));
    EXPECT_EQ(main.shpServerUp[1].fillColor(), forms::rgb(255, 0, 0));
    EXPECT_EQ(main.shpServerUp[2].fillColor(), forms::rgb(0, 255, 0));
}

TEST_F(ServerListTest, DocumentWithoutServersHidesTheListAndClearsThePanel) {
    show(fixture("herald_readable.xml"));
    selectByName("Ironmoor");
    show(fixture("herald_no_server.xml"));
    EXPECT_EQ(main.lblServers.ubound(), 0);
    EXPECT_FALSE(main.lblServers[0].visible());
    EXPECT_FALSE(main.shpServerUp[0].visible());
    EXPECT_FALSE(main.lblPopSize[0].visible());
    EXPECT_FALSE(main.lblServerName.visible());
    EXPECT_FALSE(main.KeepLabel.visible());
    EXPECT_EQ(main.lblKeepList.ubound(), 0);
    EXPECT_FALSE(main.lblKeepList[0].visible());
    EXPECT_FALSE(main.lblDF.visible());
}

TEST_F(ServerListTest, RebuildKeepsTheShownServerSelectedOrClearsItsPanel) {
    show(fixture("herald_readable.xml"));
    selectByName("Ashvale");
    show(fixture("herald_readable.xml"));
    EXPECT_EQ(main.lblServers[1].foreColor(), kBlack);
    EXPECT_EQ(main.lblServerName.caption(), "Ashvale");
    EXPECT_TRUE(main.KeepLabel.visible());
    // A list of one server: the shown one is gone, so the panel empties.
    show("<server name=\"Ironmoor\">\n<status>Up</status>\n<population>9</population>\n"
         "<relic name=\"R\" realm=\"Albion\">\n<owner>Albion</owner>\n</relic>\n</server>\n");
    EXPECT_EQ(main.lblServers.ubound(), 0);
    EXPECT_FALSE(main.lblServerName.visible());
    EXPECT_FALSE(main.RelicLabel.visible());
}

TEST_F(ServerListTest, SelectingMovesTheSelectedLookAndRestoresTheLinkLook) {
    show(fixture("herald_readable.xml"));
    selectByName("Thornwick");  // row 2, first click: nothing to restore
    forms::Label& row0 = main.lblServers[0];
    forms::Label& row2 = main.lblServers[2];
    EXPECT_EQ(row2.foreColor(), kBlack);
    EXPECT_EQ(row2.mousePointer(), forms::kDefaultPointer);
    EXPECT_EQ(row2.toolTipText(), "");
    EXPECT_EQ(row2.font(), main.lblUpdate.font());
    EXPECT_EQ(main.lblServers[0].tag(), "2");
    EXPECT_EQ(main.lblServerName.caption(), "Thornwick");

    row0.click();  // row 2 takes the look of row 0 back
    EXPECT_EQ(row2.foreColor(), kBlue);
    EXPECT_TRUE(row2.font().underline);
    EXPECT_EQ(row2.mousePointer(), forms::kCustomPointer);
    EXPECT_EQ(row2.toolTipText(), "Click for server info");
    EXPECT_EQ(row0.foreColor(), kBlack);

    main.lblServers[2].click();  // row 0 takes its look from row 1
    EXPECT_EQ(row0.foreColor(), kBlue);
    EXPECT_EQ(row0.toolTipText(), "Click for server info");
    EXPECT_EQ(row0.mousePointer(), forms::kCustomPointer);
    EXPECT_EQ(ReadSetting("LastServer", ""), "Thornwick");
}

TEST_F(ServerListTest, RememberedRowGoneAfterAShorterListOnlyStylesTheNewOne) {
    show(fixture("herald_readable.xml"));
    selectByName("Thornwick");
    main.XMLData = "<server name=\"Solo\">\n<status>Up</status>\n<population>1</population>\n";
    main.LoadServers();
    EXPECT_EQ(main.lblServers.ubound(), 0);
    main.lblServers[0].click();
    EXPECT_TRUE(boxes.calls.empty() || boxes.calls.back().text.find("LoadInfo") != std::string::npos);
    EXPECT_EQ(main.lblServers[0].foreColor(), kBlack);
    EXPECT_EQ(main.lblServers[0].tag(), "0");
}

TEST_F(ServerListTest, PanelGroupsKeepsAndRelicsByRealmInTheirColours) {
    show(fixture("herald_readable.xml"));
    selectByName("Ironmoor");
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(main.lblKeepList[0].caption(), "Albion");
    EXPECT_EQ(main.lblKeepList[0].foreColor(), kAlbion);
    EXPECT_EQ(main.lblKeepList[1].caption(), "Caer Wendmoor (");
    EXPECT_EQ(main.lblKeepList[1].top(), main.lblKeepList[0].top() + main.lblKeepList[0].height() + 20);
    EXPECT_EQ(main.lblKeepList[2].foreColor(), kMidgard);  // Caer Tollbridge held by Midgard
    EXPECT_TRUE(main.imgKeepOwn[2].picture() == main.imgHammer.picture());
    EXPECT_EQ(main.imgKeepOwn[2].left(), main.lblKeepList[2].left() - 225);
    EXPECT_EQ(main.lblRelicList[1].caption(), "Scabbard of Oryn");
    EXPECT_EQ(main.lblRelicList[1].left(), 5620);
    // The claimant link stands right after its keep, closed by ")" in the row's colour.
    ASSERT_TRUE(main.lblClaimed.exists(1));
    EXPECT_TRUE(main.lblClaimed[1].visible());
    EXPECT_EQ(main.lblClaimed[1].left(), main.lblKeepList[1].left() + main.lblKeepList[1].width());
    EXPECT_EQ(main.lblClaimed[1].toolTipText(), "Order of the Pale Lantern");
    // A long guild name is cut so its text ends before 5000 twips, then "..".
    const std::string& shown = main.lblClaimed[1].caption();
    EXPECT_EQ(shown.substr(shown.size() - 2), "..");
    EXPECT_LT(main.lblClaimed[1].left() + main.lblClaimed[1].width() - main.textWidth(".."), 5000);
    EXPECT_EQ(main.lblEnd[1].foreColor(), kAlbion);
    // Spare hidden elements wait past the last rows.
    const int keeps = main.lblKeepList.ubound();
    EXPECT_FALSE(main.lblKeepList[keeps].visible());
    EXPECT_FALSE(main.lblRelicList[main.lblRelicList.ubound()].visible());
    // Darkness Falls and the tray tip.
    EXPECT_TRUE(main.lblDF.visible());
    EXPECT_EQ(main.TrayStatus.substr(0, 9), "Midgard: ");
    EXPECT_EQ(services.notifyIcons.calls.back().message, platform::NIM_MODIFY);
    EXPECT_EQ(ReadSetting("LastServer", ""), "Ironmoor");
}

TEST_F(ServerListTest, ClaimantClickOpensItsPageAndAnEmptyPageNothing) {
    show(fixture("herald_readable.xml"));
    selectByName("Ironmoor");
    main.lblClaimed[1].click();
    ASSERT_EQ(services.shell.calls.size(), 1u);
    EXPECT_EQ(services.shell.calls[0].file, "http://herald.example.org/guild/pale-lantern");
    for (int i = 0; i <= main.lblKeepList.ubound(); ++i)
        if (main.lblKeepList[i].caption() == "Kaldmark Faste (") main.lblClaimed[i].click();
    EXPECT_EQ(services.shell.calls.size(), 1u);
}

TEST_F(ServerListTest, UnknownServerEmptiesTheListsAndReportsFailureFive) {
    show(fixture("herald_readable.xml"));
    selectByName("Ironmoor");
    main.LoadInfo("Nowhere");
    ASSERT_FALSE(boxes.calls.empty());
    EXPECT_EQ(boxes.calls.back().text.substr(0, 25), "Error in LoadInfo sub\r\n#5");
    EXPECT_EQ(main.lblKeepList.ubound(), 0);
    EXPECT_FALSE(main.lblKeepList[0].visible());
    EXPECT_TRUE(main.KeepLabel.visible());
    EXPECT_TRUE(main.RelicLabel.visible());
}

TEST_F(ServerListTest, EmptyDocumentChangesNothingNotEvenTheLastServer) {
    main.LoadInfo("Ironmoor");
    EXPECT_EQ(ReadSetting("LastServer", "untouched"), "untouched");
    EXPECT_FALSE(main.KeepLabel.visible());
}

TEST_F(ServerListTest, TipWaitsWhileTheIconFlashes) {
    show(fixture("herald_readable.xml"));
    main.tmrIcoFlash.setEnabled(true);
    const size_t before = services.notifyIcons.calls.size();
    selectByName("Ironmoor");
    EXPECT_EQ(services.notifyIcons.calls.size(), before);
    EXPECT_FALSE(main.TrayStatus.empty());
}

// Re-selecting the shown server fails part-way through a rebuild.
class FailingReselect : public frmMain {
public:
    void lblServers_Click(int) override { throw RuntimeError(kErrSubscriptOutOfRange); }
};

TEST_F(ServerListTest, FailureWhileRebuildingAsksToReloadAndKeepsTheRowsBuilt) {
    FailingReselect failing;
    failing.lblServerName.setCaption("Ashvale");
    failing.XMLData = fixture("herald_readable.xml");
    failing.LoadServers();
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text, "Error in LoadServers sub\r\n#9 Subscript out of range\r\n"
                                   "Try reloading the info,\r\nif that doesn't work, e-mail me");
    EXPECT_EQ(boxes.calls[0].style, 16);
    EXPECT_EQ(failing.lblServers.ubound(), 2);
    EXPECT_EQ(failing.lblServers[2].caption(), "Thornwick");
}

}  // namespace
}  // namespace tw
