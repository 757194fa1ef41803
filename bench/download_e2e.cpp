// A 10 MiB status document downloaded by the main window from the herald simulator over
// loopback, end to end (request, reply reading, cache file, document text, server list)
// until XMLData holds it, timed beside curl fetching the same bytes in the same run. The
// program syncs its cache file and its folder to disk, so curl's timing includes the same
// two syncs of its copy. Once
// with Content-Length, once chunked in 8 KiB chunks; each over plain HTTP and over HTTPS
// (the simulator with --tls, a certificate authority made for the run, trusted by both
// sides through SSL_CERT_FILE and --cacert). Exit status 1 when a ratio to synced curl
// exceeds 1.1. A program that cannot fetch https:// yet gets its HTTPS rounds
// skipped with the reason, and the HTTP ones still count.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <QApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include "app/frm_main.h"
#include "platform/services.h"
#include "runtime/message_box.h"
#include "runtime/runtime_error.h"
#include "test_ca.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t kDocumentBytes = 10u << 20;

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

template <class Done>
bool pumpUntil(Done done, std::chrono::seconds limit) {
    const auto deadline = Clock::now() + limit;
    QTimer wake;
    wake.start(5);
    while (!done()) {
        if (Clock::now() >= deadline) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// How the simulator serves; an empty certificate means plain HTTP.
struct Mode {
    bool chunked = false;
    tw::testing::ServerFiles tls;
    std::string caFile;
};

// Starts the simulator; "127.0.0.1:PORT", or "" when it did not come up.
std::string startSimulator(QProcess& sim, const Mode& mode) {
    QStringList args{"--port", "0", "--interval", "3600", "--exit-after", "300", "--pad",
                     QString::number(kDocumentBytes)};
    if (mode.chunked) args << "--chunked";
    if (!mode.tls.certFile.empty())
        args << "--tls" << QString::fromStdString(mode.tls.certFile) << QString::fromStdString(mode.tls.keyFile);
    sim.start(HERALD_SIM_PATH, args);
    if (!pumpUntil([&] { return sim.canReadLine(); }, std::chrono::seconds(10))) return {};
    const std::string line = sim.readLine().trimmed().toStdString();
    return line.rfind("listening on ", 0) == 0 ? line.substr(13) : std::string();
}

// `location` is the entry as the location list holds it: "127.0.0.1:PORT", "https://...".
double downloadWithMainWindow(tw::frmMain& main, const std::string& location, std::size_t& bytes,
                              std::chrono::seconds limit) {
    main.watch.HostServers = {location + "/server-info.xml"};
    main.watch.XMLData.clear();
    const auto start = Clock::now();
    try {
        main.Update();
    } catch (const tw::RuntimeError&) {
        bytes = 0;  // an entry the program refuses
        return 0;
    }
    const bool done = pumpUntil([&] { return main.lblServerInfo.caption() == "Update complete"; }, limit);
    const double took = seconds(Clock::now() - start);
    bytes = done ? main.watch.XMLData.size() : 0;
    return took;
}

bool syncToDisk(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

// With `synced`, curl's copy goes to disk the way the program replaces its cache: a fresh
// file, synced, renamed over the last copy, and the folder synced. Without, curl alone.
double downloadWithCurl(const std::string& url, const std::string& caFile, const std::string& folder, bool synced) {
    const std::string copy = folder + "curl-copy.xml";
    const std::string fresh = folder + "curl-copy.xml.new";
    const std::string trust = caFile.empty() ? std::string() : " --cacert '" + caFile + "'";
    const std::string command = "curl -s" + trust + " -o '" + (synced ? fresh : copy) + "' " + url + "/server-info.xml";
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) return -1;
    if (synced && (!syncToDisk(fresh, O_RDONLY) || ::rename(fresh.c_str(), copy.c_str()) != 0 ||
                   !syncToDisk(folder, O_RDONLY | O_DIRECTORY)))
        return -1;
    return seconds(Clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tw::platform::ScopedServices services;  // settings in memory: the user's stay untouched
    tw::ScopedMessageBoxRecorder boxes;
    char pattern[] = "/tmp/tw-e2e-bench-XXXXXX";
    const std::string folder = std::string(::mkdtemp(pattern)) + "/";
    services.processFacts.folder = folder;

    // Both sides trust the run's own authority; OpenSSL reads the variable when a client
    // context loads the default paths, so it is set before any download.
    tw::testing::TestCa ca(folder.substr(0, folder.size() - 1));
    const tw::testing::ServerFiles certificate = ca.issue("herald", "", "127.0.0.1");
    ::setenv("SSL_CERT_FILE", ca.caFile().c_str(), 1);

    bool withinBudget = true;
    for (const bool https : {false, true}) {
        for (const bool chunked : {false, true}) {
            Mode mode{chunked, {}, {}};
            if (https) mode = {chunked, certificate, ca.caFile()};
            QProcess sim;
            const std::string host = startSimulator(sim, mode);
            if (host.empty()) {
                std::fprintf(stderr, "the herald simulator did not start\n");
                return 2;
            }
            const std::string location = https ? "https://" + host : host;
            const std::string url = https ? location : "http://" + host;
            const std::string label = std::string(https ? "HTTPS " : "HTTP ") + (chunked ? "chunked:" : "Content-Length:");
            tw::frmMain main;
            main.AppPath = folder;
            std::size_t bytes = 0;
            // One untimed download first: it tells whether this program fetches the scheme at all.
            downloadWithMainWindow(main, location, bytes, std::chrono::seconds(https ? 20 : 60));
            if (https && bytes < kDocumentBytes) {
                std::printf("10 MiB %-21s skipped: the main window did not fetch it (\"%s\")\n", label.c_str(),
                            main.lblServerInfo.caption().c_str());
                sim.terminate();
                sim.waitForFinished(3000);
                continue;
            }
            double best = 1e9, bestCurl = 1e9, bestBareCurl = 1e9;
            // Alternating runs, best of each, so neither side profits from a quiet moment.
            for (int round = 0; round < 9; ++round) {
                best = std::min(best, downloadWithMainWindow(main, location, bytes, std::chrono::seconds(60)));
                const double c = downloadWithCurl(url, mode.caFile, folder, true);
                const double bare = downloadWithCurl(url, mode.caFile, folder, false);
                if (c < 0 || bare < 0 || bytes < kDocumentBytes) {
                    std::fprintf(stderr, "%s failed (%zu bytes)\n", c < 0 || bare < 0 ? "curl" : "the main window", bytes);
                    return 2;
                }
                bestCurl = std::min(bestCurl, c);
                bestBareCurl = std::min(bestBareCurl, bare);
            }
            // The ratio that counts is against curl synced; the unsynced one shows what the sync costs.
            const double ratio = best / bestCurl;
            std::printf("10 MiB %-21s main window %.3f s, curl synced %.3f s, ratio %.2f (curl unsynced %.3f s, %.2f)\n",
                        label.c_str(), best, bestCurl, ratio, bestBareCurl, best / bestBareCurl);
            withinBudget = withinBudget && ratio <= 1.1;
            sim.terminate();
            sim.waitForFinished(3000);
        }
    }
    std::filesystem::remove_all(folder);
    return withinBudget ? 0 : 1;
}
