// The server list and the server panel as the user sees them: captions, colours, places,
// what is shown and what a click opens.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

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
constexpr forms::Colour kAlbion = forms::rgb(128, 0, 0);
constexpr forms::Colour kHibernia = forms::rgb(0, 128, 0);

class ServerListTest : public ::testing::Test {
protected:
    void SetUp() override {
        services.processFacts.folder = folder.slashed();
        main.AppPath = folder.slashed();
    }

    void show(const std::string& document) {
        main.watch.XMLData = document;
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
    EXPECT_EQ(main.lblServers[0].caption(), "Ironmoor");
    EXPECT_EQ(main.lblPopSize[0].caption(), "(1482)");
    for (int n = 0; n <= 2; ++n) {
        forms::Label& name = main.lblServers[n];
        EXPECT_TRUE(name.visible());
        EXPECT_EQ(name.foreColor(), kBlue);
        EXPECT_EQ(name.toolTipText(), "Click for server info");
        EXPECT_EQ(main.lblPopSize[n].top(), name.top());
        EXPECT_EQ(main.lblPopSize[n].left(), name.left() + name.width() + 50);
        if (n > 0) {
            EXPECT_GT(name.top(), main.lblServers[n - 1].top() + main.lblServers[n - 1].height());
        }
    }
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
    for (int n = 0; n <= 2; ++n)
        EXPECT_EQ(main.shpServerUp[n].fillColor(), n == 2 ? forms::rgb(0, 255, 0) : forms::rgb(255, 0, 0)) << n;
}

TEST_F(ServerListTest, RebuildKeepsTheShownServerSelectedOrClearsItsPanelAndNoServersHideTheList) {
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
    // The remembered row is gone: the click styles only the new one.
    selectByName("Ironmoor");
    EXPECT_EQ(main.lblServers[0].foreColor(), kBlack);
    EXPECT_EQ(main.lblServers[0].tag(), "0");
    // A document without servers hides the list and the panel.
    ASSERT_TRUE(main.KeepLabel.visible() && main.lblDF.visible());
    show(fixture("herald_no_server.xml"));
    EXPECT_EQ(main.lblServers.ubound(), 0);
    const std::initializer_list<const forms::Control*> gone = {&main.lblServers[0], &main.shpServerUp[0],
        &main.lblPopSize[0], &main.lblServerName, &main.KeepLabel, &main.lblKeepList[0], &main.lblDF};
    for (const forms::Control* control : gone) EXPECT_FALSE(control->visible());
    EXPECT_EQ(main.lblKeepList.ubound(), 0);
}

TEST_F(ServerListTest, SelectingMovesTheSelectedLookAndRestoresTheLinkLook) {
    show(fixture("herald_readable.xml"));
    selectByName("Thornwick");  // row 2, first click: nothing to restore
    forms::Label& row0 = main.lblServers[0];
    forms::Label& row2 = main.lblServers[2];
    auto look = [](const forms::Label& row) {
        return std::tuple(row.foreColor(), row.mousePointer(), row.toolTipText());
    };
    const auto link = std::tuple(kBlue, forms::kCustomPointer, std::string("Click for server info"));
    EXPECT_EQ(look(row2), std::tuple(kBlack, forms::kDefaultPointer, std::string()));
    EXPECT_EQ(main.lblServers[0].tag(), "2");

    row0.click();  // row 2 takes the look of row 0 back
    EXPECT_EQ(look(row2), link);
    EXPECT_TRUE(row2.font().underline);
    EXPECT_EQ(row0.foreColor(), kBlack);

    main.lblServers[2].click();  // row 0 takes its look from row 1
    EXPECT_EQ(look(row0), link);
}

TEST_F(ServerListTest, PanelGroupsKeepsAndRelicsByRealmInTheirColours) {
    show(fixture("herald_readable.xml"));
    selectByName("Ironmoor");
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(main.lblKeepList[0].caption(), "Albion");
    EXPECT_EQ(main.lblKeepList[0].foreColor(), kAlbion);
    EXPECT_EQ(main.lblKeepList[1].caption(), "Caer Wendmoor (");
    EXPECT_GT(main.lblKeepList[1].top(), main.lblKeepList[0].top() + main.lblKeepList[0].height());
    EXPECT_TRUE(main.imgKeepOwn[2].picture() == main.imgHammer.picture());  // Caer Tollbridge held by Midgard
    EXPECT_LT(main.imgKeepOwn[2].left(), main.lblKeepList[2].left());
    EXPECT_EQ(main.lblRelicList[1].caption(), "Scabbard of Oryn");
    // The claimant link stands right after its keep, closed by ")" in the row's colour.
    ASSERT_TRUE(main.lblClaimed.exists(1));
    EXPECT_TRUE(main.lblClaimed[1].visible());
    EXPECT_EQ(main.lblClaimed[1].left(), main.lblKeepList[1].left() + main.lblKeepList[1].width());
    EXPECT_EQ(main.lblClaimed[1].toolTipText(), "Order of the Pale Lantern");
    // A long guild name is cut so its text ends before 5000 twips, then "..".
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

TEST_F(ServerListTest, ClaimantClickOpensOnlyWebPagesFromTheDocument) {
    show(fixture("herald_readable.xml"));
    selectByName("Ironmoor");
    main.lblClaimed[1].click();
    for (int i = 0; i <= main.lblKeepList.ubound(); ++i)
        if (main.lblKeepList[i].caption() == "Kaldmark Faste (") main.lblClaimed[i].click();  // no page

    // A mail link is the program's own to open, never one a document names; which pages open
    // at all is the link check's table.
    show("<server name=\"Ironmoor\"><status>Up</status><population>1</population>"
         "<relic name=\"R\" realm=\"Albion\"><owner>Albion</owner></relic>"
         "<keep name=\"Caer\" realm=\"Albion\"><owner>Albion</owner><claimant>G</claimant>"
         "<claimant_heraldurl>mailto:x@example.org</claimant_heraldurl></keep></server>");
    ASSERT_TRUE(main.lblClaimed.exists(1) && main.lblClaimed[1].visible());
    main.lblClaimed[1].click();
    main.lblURL.click();

    std::vector<std::string> opened;
    for (const auto& call : services.shell.calls) opened.push_back(call.file);
    EXPECT_EQ(opened, (std::vector<std::string>{"http://herald.example.org/guild/pale-lantern", kHomePage}));
}

// A message box during which a newer document arrives and is taken, the way a download that
// completes while the box waits for its OK does.
class DocumentArrivesInFirstBox : public ScopedMessageBoxRecorder {
public:
    DocumentArrivesInFirstBox(frmMain& main, std::string document) : newer(std::move(document)), m_main(main) {}
    int show(const MessageBoxCall& call) override {
        MessageBoxRecorder::show(call);
        if (!newer.empty()) {
            m_main.watch.XMLData = std::exchange(newer, "");
            m_main.LoadServers();
        }
        return 1;
    }
    std::string newer;

private:
    frmMain& m_main;
};

TEST_F(ServerListTest, DocumentArrivingInsideAnErrorBoxIsShownOnceTheRunningBuildEnds) {
    // Ashvale's second relic tag has no realm: GetItem shows its box while the panel builds.
    auto document = [](const std::string& keep, const std::string& owner) {
        return "<server name=\"Ironmoor\"><status>Up</status><population>1</population></server>"
               "<server name=\"Ashvale\"><status>Up</status><population>2</population>"
               "<relic name=\"R\" realm=\"Albion\"><owner>Albion</owner></relic>"
               "<relic x><owner>Midgard</owner></relic>"
               "<keep name=\"" + keep + "\" realm=\"Albion\"><owner>" + owner + "</owner></keep></server>";
    };
    const std::string newer = document("New Keep", "Hibernia");
    {
        // The newer document comes while the selected row's panel is being built.
        show(document("Old Keep", "Albion"));
        DocumentArrivesInFirstBox sink(main, newer);
        selectByName("Ashvale");
        ASSERT_FALSE(sink.calls.empty());
        EXPECT_EQ(sink.calls[0].text.substr(0, 20), "Error in GetItem sub");
        EXPECT_EQ(main.lblServers[1].foreColor(), kBlack);
        const int keepRow = main.lblKeepList.ubound() - 1;  // the spare follows it
        EXPECT_EQ(main.lblKeepList[keepRow].caption(), "New Keep");
        EXPECT_EQ(main.lblKeepList[keepRow].foreColor(), kHibernia);
        EXPECT_EQ(main.TrayStatus, "Midgard: 0\r\nAlbion: 0\r\nHibernia: 1\r\nDarkness Falls: Hibernia");
    }
    {
        // The newer document comes while the list is being built: a row without a population.
        DocumentArrivesInFirstBox sink(main, newer);
        show("<server name=\"Brynmor\"><status>Up</status><population>1</population></server>"
             "<server name=\"Carrow\"><status>Up</status></server>");
        ASSERT_FALSE(sink.calls.empty());
        EXPECT_EQ(sink.calls[0].text.substr(0, 25), "Error in GetSimpleXML sub");
        ASSERT_EQ(main.lblServers.ubound(), 1);
        EXPECT_EQ(main.lblServers[0].caption(), "Ironmoor");
        EXPECT_EQ(main.lblServers[1].caption(), "Ashvale");
        EXPECT_EQ(main.lblPopSize[1].caption(), "(2)");
        EXPECT_EQ(main.lblServers[1].foreColor(), kBlack) << "the shown server is selected again";
        EXPECT_EQ(main.lblKeepList[main.lblKeepList.ubound() - 1].caption(), "New Keep");
    }
}

TEST_F(ServerListTest, EmptyDocumentChangesNothingTipWaitsWhileFlashingUnknownServerReportsFailureFive) {
    main.LoadInfo("Ironmoor");
    EXPECT_EQ(ReadSetting("LastServer", "untouched"), "untouched");
    EXPECT_FALSE(main.KeepLabel.visible());

    show(fixture("herald_readable.xml"));
    main.tmrIcoFlash.setEnabled(true);
    const size_t before = services.notifyIcons.calls.size();
    selectByName("Ironmoor");
    EXPECT_EQ(services.notifyIcons.calls.size(), before);
    EXPECT_FALSE(main.TrayStatus.empty());

    main.LoadInfo("Nowhere");
    ASSERT_FALSE(boxes.calls.empty());
    EXPECT_EQ(boxes.calls.back().text.substr(0, 25), "Error in LoadInfo sub\r\n#5");
    EXPECT_EQ(main.lblKeepList.ubound(), 0);
    EXPECT_FALSE(main.lblKeepList[0].visible());
    EXPECT_TRUE(main.KeepLabel.visible());
    EXPECT_TRUE(main.RelicLabel.visible());
}

// Re-selecting the shown server fails part-way through a rebuild.
class FailingReselect : public frmMain {
public:
    void lblServers_Click(int) override { throw RuntimeError(kErrSubscriptOutOfRange); }
};

TEST_F(ServerListTest, FailureWhileRebuildingAsksToReloadAndKeepsTheRowsBuilt) {
    FailingReselect failing;
    failing.lblServerName.setCaption("Ashvale");
    failing.watch.XMLData = fixture("herald_readable.xml");
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
