// The alerts that reach a player away from the window, end to end: a private session bus
// with a notification service of our own, the main window logging changes and failing to
// update against a loopback port that refuses.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>

#include <string>
#include <vector>

#include "app/frm_main.h"
#include "downloads_peer.h"
#include "loopback.h"
#include "platform/services.h"
#include "runtime/message_box.h"
#include "session_bus.h"
#include "settings/settings_store.h"
#include "temp_folder.h"

namespace tw {
namespace {

using testing::runUntil;
using Service = testing::RecordingNotificationService;

// Start-up without the location list or an update; the test starts updates itself.
class QuietMain : public frmMain {
public:
    QuietMain() { Form_Load(); }
    void ReloadHostServers() override {}
    void Update() override {
        if (updates) frmMain::Update();
    }
    bool updates = false;
};

// Ironmoor's keeps, each held by its owner.
std::string keepsHeldBy(const std::vector<std::string>& owners) {
    static const char* const names[] = {"Caer Ashwold", "Dun Brae", "Hrothgard Tower", "Caer Wendmoor", "Fort Lanark"};
    std::string xml = "<heraldstatus>\n<server name=\"Ironmoor\">\n<status>Up</status>\n";
    for (std::size_t i = 0; i < owners.size(); ++i)
        xml += std::string("<keep name=\"") + names[i] + "\" realm=\"Albion\">\n<owner>" + owners[i] + "</owner>\n</keep>\n";
    return xml + "</server>\n</heraldstatus>\n";
}

class DesktopAlertsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(bus.started());
        services.processFacts.folder = m_temp.slashed();
        services.processFacts.clock = {2026, 12, 6, 18, 5, 0};
        services.installNotifier(notifier);
        WriteSetting("UpdateOnStart", "0");
        WriteSetting("MonitorServer", "Ironmoor");
        WriteSetting("Realm", "2");  // Albion
    }
    // Everything the window sent before this marker has reached the service once it arrives.
    bool deliveredUpTo(const Service& service) {
        platform::desktopNotifier().notify({"marker", "", false, 0});
        return runUntil([&] { return !service.shown.empty() && service.shown.back().summary == "marker"; });
    }
    std::vector<std::string> summariesAndUrgency(Service& service) {
        std::vector<std::string> seen;
        for (const Service::Shown& s : service.shown)
            if (s.summary != "marker") seen.push_back(s.summary.toStdString() + " /" + std::to_string(s.urgency));
        service.shown.clear();
        return seen;
    }

    testing::PrivateSessionBus bus;
    platform::DBusNotifier notifier{bus.connect("window"), 1500};
    platform::ScopedServices services;
    ScopedMessageBoxRecorder boxes;
    testing::TempFolder m_temp;
};

TEST_F(DesktopAlertsTest, LoggedChangesNotifyAsTheNotifySettingSaysAndActivationOpensTheHistory) {
    Service service(bus.connect("service"), true);
    const struct {
        const char* notify;
        std::vector<std::string> before, after, expected;
    } rows[] = {
        {"1", {"Albion"}, {"Midgard"}, {"Caer Ashwold taken by Midgard /2"}},
        {"1", {"Midgard"}, {"Midgard"}, {}},
        {"1", {"Albion", "Midgard", "Hibernia", "Albion"}, {"Hibernia", "Albion", "Midgard", "Midgard"},
         {"4 keeps changed hands on Ironmoor /2"}},
        {"1", {"Midgard", "Hibernia", "Albion"}, {"Hibernia", "Albion", "Midgard"},
         {"Caer Ashwold taken by Hibernia /1", "Dun Brae taken by Albion /1", "Hrothgard Tower taken by Midgard /2"}},
        {"0", {"Albion"}, {"Midgard"}, {}},
        {"2", {"Midgard", "Hibernia"}, {"Hibernia", "Albion"}, {"Dun Brae taken by Albion /1"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.notify + std::string(" ") + row.after[0]);
        WriteSetting("Notify", row.notify);
        QuietMain main;
        main.XMLData = keepsHeldBy(row.before);
        main.DoSwitchOff();
        main.XMLData = keepsHeldBy(row.after);
        main.DoSwitchOff();
        ASSERT_TRUE(deliveredUpTo(service));
        if (std::string(row.notify) == "1" && row.expected.size() == 1 && row.before.size() == 1) {
            const Service::Shown& shown = service.shown.front();
            EXPECT_EQ(shown.appName, "Towerwatch");
            EXPECT_EQ(shown.body, "From Albion on Ironmoor, 12/6/2026 6:05:00 PM");
            EXPECT_TRUE(shown.image);
        }
        EXPECT_EQ(summariesAndUrgency(service), row.expected);
    }

    // Clicking a notification opens the history viewer; a stranger's id opens nothing.
    QuietMain main;
    main.XMLData = keepsHeldBy({"Albion"});
    main.DoSwitchOff();
    main.XMLData = keepsHeldBy({"Hibernia"});
    main.DoSwitchOff();
    ASSERT_TRUE(deliveredUpTo(service));
    bool viewerShown = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (forms::Form* form : forms::Form::openForms())
            if (form->name() == "frmMonitoring") viewerShown = true, form->close();
    });
    closer.start(5);
    service.activate(9999);
    testing::drainEvents(200);
    EXPECT_FALSE(viewerShown);
    service.activate(service.shown.front().id);
    EXPECT_TRUE(runUntil([&] { return viewerShown; }));
}

TEST_F(DesktopAlertsTest, WithoutAServiceTheBalloonSaysItAndAServiceThatNeverAnswersBlocksNothing) {
    QuietMain main;
    main.XMLData = keepsHeldBy({"Albion"});
    main.DoSwitchOff();
    main.XMLData = keepsHeldBy({"Midgard"});
    main.DoSwitchOff();
    ASSERT_TRUE(runUntil([&] { return services.notifyIcons.balloons.size() == 1; }));
    EXPECT_EQ(services.notifyIcons.balloons[0].title, "Caer Ashwold taken by Midgard");
    EXPECT_TRUE(services.notifyIcons.balloons[0].critical);

    Service silent(bus.connect("silent"), false);
    QElapsedTimer clock;
    clock.start();
    main.XMLData = keepsHeldBy({"Hibernia"});
    main.DoSwitchOff();
    EXPECT_LT(clock.elapsed(), 1000);
    // The window keeps handling its events while the call is unanswered; the balloon follows
    // once the answer is given up on.
    ASSERT_TRUE(runUntil([&] { return silent.shown.size() == 1; }));
    bool clicked = false;
    main.Label2.onClick = [&] { clicked = true; };
    QTimer::singleShot(0, [&] { main.Label2.click(); });
    EXPECT_TRUE(runUntil([&] { return clicked; }, 1000));
    EXPECT_EQ(services.notifyIcons.balloons.size(), 1u);
    EXPECT_TRUE(runUntil([&] { return services.notifyIcons.balloons.size() == 2; }));
    EXPECT_EQ(services.notifyIcons.balloons[1].title, "Caer Ashwold taken by Hibernia");
}

TEST_F(DesktopAlertsTest, ThreeRefusedUpdatesTurnTheDataStaleOnceAndACompleteOneFreshAgain) {
    Service service(bus.connect("service"), true);
    int refusingPort = 0;
    const int refusing = testing::bindLoopback(refusingPort, 0);  // bound, not listening
    ASSERT_GE(refusing, 0);
    QuietMain main;
    main.updates = true;
    main.HostServers = {"127.0.0.1:" + std::to_string(refusingPort) + "/server-info.xml"};
    const std::uintptr_t normal = frmMain::iconHandle(main.icoMain.picture());
    auto failOnce = [&](int minute) {
        services.processFacts.clock.minute = minute;
        main.Label5.click();
        return runUntil([&] { return main.lblServerInfo.caption() != "Connecting..."; }, 10000);
    };
    const std::string stale = "Herald unreachable since 18:05 \xE2\x80\x94 ";
    for (int minute : {5, 20}) ASSERT_TRUE(failOnce(minute));
    EXPECT_EQ(services.notifyIcons.tip, "Towerwatch");
    ASSERT_TRUE(failOnce(35));
    EXPECT_EQ(main.lblServerInfo.caption(), stale + "3 failed updates");
    EXPECT_EQ(services.notifyIcons.tip, stale + "3 failed updates");
    EXPECT_NE(services.notifyIcons.hIcon, normal);
    ASSERT_TRUE(failOnce(50));
    EXPECT_EQ(services.notifyIcons.tip, stale + "4 failed updates");
    ASSERT_TRUE(deliveredUpTo(service));
    EXPECT_EQ(summariesAndUrgency(service), std::vector<std::string>{"Keep ownership may be out of date /1"});

    testing::ScriptedPeer peer;
    peer.respondWith([](const std::string&) { return testing::lengthReply(keepsHeldBy({"Albion"})); });
    main.HostServers = {peer.hostPort() + "/server-info.xml"};
    main.Label5.click();
    ASSERT_TRUE(runUntil([&] { return main.lblServerInfo.caption() == "Update complete"; }));
    EXPECT_EQ(services.notifyIcons.tip, "Towerwatch");
    EXPECT_EQ(services.notifyIcons.hIcon, normal);
    main.Label5.click();
    ASSERT_TRUE(runUntil([&] { return peer.requests().size() == 2 && main.lblServerInfo.caption() == "Update complete"; }));
    ASSERT_TRUE(deliveredUpTo(service));
    EXPECT_EQ(summariesAndUrgency(service), std::vector<std::string>{"Herald reachable again /1"});
    ::close(refusing);
}

}  // namespace
}  // namespace tw
