#pragma once
// The holdings chart: how many keeps each realm held on the monitored server after every
// logged change, as three step lines over the last 24 hours, the last 7 days or the whole
// log. It reads the monitored server's log and the cached status document in the program's
// folder when it opens, and again whenever either changes while it is open, so a change the
// main window logs appears without reopening. A document rewritten with the same text, or
// another file of the folder changing, reads nothing again. The history viewer opens it with
//     frmChart chart(AppPath, ReadSetting);
//     chart.showModal(&viewer);

#include <optional>
#include <string>

#include "forms/forms.h"
#include "history/change_detection.h"
#include "history/frm_chart_plot.h"
#include "history/holdings.h"
#include "platform/file_watch.h"
#include "platform/files.h"

namespace tw {

class frmChart : public forms::Form {
public:
    // AppPath: the folder of the logs and the cached document, with one trailing "/".
    // ReadSetting supplies "MonitorServer" (default "None").
    frmChart(std::string AppPath, SettingReader ReadSetting);
    ~frmChart() override;

    // Reads the log and the document again and redraws.
    void RefreshHoldings();
    // The same when the log or the document changed since they were read; a document only
    // rewritten as it was is left as read, and a new document takes the log as read.
    void RefreshIfChanged();

    void cmbRange_Click();
    void cmdClose_Click();

    std::string HistoryServer;
    Holdings Model;

    forms::Label lblHeadLabel;
    forms::Line linHeader;
    HoldingsPlot picHoldings;
    forms::Line linFooter;
    forms::Label lblRange;
    forms::ComboBox cmbRange;
    forms::Label lblLeftOut;
    forms::Button cmdClose;

private:
    void designControls();
    void watchFiles();
    void plot();
    std::string readHistoryServer() const;
    std::string documentPath() const;
    std::optional<platform::FileStamp> logStamp() const;
    // Walks `logText` back from m_document and shows the result.
    void showHoldings(std::string logText);

    std::string m_appPath;
    SettingReader m_readSetting;
    platform::FileWatch m_watcher;
    forms::Timer m_reread;
    // The document as last read, and both files' stamps then.
    std::string m_document;
    bool m_logRead = false;
    std::optional<platform::FileStamp> m_logStamp;
    std::optional<platform::FileStamp> m_documentStamp;
};

}  // namespace tw
