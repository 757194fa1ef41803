#pragma once
// The herald watch with no window, a listener that writes down what it hears, and a
// scripted loopback herald; the maker's host refuses (port 1) unless a test says otherwise.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "event_loop_wait.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/message_box.h"
#include "scripted_peer.h"
#include "settings/settings_store.h"
#include "temp_folder.h"
#include "watch/herald_watch.h"

namespace tw::testing {

using Texts = std::vector<std::string>;

// A previous cache that no reply of these tests could produce, binary bytes included.
inline constexpr char kOldCacheBytes[] = "<servers>old\0copy\xff</servers>\r\n";
inline const std::string kOldCache(kOldCacheBytes, sizeof kOldCacheBytes - 1);
// A document that lists a server, so that it is taken without asking for the location list.
inline const std::string kListed = "<server name=\"Up\" />";

// Writes down everything the watch says, as one line each; `caption` is the status line a
// window would show (the stale text included).
struct RecordingListener : WatchListener {
    void statusText(const std::string& text) override {
        heard.push_back("status " + text);
        caption = text;
    }
    void staleness(StaleWatch::Turn) override {
        const bool stale = watch->staleWatch().stale();
        heard.push_back(stale ? "stale" : "fresh");
        if (stale) caption = watch->staleWatch().statusText();
    }
    void updateCompleted(const std::string& lastUpdate) override { heard.push_back("completed " + lastUpdate); }
    // A document that names no server is one a window would show no server of.
    bool documentTaken() override {
        heard.push_back("taken " + watch->XMLData);
        return watch->XMLData.find("<server name=") == std::string::npos;
    }
    void changesLogged(const std::vector<LoggedChange>& changes) override {
        for (const LoggedChange& c : changes)
            heard.push_back("logged " + c.place + " " + c.dateIso + (c.alert == AlertIcon::Red ? " red" : ""));
    }
    const HeraldWatch* watch = nullptr;
    Texts heard;
    std::string caption;
};

class WatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        services.processFacts.folder = folder;
        services.processFacts.clock = {2026, 12, 7, 20, 15, 0};
        listener.watch = &watch;
        WriteSetting("LocationHost", "127.0.0.1:1");
    }

    const std::string& caption() const { return listener.caption; }
    bool waitForCaption(const std::string& text, int deadlineMs = 5000) {
        return runUntil([&] { return caption() == text; }, deadlineMs);
    }
    std::string file(const std::string& name) const {
        return platform::readWholeFile(folder + name).value_or("<none>");
    }
    std::string cache() const { return file("server-info.xml"); }
    std::string statusLocation(const std::string& path = "/server-info.xml") const { return peer.hostPort() + path; }
    // What a click on the window's update label does.
    void click() { watch.UpdateFromEvent([this] { watch.Update(); }); }
    // Starts a status download from the peer and waits until its request has arrived.
    void startUpdate(const std::string& path = "/server-info.xml") {
        watch.HostServers = {statusLocation(path)};
        const std::size_t before = peer.requests().size();
        watch.Update();
        ASSERT_TRUE(peer.waitForRequests(before + 1));
        ASSERT_TRUE(waitForCaption("Sending request..."));
    }

    platform::ScopedServices services;
    ScopedMessageBoxRecorder boxes;
    ScriptedPeer peer;
    TempFolder temp;
    std::string folder = temp.slashed();
    RecordingListener listener;
    HeraldWatch watch{folder, listener};
};

}  // namespace tw::testing
