#include "app/frm_main.h"

#include <gtest/gtest.h>



#include <filesystem>
#include <string>
#include <vector>

#include "about/frm_splash.h"
#include "app/tray_icon.h"
#include "event_loop_wait.h"
#include "forms_probe.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/message_box.h"
#include "settings/settings_store.h"
#include "temp_folder.h"

namespace tw {
namespace {

// The main window with the procedures of other parts replaced by a log of their calls;
// constructed with `loaded`, it has run its start-up.
constexpr struct Loaded {} loaded;
class ObservedMain : public frmMain {
public:
    ObservedMain() { onProgramEnd = [this] { ended = true; }; }
    explicit ObservedMain(Loaded) : ObservedMain() { Form_Load(); }
    std::vector<std::string> calls;
    bool ended = false;
    void LoadXML() override {
        calls.push_back("LoadXML");
        lblServers[0].setCaption("Brynmor");
    }
    void lblServers_Click(int index) override { calls.push_back("lblServers_Click " + std::to_string(index)); }
    void ReloadHostServers() override { calls.push_back("ReloadHostServers"); }
    void Update() override { calls.push_back("Update"); }
    int updates() const { return static_cast<int>(std::count(calls.begin(), calls.end(), "Update")); }
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { services.processFacts.folder = m_folder + "/"; }

    std::string trayTip() const { return services.notifyIcons.tip; }

    platform::ScopedServices services;
    ScopedMessageBoxRecorder boxes;
    testing::TempFolder m_temp;
    std::string m_folder = m_temp.path();
};

TEST_F(MainWindowTest, FirstRunWithoutSettingsShowsTrayAndStartsAnUpdate) {
    ObservedMain main(loaded);
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_TRUE(services.notifyIcons.present);
    EXPECT_EQ(trayTip(), "Towerwatch");
    EXPECT_EQ(main.tmrUpdate.tag(), "15");
    EXPECT_TRUE(main.tmrUpdate.enabled());
    EXPECT_EQ(main.lblUpdate.caption(), "Never updated");
    EXPECT_EQ(main.calls, (std::vector<std::string>{"ReloadHostServers", "Update"}));
    EXPECT_TRUE(main.isShown());  // no switch
}

TEST_F(MainWindowTest, CachedDocumentIsLoadedAndLastServerReselectedWhileListed) {
    ASSERT_TRUE(platform::writeFileAtomically(m_folder + "/server-info.xml", "<servers/>"));
    WriteSetting("LastServer", "Brynmor");
    WriteSetting("UpdateOnStart", "0");
    ObservedMain main(loaded);
    EXPECT_EQ(main.calls, (std::vector<std::string>{"LoadXML", "lblServers_Click 0",
                                                    "ReloadHostServers"}));
    WriteSetting("LastServer", "Gone Server");
    ObservedMain later(loaded);
    EXPECT_EQ(later.calls, (std::vector<std::string>{"LoadXML", "ReloadHostServers"})) << "nothing selected";
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(MainWindowTest, StartupFailureIsReportedSkipsOnlyTheRemainingStepsAndShowsTheWindow) {
    WriteSetting("SystemTray", "yes");  // stored text that is no number: fails at the tray
    ObservedMain main(loaded);
    EXPECT_FALSE(services.notifyIcons.present);
    WriteSetting("SystemTray", "1");
    WriteSetting("UpdateTime", "99999");  // fails later, at the timer
    WriteSetting("LastUpdate", "6/12/2026 9:00:00 PM");
    services.processFacts.commandLineText = "-startup";
    ObservedMain later(loaded);
    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_EQ(boxes.calls[0].text, "Error in Form Load sub\r\n#13 Type mismatch");  // the box's look: the handler's test
    EXPECT_EQ(boxes.calls[1].text, "Error in Form Load sub\r\n#6 Overflow");
    EXPECT_TRUE(main.calls.empty() && later.calls.empty());  // steps after: skipped
    EXPECT_TRUE(services.notifyIcons.present);                   // steps before: done
    EXPECT_EQ(later.lblUpdate.caption(), "6/12/2026 9:00:00 PM");
    // Even with the switch, a failed start shows the window.
    EXPECT_TRUE(main.isShown() && later.isShown());
}

TEST_F(MainWindowTest, PanelFailureAtTheLastElementIsReportedAndStartupGoesOn) {
    // 32 767 keeps: with its heading the list needs one element more than a list can hold.
    std::string xml = "<server name=\"Brynmor\"><status>Up</status><population>1</population>"
                      "<relic name=\"R\" realm=\"Albion\"><owner>Albion</owner></relic>";
    const std::string keep = "<keep name=\"Caer\" realm=\"Albion\"><owner>Albion</owner></keep>";
    for (int i = 0; i < 32767; ++i) xml += keep;
    ASSERT_TRUE(platform::writeFileAtomically(m_folder + "/server-info.xml", xml + "</server>"));
    ASSERT_TRUE(platform::writeFileAtomically(m_folder + "/towerwatchlocations.txt", "herald.example:8080/s.xml\r\n"));
    WriteSetting("LastServer", "Brynmor");
    WriteSetting("UpdateOnStart", "0");
    // Started into the tray: a window off screen takes tens of thousands of rows without
    // laying them out one by one.
    services.processFacts.commandLineText = "-startup";
    frmMain main;
    main.Form_Load();
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text.substr(0, 27), "Error in LoadInfo sub\r\n#340");
    EXPECT_EQ(main.watch.HostServers.at(0), "herald.example:8080/s.xml") << "start-up read the location list";
    // Clicking the server again reports the same failure and returns to the program.
    main.lblServers[0].click();
    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_EQ(boxes.calls[1].text, boxes.calls[0].text);
    EXPECT_EQ(main.lblKeepList[32767].caption(), "Caer");
    // The next document builds as usual.
    main.watch.XMLData = "<server name=\"Brynmor\"><status>Up</status><population>1</population>" + keep + "</server>";
    main.LoadServers();
    EXPECT_EQ(boxes.calls.size(), 2u);
    EXPECT_EQ(main.lblKeepList.ubound(), 2);
    EXPECT_EQ(main.lblDF.caption(), "Albion");
    // What the event loop does next: polish the new rows and remove the unloaded ones.
    testing::runDeferredDeletes();
}

TEST_F(MainWindowTest, PeriodOfFifteenUpdatesAtTicksSixteenThirtyOneFortySixAndNeverStopsTheTimer) {
    WriteSetting("UpdateOnStart", "0");
    ObservedMain main(loaded);
    std::vector<int> updateTicks;
    for (int tick = 1; tick <= 46; ++tick) {
        const int before = main.updates();
        main.tmrUpdate.tick();
        if (main.updates() > before) updateTicks.push_back(tick);
    }
    EXPECT_EQ(updateTicks, (std::vector<int>{16, 31, 46}));
    WriteSetting("UpdateTime", "3");  // never
    ObservedMain never(loaded);
    EXPECT_EQ(never.tmrUpdate.tag(), "0");
    EXPECT_FALSE(never.tmrUpdate.enabled());
}

TEST_F(MainWindowTest, StartupSwitchHidesTheWindowOnlyAloneAndWithTheTray) {
    const struct {
        const char *commandLine, *tray;
        bool shown;
    } cases[] = {{"  -STARTUP  ", "1", false}, {"-startup -x", "1", true}, {"-startup", "0", true}};
    for (const auto& c : cases) {
        platform::ScopedServices local;
        local.processFacts.folder = m_folder + "/";
        local.processFacts.commandLineText = c.commandLine;
        WriteSetting("SystemTray", c.tray);
        ObservedMain main(loaded);
        EXPECT_EQ(main.isShown(), c.shown) << '"' << c.commandLine << "\" tray " << c.tray;
    }
}

TEST_F(MainWindowTest, ClosingWithTheTrayHidesAndExitOrTheTrayMenuRemovesTheIcon) {
    ObservedMain main(loaded);
    EXPECT_FALSE(main.close());
    EXPECT_FALSE(main.isShown());
    EXPECT_FALSE(main.ended);
    EXPECT_TRUE(services.notifyIcons.present);
    main.anotherCopyStarted();  // living in the tray, the about box answers a second start
    EXPECT_FALSE(main.isShown());
    ASSERT_TRUE(frmSplash::current() && frmSplash::current()->isShown());
    frmSplash::current()->close();
    main.TrayNotification(platform::WM_LBUTTONDBLCLK);
    EXPECT_TRUE(main.isShown());
    main.mAbout->click();  // one box however often: the about box's own test
    ASSERT_TRUE(frmSplash::current() && frmSplash::current()->isShown());
    main.cmdExit.click();  // takes every window along, the about box too
    EXPECT_TRUE(main.ended);
    for (forms::Form* form : forms::Form::openForms()) EXPECT_FALSE(form->isShown()) << form->name();
    EXPECT_FALSE(services.notifyIcons.present);

    ObservedMain again(loaded);
    again.TrayNotification(platform::WM_RBUTTONUP);
    EXPECT_TRUE(again.mPopUp.isShown());
    again.mExit->click();  // the tray menu's Exit
    EXPECT_TRUE(again.ended);
    EXPECT_FALSE(services.notifyIcons.present);
}

TEST_F(MainWindowTest, WithoutATrayHostTheWindowStaysReachableAndAHostThatAppearsIsAdopted) {
    services.notifyIcons.hostAvailable = false;
    services.processFacts.commandLineText = "-startup";
    {
        ObservedMain main(loaded);
        EXPECT_TRUE(main.isShown()) << "no icon to come back through, so the switch cannot hide the window";
        EXPECT_FALSE(services.notifyIcons.present);
        main.setWindowState(forms::WindowState::Minimized);
        main.anotherCopyStarted();  // without the tray a second start brings the window back
        EXPECT_EQ(main.windowState(), forms::WindowState::Normal);
        EXPECT_FALSE(frmSplash::current() && frmSplash::current()->isShown());
        // Closing without an icon ends the program and takes the other windows along.
        forms::Form other("frmOther");
        other.show();
        EXPECT_TRUE(main.close());
        EXPECT_TRUE(main.ended);
        EXPECT_FALSE(other.isShown());
    }
    // The session starts the panel a little after the program.
    ObservedMain main(loaded);
    ASSERT_TRUE(main.tmrTrayHost.enabled());
    EXPECT_GT(main.tmrTrayHost.interval(), 0);
    main.tmrTrayHost.tick();
    EXPECT_FALSE(services.notifyIcons.present);
    services.notifyIcons.hostAvailable = true;
    main.tmrTrayHost.tick();
    EXPECT_TRUE(services.notifyIcons.present);
    EXPECT_EQ(trayTip(), "Towerwatch");
    EXPECT_FALSE(main.tmrTrayHost.enabled());
    EXPECT_FALSE(main.close());
    EXPECT_FALSE(main.isShown());
    EXPECT_FALSE(main.ended);
    // Switching the option off stops the watch for good.
    services.notifyIcons.hostAvailable = false;
    WriteSetting("SystemTray", "0");
    main.ReapplySettings();
    EXPECT_FALSE(services.notifyIcons.present);
    EXPECT_FALSE(main.tmrTrayHost.enabled());
}

// Closes whichever window of that name is open as soon as the event loop runs.
void closeSoon(const std::string& formName, std::vector<std::string>& seen) {
    testing::runAfter(0, [formName, &seen] {
        for (forms::Form* form : forms::Form::openForms())
            if (form->name() == formName && form->isShown()) {
                seen.push_back(formName);
                form->close();
            }
    });
}

TEST_F(MainWindowTest, DialogsOpenModallyAndOptionsClosedWithoutSavingReapplyTheStoredSettingsKeepingTheCountdown) {
    WriteSetting("UpdateOnStart", "0");
    ObservedMain main(loaded);
    EXPECT_EQ(main.tmrUpdate.tag(), "15");
    for (int i = 0; i < 5; ++i) main.tmrUpdate.tick();
    std::vector<std::string> seen;
    closeSoon("frmOptions", seen);
    main.cmdProgramOptions.click();
    EXPECT_EQ(seen, (std::vector<std::string>{"frmOptions"}));
    EXPECT_EQ(main.tmrUpdate.tag(), "60");  // nothing stored: the re-read default, an hour
    EXPECT_EQ(main.Countdown, 5);
    EXPECT_EQ(ReadSetting("UpdateTime", "none"), "none");
    closeSoon("frmMonitoring", seen);
    main.cmdMonitorOptions.click();
    EXPECT_EQ(seen, (std::vector<std::string>{"frmOptions", "frmMonitoring"}));
    // Reapplying follows the monitored server and the tray flag both ways.
    WriteSetting("MonitorServer", "Brynmor");
    WriteSetting("SystemTray", "0");
    main.ReapplySettings();
    EXPECT_EQ(main.MonitorServer, "Brynmor");
    EXPECT_FALSE(services.notifyIcons.present);
    EXPECT_FALSE(main.TrayEnabled);
    WriteSetting("SystemTray", "1");
    main.ReapplySettings();
    EXPECT_TRUE(services.notifyIcons.present);
    EXPECT_TRUE(boxes.calls.empty());
}

// A status document whose one server has one keep, held by `owner`.
std::string frontierHeldBy(const std::string& owner, const std::string& keep = "Caer Ashwold") {
    return "<heraldstatus>\n  <server name=\"Stormreach\">\n    <status>Up</status>\n"
           "    <population>1482</population>\n    <keep name=\"" + keep + "\" realm=\"Albion\">\n"
           "      <owner>" + owner + "</owner>\n    </keep>\n  </server>\n</heraldstatus>\n";
}

// The main colour of the picture the tray shows: the mean of its opaque pixels.
TEST_F(MainWindowTest, TrayFlashesRedForALossGreenForAGainAndYellowForOthersTradingUntilALeftPress) {
    WriteSetting("UpdateOnStart", "0");
    WriteSetting("MonitorServer", "Stormreach");
    WriteSetting("Realm", "2");  // Albion
    const struct {
        const char *before, *after, *tint;
    } rows[] = {{"Albion", "Midgard", "red"}, {"Midgard", "Albion", "green"}, {"Midgard", "Hibernia", "yellow"}};
    for (const auto& row : rows) {
        ObservedMain main(loaded);
        main.watch.XMLData = frontierHeldBy(row.before);
        main.DoSwitchOff();
        main.watch.XMLData = frontierHeldBy(row.after);
        main.DoSwitchOff();
        ASSERT_TRUE(main.tmrIcoFlash.enabled()) << row.after;
        EXPECT_NE(main.tmrIcoFlash.tag().find("Caer Ashwold"), std::string::npos);
        // The normal picture and the alert take turns, the change as the tip.
        const std::uintptr_t normal = forms::iconHandle(main.icoMain.picture());
        std::vector<std::string> shown;
        for (int i = 0; i < 4; ++i) {
            main.tmrIcoFlash.tick();
            shown.push_back(services.notifyIcons.hIcon == normal ? "normal" : testing::iconTint(services.notifyIcons.hIcon));
            EXPECT_EQ(trayTip(), main.tmrIcoFlash.tag());
        }
        EXPECT_EQ(shown, (std::vector<std::string>{"normal", row.tint, "normal", row.tint})) << row.before << " -> " << row.after;
        main.TrayNotification(platform::WM_LBUTTONDOWN);
        EXPECT_FALSE(main.tmrIcoFlash.enabled());
        EXPECT_EQ(trayTip(), main.TrayStatus);
        EXPECT_EQ(services.notifyIcons.hIcon, normal);
    }
}

TEST_F(MainWindowTest, AFlashTipLongerThanTheTrayTakesEndsBeforeTheCharacterThatWouldNotFit) {
    WriteSetting("UpdateOnStart", "0");
    WriteSetting("MonitorServer", "Stormreach");
    const std::string place = "D\xc3\xban Crauchon, watchtower of L\xc3\xa9im Br\xc3\xad over the bay \xe2\x80\x94 Mag M\xc3\xa9l";
    ObservedMain main(loaded);
    main.watch.XMLData = frontierHeldBy("Albion", place);
    main.DoSwitchOff();
    main.watch.XMLData = frontierHeldBy("Midgard", place);
    main.DoSwitchOff();
    ASSERT_EQ(main.tmrIcoFlash.tag(), place + " taken by Midgard from Albion");
    main.tmrIcoFlash.tick();
    // The tray takes 63 bytes, which end inside the "\xc3\xa9" of "M\xc3\xa9l": the tip stops
    // before it, so it still reads as UTF-8 and not as Windows-1252.
    EXPECT_EQ(trayTip(), place.substr(0, place.rfind("\xc3\xa9")));
    EXPECT_EQ(trayTip().size(), 62u);
}

}  // namespace
}  // namespace tw
