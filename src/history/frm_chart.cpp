#include "history/frm_chart.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/services.h"
#include "runtime/error_handler.h"
#include "runtime/local_zone.h"

namespace tw {

namespace {

const char* const kRanges[] = {"Last 24 hours", "Last 7 days", "Everything"};
constexpr int kEverything = 2;
// Several writes in a row (a document and the changes it logged) make one reread.
constexpr int kRereadDelayMs = 150;

std::string leftOutText(const Holdings& holdings) {
    std::string text;
    if (holdings.unfitLines > 0)
        text = std::to_string(holdings.unfitLines) + " log lines left out: they do not fit today's keeps";
    if (holdings.undatedLines > 0)
        text += (text.empty() ? "" : "; ") + std::to_string(holdings.undatedLines) + " without a readable date";
    return text;
}

}  // namespace

frmChart::frmChart(std::string AppPath, SettingReader ReadSetting)
    : forms::Form("frmChart"),
      lblHeadLabel(*this, "lblHeadLabel"),
      linHeader(*this, "linHeader"),
      picHoldings(*this, "picHoldings"),
      linFooter(*this, "linFooter"),
      lblRange(*this, "lblRange"),
      cmbRange(*this, "cmbRange"),
      lblLeftOut(*this, "lblLeftOut"),
      cmdClose(*this, "cmdClose"),
      m_appPath(std::move(AppPath)),
      m_readSetting(std::move(ReadSetting)),
      m_watcher([this] {
          m_reread.setInterval(kRereadDelayMs);
          m_reread.setEnabled(true);
      }),
      m_reread(*this, "tmrReread") {
    designControls();
    cmbRange.onClick = [this] { cmbRange_Click(); };
    cmdClose.onClick = [this] { cmdClose_Click(); };
    // One tick per burst of changes: each change starts the count again.
    m_reread.setEnabled(false);
    m_reread.onTimer = [this] {
        m_reread.setEnabled(false);
        withErrorHandler("RefreshHoldings", [this] { RefreshIfChanged(); });
    };
    withErrorHandler("Form Load", [this] {
        cmbRange.setListIndex(kEverything);
        RefreshHoldings();
    });
}

frmChart::~frmChart() = default;

void frmChart::designControls() {
    setCaption("Holdings");
    setClientSize(9600, 5700);
    setBackColor(forms::kWhite);
    setFont(forms::Font{});

    lblHeadLabel.move(60, 30, 600, 210);
    lblHeadLabel.setFont(forms::boldFont(9));
    lblHeadLabel.setAutoSize(true);
    linHeader.setPoints(-30, 270, 9660, 270);
    picHoldings.move(0, 300, 9600, 4560);
    linFooter.setPoints(0, 4890, 9660, 4890);
    for (forms::Line* line : {&linHeader, &linFooter}) line->setBorderColor(forms::kRuleGrey);

    lblRange.move(60, 5130, 540, 195);
    lblRange.setUseMnemonic(true);
    lblRange.setCaption("&Show");
    cmbRange.move(600, 5070, 1800, 315);
    for (const char* range : kRanges) cmbRange.addItem(range);
    lblLeftOut.move(2520, 5130, 5600, 195);
    lblLeftOut.setForeColor(forms::rgb(96, 96, 96));
    cmdClose.move(8325, 5100, 1215, 255);
    cmdClose.setCaption("&Close");
    cmdClose.setCancel(true);
}

std::string frmChart::readHistoryServer() const {
    return m_readSetting ? m_readSetting("MonitorServer", "None") : std::string("None");
}

std::string frmChart::documentPath() const { return m_appPath + platform::kStatusFile; }

std::optional<platform::FileStamp> frmChart::logStamp() const {
    if (HistoryServer == "None" || !isSafeLogServerName(HistoryServer)) return std::nullopt;
    return platform::fileStamp(EventLogPath(m_appPath, HistoryServer));
}

void frmChart::RefreshHoldings() {
    // What was shown goes first, so a long log is not held twice while it is read again.
    (void)std::exchange(Model, Holdings{});
    HistoryServer = readHistoryServer();
    // Stamps before reading: a file changed meanwhile has another stamp at the next look.
    m_logStamp = logStamp();
    m_documentStamp = platform::fileStamp(documentPath());
    std::optional<std::string> log = readEventLogText(m_appPath, HistoryServer);
    m_logRead = log.has_value();
    m_document = platform::readWholeFile(documentPath()).value_or("");
    showHoldings(log ? std::move(*log) : std::string());
}

void frmChart::RefreshIfChanged() {
    // The folder also tells of files the chart does not show (a settings file, another
    // server's log, a temporary file on its way to replace the document).
    if (readHistoryServer() != HistoryServer || logStamp() != m_logStamp) {
        RefreshHoldings();
        return;
    }
    const std::optional<platform::FileStamp> stamp = platform::fileStamp(documentPath());
    if (stamp != m_documentStamp) {
        m_documentStamp = stamp;
        std::string document = platform::readWholeFile(documentPath()).value_or("");
        // Every download rewrites the document, most often with the text it had.
        if (document != m_document) {
            m_document = std::move(document);
            std::string log = std::move(Model.logText);
            (void)std::exchange(Model, Holdings{});
            showHoldings(std::move(log));
            return;
        }
    }
    watchFiles();
}

void frmChart::showHoldings(std::string logText) {
    const platform::ProcessFacts& facts = platform::processFacts();
    Model = holdingsOverTime(m_document, HistoryServer, std::move(logText), GeneralDateReader(facts.datePatterns()));
    if (HistoryServer == "None")
        lblHeadLabel.setCaption("No server is being monitored...");
    else if (!m_logRead)
        lblHeadLabel.setCaption("No History for " + HistoryServer);
    else
        lblHeadLabel.setCaption("Keeps held on " + HistoryServer);
    lblLeftOut.setCaption(leftOutText(Model));
    watchFiles();
    plot();
}

void frmChart::watchFiles() {
    // The folder tells of a log that is created or a document that is replaced; the log
    // itself tells of lines appended to it. Paths go to the system as the bytes they are.
    std::vector<std::string> wanted = {m_appPath};
    if (isSafeLogServerName(HistoryServer)) wanted.push_back(EventLogPath(m_appPath, HistoryServer));
    for (const std::string& path : wanted) m_watcher.watch(path);
}

void frmChart::plot() {
    const platform::ProcessFacts& facts = platform::processFacts();
    const ChartRange range = static_cast<ChartRange>(std::max(0, cmbRange.listIndex()));
    picHoldings.setHoldings(&Model, chartSpan(Model, range, zonedSecondsOf(facts.now())), facts.datePatterns());
}

void frmChart::cmbRange_Click() {
    withErrorHandler("cmbRange_Click", [this] { plot(); });
}

void frmChart::cmdClose_Click() { close(); }

}  // namespace tw
