// towerwatch-watch: the herald watch without a window. It follows the herald the settings
// name, as the program does, and writes what the window would show to standard output: the
// status line, each completed update and each change logged for the monitored server. The
// program folder, its cache and its logs are the program's own.
//
//   towerwatch-watch [--server NAME] [--every SECONDS] [--updates N]
//
// --server overrides the "MonitorServer" setting; --every (default 60) is the time between
// updates; --updates ends the run after that many updates have ended, well or not.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/error_handler.h"
#include "settings/settings_store.h"
#include "watch/herald_watch.h"

namespace tw {
namespace {

struct Options {
    std::string server;
    bool serverGiven = false;
    int everySeconds = 60;
    int updates = 0;  // 0: until stopped
};

[[noreturn]] void usage(const char* why) {
    std::fprintf(stderr, "towerwatch-watch: %s\nusage: towerwatch-watch [--server NAME] [--every SECONDS] [--updates N]\n", why);
    std::exit(2);
}

int positive(const char* text, const char* option) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || value < 1 || value > 86400) usage(option);
    return static_cast<int>(value);
}

Options parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) usage("an option needs its value");
        const char* value = argv[++i];
        if (arg == "--server") o.server = value, o.serverGiven = true;
        else if (arg == "--every") o.everySeconds = positive(value, "--every takes 1 to 86400 seconds");
        else if (arg == "--updates") o.updates = positive(value, "--updates takes a count");
        else usage("unknown option");
    }
    return o;
}

void say(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

const char* alertName(AlertIcon alert) {
    switch (alert) {
    case AlertIcon::Red: return "red";
    case AlertIcon::Green: return "green";
    case AlertIcon::Yellow: return "yellow";
    case AlertIcon::None: break;
    }
    return "none";
}

class ConsoleWatch : public WatchListener {
public:
    explicit ConsoleWatch(const Options& options)
        : m_options(options), m_appPath(platform::appPath(platform::processFacts())), m_watch(m_appPath, *this),
          m_tick([this] { update(); }) {}

    void start() {
        m_server = m_options.serverGiven ? m_options.server : ReadSetting("MonitorServer", "");
        say("program folder: " + m_appPath);
        say("monitoring: " + (m_server.empty() ? std::string("(no server)") : m_server));
        m_watch.createSockets();
        m_watch.restartStaleWatch();
        // The cached document is the one the first download is compared with.
        if (const auto cached = platform::readWholeFile(m_appPath + platform::kStatusFile)) {
            m_watch.XMLData = *cached;
            m_watch.DoSwitchOff(m_server, FlashState{});
        }
        m_watch.ReloadHostServers();
        update();
    }

    void statusText(const std::string& caption) override { say("status: " + caption); }
    void staleness(StaleWatch::Turn) override {
        // Heard once per update that ended, completed or failed.
        if (m_options.updates != 0 && ++m_ended >= m_options.updates) {
            platform::quitEventLoop(0);
            return;
        }
        m_tick.start(m_options.everySeconds * 1000);
    }
    void updateCompleted(const std::string& lastUpdate) override { say("updated: " + lastUpdate); }
    bool documentTaken() override {
        m_watch.DoSwitchOff(m_server, FlashState{});
        return false;
    }
    void changesLogged(const std::vector<LoggedChange>& changes) override {
        for (const LoggedChange& c : changes)
            say("change: " + c.server + ": " + c.place + " from " + c.oldOwner + " to " + c.newOwner + " at " +
                c.dateIso + " (" + alertName(c.alert) + ")");
    }

private:
    void update() { m_watch.UpdateFromEvent([this] { m_watch.Update(); }); }

    const Options m_options;
    std::string m_appPath;
    std::string m_server;
    HeraldWatch m_watch;
    platform::OneShotTimer m_tick;
    int m_ended = 0;
};

}  // namespace
}  // namespace tw

int main(int argc, char** argv) {
    const tw::Options options = tw::parse(argc, argv);
    tw::platform::processUmask();
    tw::ConsoleWatch watch(options);
    tw::platform::postToEventLoop([&watch] { watch.start(); });
    return tw::platform::runEventLoop();
}
