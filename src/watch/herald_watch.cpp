#include "watch/herald_watch.h"

#include <functional>
#include <optional>
#include <utility>

#include "alerts/change_command.h"
#include "history/event_log.h"
#include "net/http_requests.h"
#include "net/location_list.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/conversions.h"
#include "runtime/general_date.h"
#include "runtime/runtime_error.h"
#include "settings/settings_store.h"

namespace tw {
namespace {

constexpr const char* kCrLf = "\r\n";

std::string currentMakerHost() { return makerWebHost(ReadSetting("LocationHost", "")); }

// The chosen set's location entry; error 9 when the list has no entry for it.
const std::string& chosenLocation(const std::vector<std::string>& hostServers) {
    const int set = toInt16(ReadSetting("ServerSet", "0"));
    if (set < 0 || static_cast<std::size_t>(set) >= hostServers.size()) throw RuntimeError(kErrSubscriptOutOfRange);
    return hostServers[static_cast<std::size_t>(set)];
}

// A socket object and the download that hears its events; `onConnect` and `onError` are
// the watch's own handlers of that socket.
std::unique_ptr<Download> subscribedDownload(CSocket& socket, bool showProgress, Download::StepHandler onStep,
                                             std::function<void()> onConnect,
                                             std::function<void(const std::string&)> onError) {
    auto download = std::make_unique<Download>(socket, showProgress, std::move(onStep),
                                               [](const Location& at) { return statusRequest(at, currentMakerHost()); });
    Download& d = *download;
    socket.OnConnect = [&d, onConnect = std::move(onConnect)] {
        onConnect();
        d.connected();
    };
    socket.OnDataArrival = [&d](std::int32_t) { d.arrived(); };
    socket.OnClose = [&d] { d.closed(); };
    socket.OnError = [onError = std::move(onError)](std::int16_t, const std::string& Description, std::int32_t,
                                                     const std::string&, const std::string&, std::int32_t,
                                                     bool&) { onError(Description); };
    return download;
}

}  // namespace

HeraldWatch::HeraldWatch(const std::string& appPath, WatchListener& listener)
    : m_appPath(appPath), m_listener(listener) {}

HeraldWatch::~HeraldWatch() = default;

void HeraldWatch::createSockets() {
    if (!Sock) {
        Sock = std::make_unique<CSocket>();
        m_statusDownload = subscribedDownload(
            *Sock, true, [this](const ReplyStep& step) { statusStep(step); }, [this] { Sock_OnConnect(); },
            [this](const std::string& Description) { Sock_OnError(Description); });
        m_statusDownload->setIdleLimit(m_downloadIdleLimit);
    }
    if (!FetchVexlor) {
        FetchVexlor = std::make_unique<CSocket>();
        m_listDownload = subscribedDownload(
            *FetchVexlor, false, [this](const ReplyStep& step) { listStep(step); },
            [this] { FetchVexlor_OnConnect(); },
            [this](const std::string& Description) { FetchVexlor_OnError(Description); });
        m_listDownload->setIdleLimit(m_downloadIdleLimit);
    }
}

void HeraldWatch::setDownloadIdleLimit(std::chrono::milliseconds limit) {
    m_downloadIdleLimit = limit;
    for (Download* download : {m_statusDownload.get(), m_listDownload.get()})
        if (download) download->setIdleLimit(limit);
}

void HeraldWatch::Update() {
    createSockets();
    // Without a location the list comes first: the update waits for a fetch under way, or
    // starts one while the list file is missing (a first run, or a fetch that failed), and
    // runs as soon as the list has been saved.
    if (chosenLocation(HostServers).empty() &&
        (m_listDownload->busy() || !platform::fileExists(m_appPath + std::string(kLocationListFile)))) {
        m_updateAfterList = true;
        if (!m_listDownload->busy()) fetchLocationList();
        return;
    }
    // Everything the request will carry (the entry, and the maker's host for the User-Agent
    // line) is checked before anything is connected.
    const Location location = splitLocation(chosenLocation(HostServers));
    splitHostPort(location.host, location.scheme);
    currentMakerHost();
    m_statusFailure.clear();
    m_listener.statusText("Connecting...");
    // An earlier download still under way ends here for good.
    m_statusDownload->start(location);
}

void HeraldWatch::UpdateFromEvent(const std::function<void()>& update) {
    // A click or a timer tick has nobody above it to report to: a download that cannot start
    // (no location yet, a malformed entry) says so on the status line and the program runs on.
    try {
        update();
    } catch (const RuntimeError&) {
        m_listener.statusText(std::string(kCaptionUpdateFailed));
    }
}

void HeraldWatch::restartStaleWatch() {
    // Ages are measured on the services' steady clock, which tests set.
    m_staleWatch = StaleWatch([] { return platform::processFacts().steadyNow(); });
    m_staleWatch.restart(platform::processFacts().now());
}

void HeraldWatch::updateFailed() {
    m_listener.staleness(m_staleWatch.updateFailed(platform::processFacts().now()));
    // A location list fetch that follows the failure puts this back on the status line.
    if (m_staleWatch.stale() && !m_statusFailure.empty()) m_statusFailure = m_staleWatch.statusText();
}

void HeraldWatch::Sock_OnConnect() { m_listener.statusText("Sending request..."); }

void HeraldWatch::Sock_OnError(const std::string& Description) {
    // Refused, unknown host, timed out (by the system or the download's idle limit) or
    // reset: a failed update like any other.
    m_statusDownload->failed("Update failed: " + Description);
}

void HeraldWatch::statusStep(const ReplyStep& step) {
    if (!step.caption.empty()) m_listener.statusText(step.caption);
    if (step.progress == ReplyProgress::Complete) statusBodyComplete();
    // A herald that moved may answer with an error page: ask the maker's host where to.
    if (step.progress == ReplyProgress::BadStatus) {
        m_statusFailure = step.caption;
        fetchLocationList();
    }
    if (step.progress != ReplyProgress::NeedMore && step.progress != ReplyProgress::Complete)
        updateFailed();
}

void HeraldWatch::statusBodyComplete() {
    std::string body = m_statusDownload->takeBody();
    // The cached copy ends with a line end the document itself does not hold; added and taken
    // off again in place rather than copying a document of megabytes.
    body += kCrLf;
    const bool saved = platform::writeFileAtomically(m_appPath + platform::kStatusFile, body);
    body.resize(body.size() - std::string_view(kCrLf).size());
    if (!saved) {
        // Without a saved copy the document is not taken either, so the cache and the screen
        // never disagree; the next update tries again.
        m_listener.statusText(std::string(kCaptionUpdateFailed));
        updateFailed();
        return;
    }
    m_listener.statusText("Update complete");
    // One reading of the clock: the stale watch's completion and "LastUpdate" name one second.
    const platform::ProcessFacts& facts = platform::processFacts();
    const auto now = facts.now();
    m_listener.staleness(m_staleWatch.updateCompleted(now));
    const std::string lastUpdate = generalDate(now, facts.datePatterns());
    m_listener.updateCompleted(lastUpdate);
    WriteSetting("LastUpdate", lastUpdate);
    XMLData = std::move(body);
    const bool listsNoServer = m_listener.documentTaken();
    // A herald that answers without any server has moved: ask the maker's host where to.
    if (listsNoServer && !XMLData.empty()) fetchLocationList();
}

SwitchOffOutcome HeraldWatch::DoSwitchOff(const std::string& MonitorServer, const FlashState& flash) {
    const platform::ProcessFacts& facts = platform::processFacts();
    // One reading of the clock serves the log line and everything told of the change, so
    // the command's two date variables name the same second.
    const auto now = facts.now();
    const std::string when = generalDate(now, facts.datePatterns());
    SwitchOffOutcome outcome =
        m_ownership.DoSwitchOff(XMLData, MonitorServer, ReadSetting, flash, eventLogWriter(m_appPath, MonitorServer, when));
    // The changes past the log's share of one document are only counted; the status line
    // says how many, as nothing else will.
    if (outcome.notLogged != 0)
        m_listener.statusText("Too many changes in one update: " + std::to_string(outcome.notLogged) + " not logged");
    if (outcome.logged.empty()) return outcome;
    const std::vector<LoggedChange> changes = loggedChanges(outcome.logged, MonitorServer, now, when);
    m_listener.changesLogged(changes);
    const std::string command = ReadSetting("OnChangeCommand", "");
    for (const LoggedChange& change : changes) m_changeCommands.run(command, changeCommandEnvironment(change));
    return outcome;
}

void HeraldWatch::fetchLocationList() {
    createSockets();
    m_listDownload->abandon();
    try {
        m_listDownload->start(locationListAt(currentMakerHost()));
    } catch (const RuntimeError&) {
        // A maker's host that cannot be used ends the fetch before it starts.
        listFetchFailed(std::string(kCaptionUpdateFailed));
    }
}

void HeraldWatch::listFetchFailed(const std::string& caption) {
    const bool updateWaited = std::exchange(m_updateAfterList, false);
    // A failed status download that led here is the news that matters.
    m_listener.statusText(m_statusFailure.empty() ? caption : std::exchange(m_statusFailure, {}));
    // The update that waited for the list fails with it.
    if (updateWaited) updateFailed();
}

void HeraldWatch::ReloadHostServers() {
    const int set = toInt16(ReadSetting("ServerSet", "0"));
    const std::string path = m_appPath + std::string(kLocationListFile);
    std::optional<std::string> fileText;
    if (platform::fileExists(path)) {
        fileText = platform::readWholeFile(path);
        if (!fileText) throw RuntimeError(kErrPathFileAccess);
    }
    const LocationReload next = reloadLocations(HostServers, set, fileText);
    if (next.fetchList) fetchLocationList();
    if (next.updateNow) Update();
}

void HeraldWatch::FetchVexlor_OnConnect() { m_listener.statusText("Updating XML Locations"); }

void HeraldWatch::FetchVexlor_OnError(const std::string& Description) {
    // Refused, unknown host, timed out or reset: only a fetch under way has anything to end.
    m_listDownload->failed("Updating XML Locations failed: " + Description);
}

void HeraldWatch::listStep(const ReplyStep& step) {
    if (!step.caption.empty()) m_listener.statusText(step.caption);
    if (step.progress == ReplyProgress::Complete)
        locationBodyComplete();
    else if (step.progress != ReplyProgress::NeedMore)
        listFetchFailed(step.caption.empty() ? std::string(kCaptionUpdateFailed) : step.caption);
}

void HeraldWatch::locationBodyComplete() {
    const std::string body = m_listDownload->takeBody();
    if (!platform::writeFileAtomically(m_appPath + std::string(kLocationListFile), body + kCrLf)) {
        // Reloading now would find the old list (or none, and fetch again and again).
        listFetchFailed(std::string(kCaptionUpdateFailed));
        return;
    }
    m_listener.statusText("XML Locations Updated");
    ReloadHostServers();
    // The list sent the failed status download nowhere new (a new one clears the failure).
    if (!m_statusFailure.empty()) m_listener.statusText(std::exchange(m_statusFailure, {}));
    if (m_updateAfterList) {
        m_updateAfterList = false;
        UpdateFromEvent();
    }
}

}  // namespace tw
