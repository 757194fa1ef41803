#include "history/frm_monitoring.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "forms/file_dialog.h"
#include "history/export_writer.h"
#include "history/frm_chart.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/error_handler.h"
#include "runtime/message_box.h"

namespace tw {

namespace {

const char* const kNoServerMonitored = "No server is being monitored...";
const char* const kFilterChoices[] = {"All", "Midgard", "Albion", "Hibernia"};

void placeLabel(forms::Label& label, const std::string& caption, int left, int top, int width,
                int height) {
    label.move(left, top, width, height);
    label.setCaption(caption);
}

}  // namespace

frmMonitoring::frmMonitoring(std::string AppPath, SettingReader ReadSetting)
    : forms::Form("frmMonitoring"),
      lblHeadLabel(*this, "lblHeadLabel"),
      linHeader(*this, "linHeader"),
      lblBackdrop(*this, "lblBackdrop"),
      ScrollBar(*this, "ScrollBar"),
      lblKeep(*this, "lblKeep"),
      lblWasTakenBy(*this, "lblWasTakenBy"),
      lblNewOwner(*this, "lblNewOwner"),
      lblFrom(*this, "lblFrom"),
      lblOldOwner(*this, "lblOldOwner"),
      lblAt(*this, "lblAt"),
      lblWhen(*this, "lblWhen"),
      linFilters(*this, "linFilters"),
      lblFiltering(*this, "lblFiltering"),
      lblFilterNewOwner(*this, "lblFilterNewOwner"),
      cmbNewOwner(*this, "cmbNewOwner"),
      lblFilterPreviousOwner(*this, "lblFilterPreviousOwner"),
      cmbPreviousOwner(*this, "cmbPreviousOwner"),
      lblFilterLocation(*this, "lblFilterLocation"),
      cmbLocation(*this, "cmbLocation"),
      cmdClose(*this, "cmdClose"),
      cmdChart(*this, "cmdChart"),
      cmdExport(*this, "cmdExport"),
      m_appPath(std::move(AppPath)),
      m_readSetting(std::move(ReadSetting)) {
    designControls();
    connectHandlers();
    Form_Load();
}

frmMonitoring::~frmMonitoring() = default;

void frmMonitoring::designControls() {
    setCaption("Monitoring");
    setClientSize(5865, 3420);
    setBackColor(forms::kWhite);
    setFont(forms::Font{});

    placeLabel(lblHeadLabel, "Server History", 60, 30, 600, 210);
    lblHeadLabel.setFont(forms::boldFont(9));
    lblHeadLabel.setAutoSize(true);
    linHeader.setPoints(-30, 270, 6060, 270);
    placeLabel(lblBackdrop, "", 0, 300, 5595, 2235);
    ScrollBar.move(5580, 330, 225, 2205);
    ScrollBar.setSmallChange(1);
    ScrollBar.setLargeChange(static_cast<int>(kHistoryRows));

    // Row 0 of the seven arrays; later rows are copies made when first needed.
    const std::pair<forms::ControlArray<forms::Label>*, const char*> rowLabels[] = {
        {&lblKeep, "Keep"},       {&lblWasTakenBy, " taken by "}, {&lblNewOwner, "New Owner"},
        {&lblFrom, " from "},     {&lblOldOwner, "Old Owner"},    {&lblAt, " at "},
        {&lblWhen, "When"}};
    for (const auto& [array, caption] : rowLabels) {
        forms::Label& label = (*array)[0];
        placeLabel(label, caption, 60, 360, 600, 195);
        label.setAutoSize(true);
        label.setVisible(false);
    }
    placeRowHorizontally(0);

    linFilters.setPoints(0, 2580, 6090, 2580);
    for (forms::Line* line : {&linHeader, &linFilters}) line->setBorderColor(forms::kRuleGrey);
    placeLabel(lblFiltering, "Filtering:", 60, 2670, 735, 195);
    lblFiltering.setFont(forms::boldFont(8.25));
    const std::pair<forms::Label*, const char*> filterLabels[] = {
        {&lblFilterNewOwner, "&New Owner"},
        {&lblFilterPreviousOwner, "&Previous Owner"},
        {&lblFilterLocation, "&Location"}};
    for (const auto& [label, caption] : filterLabels) {
        label->setUseMnemonic(true);
        label->setCaption(caption);
    }
    lblFilterNewOwner.move(900, 2700, 840, 195);
    lblFilterPreviousOwner.move(3090, 2700, 1140, 195);
    lblFilterLocation.move(1110, 3090, 600, 195);
    cmbNewOwner.move(1800, 2640, 1245, 315);
    cmbPreviousOwner.move(4320, 2640, 1245, 315);
    cmbLocation.move(1800, 3030, 1245, 315);
    for (forms::ComboBox* list : {&cmbNewOwner, &cmbPreviousOwner, &cmbLocation})
        for (const char* choice : kFilterChoices) list->addItem(choice);

    cmdClose.move(4620, 3120, 1215, 255);
    cmdClose.setCaption("&Close");
    cmdClose.setCancel(true);  // Esc closes the viewer, as in the other dialogs
    cmdChart.move(3360, 3120, 1125, 255);
    cmdChart.setCaption("C&hart...");
    cmdExport.move(60, 3120, 975, 255);
    cmdExport.setCaption("&Export...");
    // Tab reads the window top to bottom: the rows' bar, the filters, then the buttons.
    const forms::Control* previous = &ScrollBar;
    for (forms::Control* next : std::initializer_list<forms::Control*>{&cmbNewOwner, &cmbPreviousOwner, &cmbLocation,
                                                                       &cmdExport, &cmdChart, &cmdClose}) {
        next->followInTabOrder(*previous);
        previous = next;
    }
}

void frmMonitoring::connectHandlers() {
    cmbLocation.onClick = [this] { cmbLocation_Click(); };
    cmbNewOwner.onClick = [this] { cmbNewOwner_Click(); };
    cmbPreviousOwner.onClick = [this] { cmbPreviousOwner_Click(); };
    cmdClose.onClick = [this] { cmdClose_Click(); };
    cmdChart.onClick = [this] { cmdChart_Click(); };
    cmdExport.onClick = [this] { cmdExport_Click(); };
    askExportPath = [this] {
        return forms::askSaveFileName(*this, "Export", "CSV files (*.csv);;JSON files (*.json)",
                                      HistoryServer + " history.csv");
    };
    lblBackdrop.onClick = [this] { lblBackdrop_Click(); };
    ScrollBar.onChange = [this] { ScrollBar_Change(); };
}

void frmMonitoring::Form_Load() {
    withErrorHandler("Form Load", [this] {
        // Picking "All" fires the lists' clicks, which do nothing before the tag is set.
        for (forms::ComboBox* list : {&cmbLocation, &cmbNewOwner, &cmbPreviousOwner})
            list->setListIndex(0);
        HistoryServer = readHistoryServer();
        if (HistoryServer == "None") {
            showNothingToList(kNoServerMonitored);
            return;
        }
        lblHeadLabel.setCaption("Server History for " + HistoryServer);
        Events.reset();
        if (logExists()) {
            RefreshEvents();
        } else {
            showNothingToList("No History for " + HistoryServer);
        }
    });
    // The window is usable whatever the last steps do.
    try {
        Tag = "Loaded";
        MakeLines();
    } catch (...) {
    }
}

std::string frmMonitoring::readHistoryServer() const {
    return m_readSetting ? m_readSetting("MonitorServer", "None") : std::string("None");
}

bool frmMonitoring::logExists() const {
    // A name that would lead out of the program's folder has no log of ours.
    return isSafeLogServerName(HistoryServer) &&
           platform::fileExists(EventLogPath(m_appPath, HistoryServer));
}

void frmMonitoring::showNothingToList(const std::string& header) {
    lblHeadLabel.setCaption(header);
    for (forms::Control* control :
         std::initializer_list<forms::Control*>{&ScrollBar, &lblFiltering, &lblFilterNewOwner,
                                                &lblFilterPreviousOwner, &lblFilterLocation,
                                                &cmbLocation, &cmbNewOwner, &cmbPreviousOwner,
                                                &cmdExport})
        control->setEnabled(false);
}

HistoryFilters frmMonitoring::currentFilters() const {
    return HistoryFilters{cmbNewOwner.text(), cmbPreviousOwner.text(), cmbLocation.text()};
}

bool frmMonitoring::PassFilters(std::size_t Index) const {
    if (Index >= Events.size()) return false;
    return ::tw::PassFilters(Events[Index], currentFilters());
}

void frmMonitoring::RefreshEvents() {
    HistoryServer = readHistoryServer();
    for (int i : lblKeep.indexes())
        forEachRowLabel(i, [](forms::Label& label) { label.setVisible(false); });

    if (!readMatchingEvents()) {
        // The log went away (or the monitored server changed) while the window was open:
        // say so, as on loading, rather than fail.
        showNothingToList(HistoryServer == "None" ? std::string(kNoServerMonitored)
                                                  : "No History for " + HistoryServer);
        MakeLines();
        return;
    }
    lblHeadLabel.setCaption("Server History for " + HistoryServer);

    if (Events.empty()) {
        forms::Label& first = lblKeep[0];
        first.setCaption("No matches for filter");
        first.setForeColor(forms::kBlack);
        first.setVisible(true);
        ScrollBar.setEnabled(false);
        MakeLines();
        return;
    }

    const std::size_t filled = std::min(kHistoryRows, Events.size());
    for (std::size_t i = 0; i < filled; ++i) FillRow(static_cast<int>(i), SortedEvents(i));

    const HistoryScrollRange range = scrollRangeFor(Events.size());
    if (!range.enabled) {
        ScrollBar.setEnabled(false);
    } else {
        // In this order: a value pulled down by the new maximum, or reset to 0, refills the
        // rows through the change handler.
        ScrollBar.setEnabled(true);
        ScrollBar.setMin(range.minimum);
        ScrollBar.setMax(range.maximum);
        ScrollBar.setValue(0);
    }
    MakeLines();
}

bool frmMonitoring::readMatchingEvents() {
    Events.reset();
    std::optional<std::string> logText = readEventLogText(m_appPath, HistoryServer);
    if (!logText) return false;
    Events.reset(std::move(*logText));

    const HistoryFilters filters = currentFilters();
    forEachEventLine(Events.text(), [&](const HistoryEventView& event, std::string_view line) {
        if (::tw::PassFilters(event, filters)) Events.add(event, line);
    });
    return true;
}

void frmMonitoring::filterChanged(const char* procedure) {
    if (Tag != "Loaded") return;
    withErrorHandler(procedure, [this] { RefreshEvents(); });
}

void frmMonitoring::cmbLocation_Click() { filterChanged("cmbLocation_Click"); }
void frmMonitoring::cmbNewOwner_Click() { filterChanged("cmbNewOwner_Click"); }
void frmMonitoring::cmbPreviousOwner_Click() { filterChanged("cmbPreviousOwner_Click"); }

void frmMonitoring::cmdClose_Click() { close(); }

void frmMonitoring::cmdChart_Click() {
    withErrorHandler("cmdChart_Click", [this] {
        frmChart chart(m_appPath, m_readSetting);
        chart.showModal(this);
    });
}

void frmMonitoring::cmdExport_Click() {
    withErrorHandler("cmdExport_Click", [this] {
        const std::optional<std::string> path = askExportPath ? askExportPath() : std::nullopt;
        if (!path) return;
        // The rows of the last refresh: what the window shows under the filters as they stand.
        const std::optional<ExportFormat> format = exportFormatFor(*path);
        if (!format) {
            MsgBox("Export writes .csv or .json files; nothing was written to " + *path + ".",
                   kMbExclamation, "Export");
            return;
        }
        const std::string text = exportText(Events.views(), *format, platform::processFacts().datePatterns());
        if (!platform::writeFileAtomically(*path, text))
            MsgBox("Could not write " + *path + "; nothing was changed there.", kMbCritical, "Export");
    });
}

void frmMonitoring::lblBackdrop_Click() {
    if (ScrollBar.enabled()) ScrollBar.setFocus();
}

}  // namespace tw
