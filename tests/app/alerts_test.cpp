// Alerts end to end: the main window on a private session bus with a notification service of
// our own, logging changes and failing to update against a loopback herald whose replies cannot be read.
#include <gtest/gtest.h>

#include "app/frm_main.h"
#include "forms_probe.h"
#include "scripted_peer.h"
#include "platform/files.h"
#include "platform/qt/notifications.h"
#include "platform/services.h"
#include "runtime/message_box.h"
#include "session_bus.h"
#include "settings/settings_store.h"
#include "temp_folder.h"

namespace tw {
namespace {

using testing::runUntil;
using Service = testing::RecordingNotificationService;
using Texts = std::vector<std::string>;

// Started on a location list that names a peer of the test; updates only when clicked.
struct QuietMain : frmMain {
    QuietMain() { Form_Load(); }
    Texts names = {"Caer Ashwold", "Dun Brae", "Hrothgard Tower", "Fort Lanark"};
    void takeIn(const Texts& owners) {  // a document listing Ironmoor's keeps
        watch.XMLData = "<heraldstatus>\n<server name=\"Ironmoor\">\n<status>Up</status>\n";
        for (std::size_t i = 0; i < owners.size(); ++i)
            watch.XMLData += std::string("<keep name=\"") + names[i] + "\" realm=\"Albion\">\n<owner>" + owners[i] + "</owner>\n</keep>\n";
        watch.XMLData += "</server>\n</heraldstatus>\n";
        DoSwitchOff();
    }
};

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
        WriteSetting("LocationHost", "127.0.0.1:1");
        ASSERT_TRUE(platform::writeFileAtomically(m_temp.slashed() + "towerwatchlocations.txt",
                                                  peer.hostPort() + "/server-info.xml\r\n"));
    }
    // "summary /urgency" of what reached the service, taken out; a marker sent last makes
    // sure everything sent before it has arrived.
    Texts received(Service& service) {
        notifier.notify({"marker", "", false, 0, ""});
        EXPECT_TRUE(runUntil([&] { return !service.shown.empty() && service.shown.back().summary == "marker"; }));
        Texts seen;
        for (std::size_t i = 0; i + 1 < service.shown.size(); ++i)
            seen.push_back(service.shown[i].summary.toStdString() + " /" + std::to_string(service.shown[i].urgency));
        service.shown.clear();
        return seen;
    }

    testing::PrivateSessionBus bus;
    platform::DBusNotifier notifier{bus.connect("window"), 3000};
    platform::ScopedServices services;
    ScopedMessageBoxRecorder boxes;
    testing::TempFolder m_temp;
    testing::ScriptedPeer peer;
};

TEST_F(DesktopAlertsTest, LoggedChangesNotifyAsTheNotifySettingSaysAndAClickOpensTheHistory) {
    Service service(bus.connect("service"), true);
    const struct {
        const char* notify;
        Texts before, after, expected;
    } rows[] = {
        {"1", {"Albion"}, {"Albion"}, {}},
        {"1", {"Midgard", "Hibernia", "Albion"}, {"Hibernia", "Albion", "Midgard"},
         {"Caer Ashwold taken by Hibernia /1", "Dun Brae taken by Albion /1", "Hrothgard Tower taken by Midgard /2"}},
        {"1", {"Albion", "Midgard", "Hibernia", "Albion"}, {"Hibernia", "Albion", "Midgard", "Midgard"},
         {"4 keeps changed hands on Ironmoor /2"}},
        {"0", {"Albion"}, {"Midgard"}, {}},
        {"2", {"Midgard", "Hibernia"}, {"Hibernia", "Albion"}, {"Dun Brae taken by Albion /1"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.notify + (" " + row.after[0]));
        WriteSetting("Notify", row.notify);
        QuietMain main;
        main.takeIn(row.before);
        main.takeIn(row.after);
        EXPECT_EQ(received(service), row.expected);
    }
    WriteSetting("Notify", "1");
    QuietMain main;
    main.takeIn({"Albion"});
    main.takeIn({"Midgard"});
    ASSERT_TRUE(runUntil([&] { return service.shown.size() == 1; }));
    EXPECT_EQ(service.shown[0].appName, "Towerwatch");
    EXPECT_EQ(service.shown[0].body, "From Albion on Ironmoor, 12/6/2026 6:05:00 PM");
    EXPECT_TRUE(service.shown[0].image);
    bool viewerShown = false;
    const auto closer = testing::runEvery(5, [&] {
        for (forms::Form* form : forms::Form::openForms())
            if (form->name() == "frmMonitoring") viewerShown = true, form->close();
    });
    service.activate(service.shown[0].id);
    EXPECT_TRUE(runUntil([&] { return viewerShown; }));
}

TEST_F(DesktopAlertsTest, TheSoundSettingGivesTheDesktopsSoundOrSilencesTheNotification) {
    Service service(bus.connect("service"), true);
    const struct {
        const char* sound;
        const char *lost, *other;
    } rows[] = {{"2", "dialog-warning", "(none)"}, {"1", "dialog-warning", "message-new-instant"},
                {"0", "(none)", "(none)"}, {"", "dialog-warning", "(none)"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.sound);
        WriteSetting("Sound", row.sound);
        QuietMain main;
        main.takeIn({"Albion", "Midgard"});
        main.takeIn({"Midgard", "Hibernia"});  // Albion loses one, the others trade one
        ASSERT_TRUE(runUntil([&] { return service.shown.size() == 2; }));
        EXPECT_EQ(service.shown[0].sound, row.lost);
        EXPECT_EQ(service.shown[1].sound, row.other);
        service.shown.clear();
    }
}

TEST_F(DesktopAlertsTest, WithoutAServiceTheBalloonSaysItAndAServiceThatNeverAnswersBlocksNothing) {
    QuietMain main;
    main.takeIn({"Albion"});
    main.takeIn({"Midgard"});
    auto& balloons = services.notifyIcons.balloons;
    ASSERT_TRUE(runUntil([&] { return balloons.size() == 1; }));
    EXPECT_EQ(balloons[0].title, "Caer Ashwold taken by Midgard");
    EXPECT_TRUE(balloons[0].critical);

    Service silent(bus.connect("silent"), false);
    main.takeIn({"Hibernia"});
    ASSERT_TRUE(runUntil([&] { return silent.shown.size() == 1; }));
    // Clicks are handled while the call is unanswered; the balloon follows once it is given up.
    bool clicked = false;
    main.Label2.onClick = [&] { clicked = true; };
    testing::runAfter(0, [&] { main.Label2.click(); });
    EXPECT_TRUE(runUntil([&] { return clicked; }, 2000));
    EXPECT_EQ(balloons.size(), 1u);
    EXPECT_TRUE(runUntil([&] { return balloons.size() == 2; }, 10000));
}

TEST_F(DesktopAlertsTest, MarkupInANameReachesTheServiceAndTheBalloonEscaped) {
    QuietMain main;
    main.names[1] = "<a href='https://example.invalid/'>Dun Brae</a> & Co";
    const Texts before = {"Albion", "Midgard", "Hibernia", "Albion"}, after = {"Hibernia", "Albion", "Midgard", "Midgard"};
    const std::string body =
        "Caer Ashwold taken by Hibernia from Albion\n"
        "&lt;a href='https://example.invalid/'&gt;Dun Brae&lt;/a&gt; &amp; Co taken by Albion from Midgard\n"
        "Hrothgard Tower taken by Midgard from Hibernia\n"
        "Fort Lanark taken by Midgard from Albion\n"
        "12/6/2026 6:05:00 PM";
    // No service on the bus: the tray's balloon carries it.
    main.takeIn(before);
    main.takeIn(after);
    auto& balloons = services.notifyIcons.balloons;
    ASSERT_TRUE(runUntil([&] { return balloons.size() == 1; }));
    EXPECT_EQ(balloons[0].title, "4 keeps changed hands on Ironmoor");
    EXPECT_EQ(balloons[0].text, body);

    Service service(bus.connect("service"), true);
    main.takeIn(before);
    ASSERT_TRUE(runUntil([&] { return service.shown.size() == 1; }));
    service.shown.clear();
    main.takeIn(after);
    ASSERT_TRUE(runUntil([&] { return service.shown.size() == 1; }));
    EXPECT_EQ(service.shown[0].body.toStdString(), body);
    EXPECT_EQ(balloons.size(), 1u);
}

TEST_F(DesktopAlertsTest, ThreeFailedUpdatesTurnTheDataStaleOnceAndACompleteOneFreshAgain) {
    Service service(bus.connect("service"), true);
    QuietMain main;
    const std::uintptr_t normal = forms::iconHandle(main.icoMain.picture());
    const std::string since = "Herald unreachable since 18:05 \xE2\x80\x94 ";
    // The herald's replies cannot be read until it is given a document.
    std::string document;
    peer.respondWith([&](const std::string&) {
        return document.empty() ? "HTTP/1.1 200 OK\r\n\r\nContent-Length: 4\r\n\r\nabcd" : testing::lengthReply(document);
    });
    auto updateAt = [&](int minute) {
        services.processFacts.clock.minute = minute;
        services.processFacts.steady = std::chrono::steady_clock::time_point(std::chrono::minutes(minute));
        main.Label5.click();
        const std::string& caption = main.lblServerInfo.caption();
        return runUntil([&] {
            return caption == (document.empty() ? "HTTP Header Parse Error!" : "Update complete") ||
                   caption.rfind("Herald unreachable", 0) == 0;
        }, 10000);
    };
    Texts tips;
    for (int minute : {5, 20, 35, 50}) {
        ASSERT_TRUE(updateAt(minute)) << main.lblServerInfo.caption();
        tips.push_back(services.notifyIcons.tip);
    }
    EXPECT_EQ(tips, (Texts{"Towerwatch", "Towerwatch", since + "3 failed updates", since + "4 failed updates"}));
    EXPECT_EQ(main.lblServerInfo.caption(), tips.back());
    EXPECT_NE(services.notifyIcons.hIcon, normal);
    EXPECT_EQ(received(service), Texts{"Keep ownership may be out of date /1"});

    document = "<heraldstatus>\n<server name=\"Ironmoor\">\n<status>Up</status>\n</server>\n</heraldstatus>\n";
    for (int minute : {55, 56}) ASSERT_TRUE(updateAt(minute));
    EXPECT_EQ(services.notifyIcons.tip, "Towerwatch");
    EXPECT_EQ(services.notifyIcons.hIcon, normal);
    EXPECT_EQ(received(service), Texts{"Herald reachable again /1"});
    // Past two update periods without a complete download the data is stale again.
    services.processFacts.clock.hour = 19, services.processFacts.clock.minute = 27;
    services.processFacts.steady = std::chrono::steady_clock::time_point(std::chrono::minutes(87));
    main.tmrUpdate.tick();
    EXPECT_EQ(services.notifyIcons.tip, "No complete update since 18:56");
}

}  // namespace
}  // namespace tw
