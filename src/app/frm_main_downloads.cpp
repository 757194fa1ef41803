// The main window's two downloads: the status document on Sock and the location list on
// FetchVexlor. Both send one request when connected, feed every arrival to a reply reader
// and act once on its outcome. A finished body replaces its file atomically, so a broken,
// abandoned or unsaved reply leaves the previous copy exactly as it was.
#include "app/frm_main.h"

#include "net/http_requests.h"
#include "net/location_list.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/conversions.h"
#include "runtime/general_date.h"
#include "runtime/message_box.h"
#include "runtime/runtime_error.h"
#include "settings/settings_store.h"

namespace tw {
namespace {

constexpr const char* kStatusFile = "server-info.xml";
constexpr const char* kCrLf = "\r\n";

std::string currentMakerHost() { return makerWebHost(ReadSetting("LocationHost", "")); }

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
    }
    if (!FetchVexlor) {
        FetchVexlor = std::make_unique<CSocket>();
        FetchVexlor->OnConnect = [this] { FetchVexlor_OnConnect(); };
        FetchVexlor->OnDataArrival = [this](std::int32_t bytesTotal) { FetchVexlor_OnDataArrival(bytesTotal); };
        FetchVexlor->OnClose = [this] { FetchVexlor_OnClose(); };
    }
}

void frmMain::Update() {
    createSockets();
    // On a first run the location list is still on its way: the update waits for it
    // instead of failing, and starts as soon as the list has been saved.
    if (m_listFetchPending && chosenLocation(HostServers).empty()) {
        m_updateAfterList = true;
        return;
    }
    const Location location = splitLocation(chosenLocation(HostServers));
    const HostAndPort target = splitHostPort(location.host);
    // An earlier download still under way ends here for good: its socket is dropped by the
    // new Connect and whatever it left unread is thrown away, so nothing of it reaches the
    // new reply.
    Sock->CloseSocket();
    std::string leftOver;
    Sock->GetData(leftOver);
    m_sockReply.reset();
    m_sockSettled = true;
    lblServerInfo.setCaption("Connecting...");
    Sock->RemoteHost(target.name);
    Sock->RemotePort(target.port);
    Sock->Connect();
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
    m_sockReply.reset();
    m_sockSettled = false;
    lblServerInfo.setCaption("Sending request...");
    const Location location = splitLocation(chosenLocation(HostServers));
    Sock->SendData(statusRequest(location, currentMakerHost()));
}

void frmMain::Sock_OnDataArrival(std::int32_t) {
    std::string arrived;
    Sock->GetData(arrived);
    if (m_sockSettled) return;
    const ReplyStep step = m_sockReply.feed(arrived);
    if (!step.caption.empty()) lblServerInfo.setCaption(step.caption);
    if (step.progress == ReplyProgress::NeedMore) return;
    m_sockSettled = true;
    if (step.progress == ReplyProgress::Complete) statusBodyComplete();
    else Sock->CloseSocket();
}

void frmMain::Sock_OnClose() {
    try {
        Sock->CloseSocket();
    } catch (const RuntimeError& e) {
        MsgBox("Error in SockClose sub: \"\"\r\n#" + std::to_string(e.number()) + " " + e.description(),
               kMbCritical, "Error!");
        lblServerInfo.setCaption(std::string(kCaptionUpdateFailed));
    }
    if (m_sockSettled) return;
    // A reply that names no length ends with the connection; any other reply that ends here
    // is incomplete and is dropped, its last progress text staying on the status line.
    const ReplyStep step = m_sockReply.peerClosed();
    m_sockSettled = true;
    if (!step.caption.empty()) lblServerInfo.setCaption(step.caption);
    if (step.progress == ReplyProgress::Complete) statusBodyComplete();
}

void frmMain::statusBodyComplete() {
    Sock->CloseSocket();
    std::string body = m_sockReply.takeBody();
    if (!platform::writeFileAtomically(AppPath + kStatusFile, body + kCrLf)) {
        // Without a saved copy the document is not taken either, so the cache and the screen
        // never disagree; the next update tries again.
        lblServerInfo.setCaption(std::string(kCaptionUpdateFailed));
        return;
    }
    lblServerInfo.setCaption("Update complete");
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
    const HostAndPort maker = splitHostPort(currentMakerHost());
    FetchVexlor->CloseSocket();
    std::string leftOver;
    FetchVexlor->GetData(leftOver);
    m_fetchReply.reset();
    m_fetchSettled = true;
    m_listFetchPending = true;
    FetchVexlor->Connect(maker.name, maker.port);
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
    m_fetchReply.reset();
    m_fetchSettled = false;
    lblServerInfo.setCaption("Updating XML Locations");
    FetchVexlor->SendData(locationListRequest(currentMakerHost()));
}

void frmMain::FetchVexlor_OnDataArrival(std::int32_t) {
    std::string arrived;
    FetchVexlor->GetData(arrived);
    if (m_fetchSettled) return;
    const ReplyStep step = m_fetchReply.feed(arrived);
    if (!step.caption.empty()) lblServerInfo.setCaption(step.caption);
    if (step.progress == ReplyProgress::NeedMore) return;
    m_fetchSettled = true;
    m_listFetchPending = false;
    if (step.progress == ReplyProgress::Complete) locationBodyComplete();
    else FetchVexlor->CloseSocket();
}

void frmMain::FetchVexlor_OnClose() {
    FetchVexlor->CloseSocket();
    if (m_fetchSettled) return;
    const ReplyStep step = m_fetchReply.peerClosed();
    m_fetchSettled = true;
    m_listFetchPending = false;
    if (!step.caption.empty()) lblServerInfo.setCaption(step.caption);
    if (step.progress == ReplyProgress::Complete) locationBodyComplete();
}

void frmMain::locationBodyComplete() {
    FetchVexlor->CloseSocket();
    const std::string body = m_fetchReply.takeBody();
    if (!platform::writeFileAtomically(AppPath + std::string(kLocationListFile), body + kCrLf)) {
        // Reloading now would find the old list (or none, and fetch again and again).
        lblServerInfo.setCaption(std::string(kCaptionUpdateFailed));
        return;
    }
    lblServerInfo.setCaption("XML Locations Updated");
    ReloadHostServers();
    if (m_updateAfterList) {
        m_updateAfterList = false;
        UpdateFromEvent();
    }
}

}  // namespace tw
