#pragma once
// The herald watch: the downloads of one update, without a window. It owns both socket
// objects, the status download on Sock and the location list fetch on FetchVexlor, the
// location-list fallback, the location entries and the document text. Each download hears
// its own socket; what the window must show or do comes out through WatchListener.
//
// A finished body replaces its file atomically, so a broken, abandoned, non-2xx or unsaved
// reply leaves the previous copy exactly as it was.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "alerts/logged_change.h"
#include "alerts/stale_watch.h"
#include "history/change_detection.h"
#include "net/c_socket.h"
#include "platform/command_runner.h"
#include "net/download.h"

namespace tw {

// What the watch tells the window.
class WatchListener {
public:
    virtual ~WatchListener() = default;
    // A new text for the status line.
    virtual void statusText(const std::string& caption) = 0;
    // The stale watch heard of a failed or completed update or of time passing: the window
    // shows whether the data is stale (`turn` says when that just changed).
    virtual void staleness(StaleWatch::Turn turn) = 0;
    // An update completed at `lastUpdate` (the text shown beside "Last Updated:"), after the
    // stale watch heard of it and before its document is taken.
    virtual void updateCompleted(const std::string& lastUpdate) = 0;
    // XMLData holds the new document: log its changes and show it. True when the server
    // list it gave shows no server at all.
    virtual bool documentTaken() = 0;
    // DoSwitchOff logged these changes of the monitored server (before their commands run).
    virtual void changesLogged(const std::vector<LoggedChange>& changes) = 0;
};

class HeraldWatch {
public:
    // `appPath` is the program folder, filled in at start-up; both outlive the watch.
    HeraldWatch(const std::string& appPath, WatchListener& listener);
    ~HeraldWatch();

    // How long a download may go without receiving a byte before it times out.
    void setDownloadIdleLimit(std::chrono::milliseconds limit);

    // Makes both socket objects and their downloads (once; kept for the run).
    void createSockets();
    // Starts a status download of the chosen server set, or the location list first when
    // there is no location yet. Raises what the location entry's checks raise.
    void Update();
    // Update for a click or a timer tick: a download that cannot start says so on the
    // status line. `update` is the Update to run (the window's, which may be overridden).
    void UpdateFromEvent(const std::function<void()>& update);
    void ReloadHostServers();
    // Compares XMLData with the document before for `MonitorServer` and logs its changes;
    // the outcome carries the flash that follows from `flash`, for the window to show.
    // The player's on-change command runs once per logged change.
    SwitchOffOutcome DoSwitchOff(const std::string& MonitorServer, const FlashState& flash);
    // Forgets the documents compared so far (a fresh start).
    void forgetOwnership() { m_ownership = OwnershipTracker{}; }

    // How long the shown document has gone without a completed update.
    const StaleWatch& staleWatch() const { return m_staleWatch; }
    // Counts afresh from now (start-up).
    void restartStaleWatch();
    void setUpdatePeriod(int minutes) { m_staleWatch.setUpdatePeriod(minutes); }
    // A tick of the update timer: the data may have turned stale meanwhile.
    void timePassed() { m_listener.staleness(m_staleWatch.timePassed()); }

    // The current status document.
    std::string XMLData;
    // Status-document location per server set, from the location list.
    std::vector<std::string> HostServers;
    std::unique_ptr<CSocket> Sock;
    std::unique_ptr<CSocket> FetchVexlor;

private:
    // The socket objects' handlers.
    void Sock_OnConnect();
    void Sock_OnError(const std::string& Description);
    void FetchVexlor_OnConnect();
    void FetchVexlor_OnError(const std::string& Description);

    void UpdateFromEvent() { UpdateFromEvent([this] { Update(); }); }
    void fetchLocationList();
    void statusStep(const ReplyStep& step);
    void listStep(const ReplyStep& step);
    void statusBodyComplete();
    void locationBodyComplete();
    void listFetchFailed(const std::string& caption);
    // An update ended without a new document.
    void updateFailed();

    const std::string& m_appPath;
    WatchListener& m_listener;
    // Snapshots of the monitored server's keeps, kept for the run.
    OwnershipTracker m_ownership;
    platform::CommandRunner m_changeCommands;
    StaleWatch m_staleWatch;
    std::unique_ptr<Download> m_statusDownload;
    std::unique_ptr<Download> m_listDownload;
    std::chrono::milliseconds m_downloadIdleLimit = Download::kIdleLimit;
    // An update waits for the location list fetch under way.
    bool m_updateAfterList = false;
    // The caption of a status download that failed and started a list fetch, shown again
    // when that fetch sends it nowhere new.
    std::string m_statusFailure;
};

}  // namespace tw
