#pragma once
// The history viewer: the monitored server's ownership events read back from its log,
// newest first, ten rows at a time under a scroll bar, filtered by the place's realm, the
// new owner and the previous owner, with a line wherever the calendar day changes.
//
// Loading happens in the constructor; the window reads the log then and on every filter
// change and keeps nothing after it closes. The main window opens it with
//     frmMonitoring viewer(AppPath, ReadSetting);
//     viewer.showModal(&main);
// A log that cannot be read shows "No History for <server>" and disables the filters; no
// handler lets a failure escape into the event loop.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "forms/forms.h"
#include "history/change_detection.h"
#include "history/event_log.h"
#include "history/event_rows.h"
#include "history/history_filter.h"

namespace tw {

class frmMonitoring : public forms::Form {
public:
    // AppPath: the folder of the logs, with one trailing "/". ReadSetting supplies
    // "MonitorServer" (default "None"), read on loading and at every refresh.
    frmMonitoring(std::string AppPath, SettingReader ReadSetting);
    ~frmMonitoring() override;

    // Rereads the log and rebuilds the rows: the ten newest matching events, the scroll bar
    // at 0, the day lines.
    void RefreshEvents();
    // Clears the surface and draws a line above each shown row that starts an older day.
    void MakeLines();
    // Events(Index) passes the three filters as they currently stand.
    bool PassFilters(std::size_t Index) const;
    // Row Index has been created (false, never an error, for any other index).
    bool RowExists(int Index) const;
    // The matching events newest first: SortedEvents(k) is Events(n - 1 - k).
    HistoryEventView SortedEvents(std::size_t k) const;

    // Handlers.
    void cmbLocation_Click();
    void cmbNewOwner_Click();
    void cmbPreviousOwner_Click();
    void cmdClose_Click();
    void cmdChart_Click();
    // Writes the events the filters let through, newest first, to a .csv or .json file.
    void cmdExport_Click();
    void lblBackdrop_Click();
    void ScrollBar_Change();

    // The server whose log is shown.
    std::string HistoryServer;
    // The events of the last refresh that passed the filters, oldest first, with the log
    // text that refresh read, which the window keeps until the next one.
    EventRows Events;
    // "Loaded" once loading has finished; until then the filters and scroll bar do nothing.
    std::string Tag;

    // --- controls, in the order they are stacked (later ones on top) ---
    forms::Label lblHeadLabel;
    forms::Line linHeader;
    forms::Label lblBackdrop;
    forms::ScrollBar ScrollBar;
    forms::ControlArray<forms::Label> lblKeep;
    forms::ControlArray<forms::Label> lblWasTakenBy;
    forms::ControlArray<forms::Label> lblNewOwner;
    forms::ControlArray<forms::Label> lblFrom;
    forms::ControlArray<forms::Label> lblOldOwner;
    forms::ControlArray<forms::Label> lblAt;
    forms::ControlArray<forms::Label> lblWhen;
    forms::Line linFilters;
    forms::Label lblFiltering;
    forms::Label lblFilterNewOwner;
    forms::ComboBox cmbNewOwner;
    forms::Label lblFilterPreviousOwner;
    forms::ComboBox cmbPreviousOwner;
    forms::Label lblFilterLocation;
    forms::ComboBox cmbLocation;
    forms::Button cmdClose;
    forms::Button cmdChart;
    forms::Button cmdExport;

    // Asks where to export to; nothing when the user cancels. The save dialog unless
    // replaced (tests answer it themselves).
    std::function<std::optional<std::string>()> askExportPath;

private:
    void designControls();
    void connectHandlers();
    void Form_Load();
    std::string readHistoryServer() const;
    // The log may be opened: the name stays inside the program's folder and the file exists.
    bool logExists() const;
    // Header text and the eight filter controls for a window with nothing to show.
    void showNothingToList(const std::string& header);
    void filterChanged(const char* procedure);
    HistoryFilters currentFilters() const;

    // Row filling: a refresh creates, stacks and shows rows; scrolling only refills them.
    void FillRow(int i, const HistoryEventView& event);
    void ScrollRow(int i, const HistoryEventView& event);
    void setRowTexts(int i, const HistoryEventView& event);
    void colourOwners(int i);
    void placeRowHorizontally(int i);
    void forEachRowLabel(int i, const std::function<void(forms::Label&)>& apply);

    // Reads the log and keeps the events that pass the filters in Events.
    bool readMatchingEvents();

    std::string m_appPath;
    SettingReader m_readSetting;
};

}  // namespace tw
