// The main window's two downloads: the status document on Sock and the location list on
// FetchVexlor, each run by a Download that the socket handlers here pass their events to.
// A finished body replaces its file atomically, so a broken, abandoned, non-2xx or unsaved
// reply leaves the previous copy exactly as it was.
#include "app/frm_main.h"

#include <utility>

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

std::string listFetchErrorCaption(const std::string& description) {
    return "Updating XML Locations failed: " + description;
}

// The chosen set's location entry; error 9 when the list has no entry for it.
const std::string& chosenLocation(const std::vector<std::string>& hostServers) {
    const int set = toInt16(ReadSetting("ServerSet", "0"));
    if (set < 0 || static_cast<std::size_t>(set) >= hostServers.size()) throw RuntimeError(kErrSubscriptOutOfRange);
    return hostServers[static_cast<std::size_t>(set)];
}

}  // namespace

void frmMain::createSockets() {
    if (!Sock) {
        Sock = std::make_unique<CSocket>();
        Sock->OnConnect = [this] { Sock_OnConnect(); };
        Sock->OnDataArrival = [this](std::int32_t bytesTotal) { Sock_OnDataArrival(bytesTotal); };
        Sock->OnClose = [this] { Sock_OnClose(); };
        Sock->OnError = [this](std::int16_t Number, const std::string& Description, std::int32_t, const std::string&,
                               const std::string&, std::int32_t, bool&) { Sock_OnError(Number, Description); };
        m_statusDownload = std::make_unique<Download>(
            *Sock, true, [this](const ReplyStep& step) { statusStep(step); },
            [](const Location& at) { return statusRequest(at, currentMakerHost()); });
        m_statusDownload->setIdleLimit(m_downloadIdleLimit);
    }
    if (!FetchVexlor) {
        FetchVexlor = std::make_unique<CSocket>();
        FetchVexlor->OnConnect = [this] { FetchVexlor_OnConnect(); };
        FetchVexlor->OnDataArrival = [this](std::int32_t bytesTotal) { FetchVexlor_OnDataArrival(bytesTotal); };
        FetchVexlor->OnClose = [this] { FetchVexlor_OnClose(); };
        FetchVexlor->OnError = [this](std::int16_t Number, const std::string& Description, std::int32_t,
                                      const std::string&, const std::string&, std::int32_t,
                                      bool&) { FetchVexlor_OnError(Number, Description); };
        m_listDownload = std::make_unique<Download>(
            *FetchVexlor, false, [this](const ReplyStep& step) { listStep(step); },
            [](const Location& at) { return statusRequest(at, currentMakerHost()); });
        m_listDownload->setIdleLimit(m_downloadIdleLimit);
    }
}

void frmMain::setDownloadIdleLimit(std::chrono::milliseconds limit) {
    m_downloadIdleLimit = limit;
    for (Download* download : {m_statusDownload.get(), m_listDownload.get()})
        if (download) download->setIdleLimit(limit);
}

void frmMain::Update() {
    createSockets();
    // Without a location the list comes first: the update waits for a fetch under way, or
    // starts one while the list file is missing (a first run, or a fetch that failed), and
    // runs as soon as the list has been saved.
    if (chosenLocation(HostServers).empty() &&
        (m_listDownload->busy() || !platform::fileExists(AppPath + std::string(kLocationListFile)))) {
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
    lblServerInfo.setCaption("Connecting...");
    // An earlier download still under way ends here for good.
    m_statusDownload->start(location);
}

void frmMain::UpdateFromEvent() {
    // A click or a timer tick has nobody above it to report to: a download that cannot start
    // (no location yet, a malformed entry) says so on the status line and the program runs on.
    try {
        Update();
    } catch (const RuntimeError&) {
        lblServerInfo.setCaption(std::string(kCaptionUpdateFailed));
    }
}

void frmMain::Sock_OnConnect() {
    lblServerInfo.setCaption("Sending request...");
    m_statusDownload->connected();
}

void frmMain::Sock_OnDataArrival(std::int32_t) { m_statusDownload->arrived(); }

void frmMain::Sock_OnClose() { m_statusDownload->closed(); }

void frmMain::Sock_OnError(std::int16_t, const std::string& Description) {
    // Refused, unknown host, timed out (by the system or the download's idle limit) or
    // reset: a failed update like any other.
    m_statusDownload->failed("Update failed: " + Description);
}

void frmMain::statusStep(const ReplyStep& step) {
    if (!step.caption.empty()) lblServerInfo.setCaption(step.caption);
    if (step.progress == ReplyProgress::Complete) statusBodyComplete();
    // A herald that moved may answer with an error page: ask the maker's host where to.
    if (step.progress == ReplyProgress::BadStatus) {
        m_statusFailure = step.caption;
        fetchLocationList();
    }
    if (step.progress != ReplyProgress::NeedMore && step.progress != ReplyProgress::Complete) statusUpdateFailed();
}

void frmMain::statusBodyComplete() {
    std::string body = m_statusDownload->takeBody();
    // The cached copy ends with a line end the document itself does not hold; added and taken
    // off again in place rather than copying a document of megabytes.
    body += kCrLf;
    const bool saved = platform::writeFileAtomically(AppPath + platform::kStatusFile, body);
    body.resize(body.size() - std::string_view(kCrLf).size());
    if (!saved) {
        // Without a saved copy the document is not taken either, so the cache and the screen
        // never disagree; the next update tries again.
        lblServerInfo.setCaption(std::string(kCaptionUpdateFailed));
        statusUpdateFailed();
        return;
    }
    lblServerInfo.setCaption("Update complete");
    statusUpdateCompleted();
    const platform::ProcessFacts& facts = platform::processFacts();
    lblUpdate.setCaption(generalDate(facts.now(), facts.datePatterns()));
    WriteSetting("LastUpdate", lblUpdate.caption());
    XMLData = std::move(body);
    DoSwitchOff();
    LoadServers();
    // A herald that answers without any server has moved: ask the maker's host where to.
    if (lblServers.ubound() == 0 && lblServers[0].caption().empty() && !XMLData.empty()) fetchLocationList();
}

void frmMain::fetchLocationList() {
    createSockets();
    m_listDownload->abandon();
    try {
        m_listDownload->start(locationListAt(currentMakerHost()));
    } catch (const RuntimeError&) {
        // A maker's host that cannot be used ends the fetch before it starts.
        listFetchFailed(std::string(kCaptionUpdateFailed));
    }
}

void frmMain::listFetchFailed(const std::string& caption) {
    const bool updateWaited = std::exchange(m_updateAfterList, false);
    // A failed status download that led here is the news that matters.
    lblServerInfo.setCaption(m_statusFailure.empty() ? caption : std::exchange(m_statusFailure, {}));
    // The update that waited for the list fails with it.
    if (updateWaited) statusUpdateFailed();
}

void frmMain::ReloadHostServers() {
    const int set = toInt16(ReadSetting("ServerSet", "0"));
    const std::string path = AppPath + std::string(kLocationListFile);
    std::optional<std::string> fileText;
    if (platform::fileExists(path)) {
        fileText = platform::readWholeFile(path);
        if (!fileText) throw RuntimeError(kErrPathFileAccess);
    }
    const LocationReload next = reloadLocations(HostServers, set, fileText);
    if (next.fetchList) fetchLocationList();
    if (next.updateNow) Update();
}

void frmMain::FetchVexlor_OnConnect() {
    lblServerInfo.setCaption("Updating XML Locations");
    m_listDownload->connected();
}

void frmMain::FetchVexlor_OnDataArrival(std::int32_t) { m_listDownload->arrived(); }

void frmMain::FetchVexlor_OnClose() { m_listDownload->closed(); }

void frmMain::FetchVexlor_OnError(std::int16_t, const std::string& Description) {
    // Refused, unknown host, timed out or reset: only a fetch under way has anything to end.
    m_listDownload->failed(listFetchErrorCaption(Description));
}

void frmMain::listStep(const ReplyStep& step) {
    if (!step.caption.empty()) lblServerInfo.setCaption(step.caption);
    if (step.progress == ReplyProgress::Complete)
        locationBodyComplete();
    else if (step.progress != ReplyProgress::NeedMore)
        listFetchFailed(step.caption.empty() ? std::string(kCaptionUpdateFailed) : step.caption);
}

void frmMain::locationBodyComplete() {
    const std::string body = m_listDownload->takeBody();
    if (!platform::writeFileAtomically(AppPath + std::string(kLocationListFile), body + kCrLf)) {
        // Reloading now would find the old list (or none, and fetch again and again).
        listFetchFailed(std::string(kCaptionUpdateFailed));
        return;
    }
    lblServerInfo.setCaption("XML Locations Updated");
    ReloadHostServers();
    // The list sent the failed status download nowhere new (a new one clears the failure).
    if (!m_statusFailure.empty()) lblServerInfo.setCaption(std::exchange(m_statusFailure, {}));
    if (m_updateAfterList) {
        m_updateAfterList = false;
        UpdateFromEvent();
    }
}

}  // namespace tw
