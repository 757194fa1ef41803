#include "history/frm_monitoring.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "forms_probe.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/message_box.h"
#include "temp_folder.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

constexpr forms::Colour kBlue = forms::rgb(0, 0, 128);
constexpr forms::Colour kRed = forms::rgb(128, 0, 0);
constexpr forms::Colour kGreen = forms::rgb(0, 128, 0);

std::string record(const std::string& place, const std::string& newOwner,
                   const std::string& oldOwner, const std::string& when) {
    return place + "," + newOwner + "," + oldOwner + "," + when + "\r\n";
}

// `count` events on one day, "Caer Row 1" oldest; the later ones written later in the day.
std::string numberedLog(int count) {
    std::string text;
    for (int k = 1; k <= count; ++k)
        text += record("Caer Row " + std::to_string(k), "Midgard", "Albion",
                       "7/23/2003 1:" + std::to_string(10 + k) + ":00 PM");
    return text;
}

class Viewer : public ::testing::Test {
protected:
    void writeLog(const std::string& server, const std::string& text) {
        std::ofstream(EventLogPath(m_appPath, server), std::ios::binary | std::ios::app) << text;
    }
    std::unique_ptr<frmMonitoring> open(const std::string& server) {
        m_monitored = server;
        return std::make_unique<frmMonitoring>(m_appPath, [this](const std::string& name,
                                                                 const std::string& fallback) {
            ++m_settingReads;
            return name == "MonitorServer" ? m_monitored : fallback;
        });
    }
    // Clicks "Export..." answering the file dialog with `name` in the program folder; the
    // file written, or "(no file)".
    std::string exportAs(frmMonitoring& v, const std::string& name) {
        v.askExportPath = [this, name] { return std::optional<std::string>(m_appPath + name); };
        v.cmdExport.click();
        return platform::readWholeFile(m_appPath + name).value_or("(no file)");
    }
    static int visibleRows(const frmMonitoring& v) {
        int rows = 0;
        for (int i : v.lblKeep.indexes()) rows += v.lblKeep[i].visible() ? 1 : 0;
        return rows;
    }
    static std::vector<testing::Line> linesOf(const frmMonitoring& v) { return testing::drawnLines(v); }
    static void expectFiltersDisabled(const frmMonitoring& v) {
        for (const forms::Control* c : std::initializer_list<const forms::Control*>{
                 &v.ScrollBar, &v.lblFiltering, &v.lblFilterNewOwner, &v.lblFilterPreviousOwner,
                 &v.lblFilterLocation, &v.cmbLocation, &v.cmbNewOwner, &v.cmbPreviousOwner})
            EXPECT_FALSE(c->enabled()) << c->name();
    }

    platform::ScopedServices m_services;
    ScopedMessageBoxRecorder m_boxes;
    testing::TempFolder m_folder;
    std::string m_appPath = m_folder.slashed();
    std::string m_monitored;
    int m_settingReads = 0;
};

TEST_F(Viewer, NothingToShowSaysWhyAndDisablesTheFilters) {
    auto none = open("None");
    EXPECT_EQ(none->lblHeadLabel.caption(), "No server is being monitored...");
    expectFiltersDisabled(*none);
    EXPECT_EQ(visibleRows(*none), 0);
    EXPECT_EQ(none->Tag, "Loaded");
    none->show();
    none->cmdClose.click();
    EXPECT_FALSE(none->isShown());

    auto missing = open("Stone Bridge");
    EXPECT_EQ(missing->lblHeadLabel.caption(), "No History for Stone Bridge");
    expectFiltersDisabled(*missing);

    // A name leading out of the program's folder never reaches a file there.
    std::ofstream(m_appPath + "secret.log") << record("Caer A", "Midgard", "Albion", "7/23/2003");
    fs::create_directory(m_appPath + "sub");
    auto escaping = open("sub/../secret");
    EXPECT_EQ(escaping->lblHeadLabel.caption(), "No History for sub/../secret");
    EXPECT_TRUE(m_boxes.calls.empty());
}

TEST_F(Viewer, LoadingReadsTheLogOnceAndShowsRowsNewestFirstAsOneSentence) {
    writeLog("Stone Bridge", record("Grimfell Faste", "Hibernia", "Midgard", "7/23/2003 1:00:00 PM") +
                                 "broken,line,only\r\n" +
                                 record("Dun Mellow", "Albion", "Hibernia", "7/23/2003 2:00:00 PM") +
                                 record("Caer Ashwold", "Midgard", "Albion", "7/23/2003 3:00:00 PM"));
    auto v = open("Stone Bridge");
    // Once on loading and once in its refresh: picking "All" while loading refreshes nothing.
    EXPECT_EQ(m_settingReads, 2);
    EXPECT_EQ(v->lblHeadLabel.caption(), "Server History for Stone Bridge");
    ASSERT_EQ(visibleRows(*v), 3);
    EXPECT_EQ(v->lblKeep[0].caption(), "Caer Ashwold");
    EXPECT_EQ(v->lblKeep[2].caption(), "Grimfell Faste");
    EXPECT_EQ(v->lblWhen[1].caption(), "7/23/2003 2:00:00 PM");
    EXPECT_EQ(v->lblKeep[0].foreColor(), kRed);
    EXPECT_EQ(v->lblKeep[2].foreColor(), kBlue);
    EXPECT_EQ(v->lblNewOwner[0].foreColor(), kBlue);
    EXPECT_EQ(v->lblOldOwner[0].foreColor(), kRed);
    EXPECT_EQ(v->lblNewOwner[2].foreColor(), kGreen);

    for (int i = 0; i < 3; ++i) {
        const forms::Label* row[] = {&v->lblKeep[i], &v->lblWasTakenBy[i], &v->lblNewOwner[i], &v->lblFrom[i],
                                     &v->lblOldOwner[i], &v->lblAt[i], &v->lblWhen[i]};
        for (int k = 1; k < 7; ++k) {
            EXPECT_EQ(row[k]->left(), row[k - 1]->left() + row[k - 1]->width()) << i << k;
            EXPECT_EQ(row[k]->top(), row[0]->top());
            EXPECT_GT(row[k]->width(), 0);
        }
    }
    EXPECT_GT(v->lblKeep[1].top(), v->lblKeep[0].top() + v->lblKeep[0].height());
    EXPECT_EQ(v->lblWasTakenBy[1].caption(), " taken by ");
}

TEST_F(Viewer, TenEventsFitElevenScrollByOne) {
    writeLog("Ten", numberedLog(10));
    auto ten = open("Ten");
    EXPECT_EQ(visibleRows(*ten), 10);
    EXPECT_FALSE(ten->ScrollBar.enabled());
    EXPECT_EQ(ten->lblKeep[9].caption(), "Caer Row 1");
    EXPECT_LT(ten->lblKeep[9].top() + ten->lblKeep[9].height(), 2580);

    writeLog("Eleven", numberedLog(11));
    auto v = open("Eleven");
    EXPECT_TRUE(v->ScrollBar.enabled());
    EXPECT_EQ(v->ScrollBar.max(), 1);
    EXPECT_EQ(v->lblKeep[0].caption(), "Caer Row 11");
    EXPECT_FALSE(v->RowExists(10));

    v->ScrollBar.setValue(1);
    EXPECT_EQ(v->lblKeep[0].caption(), "Caer Row 10");
    EXPECT_EQ(v->lblKeep[9].caption(), "Caer Row 1");

    // A refresh always ends back at the ten newest with the scroll value at 0.
    writeLog("Eleven", numberedLog(12).substr(numberedLog(11).size()));
    v->cmbNewOwner.setListIndex(1);
    EXPECT_EQ(v->ScrollBar.max(), 2);
    EXPECT_EQ(v->ScrollBar.value(), 0);
    EXPECT_EQ(v->lblKeep[0].caption(), "Caer Row 12");
    EXPECT_EQ(v->lblKeep[9].caption(), "Caer Row 3");
}

TEST_F(Viewer, LocationFilterNarrowsTheListAndColoursOnlyDunWithASpace) {
    writeLog("Mix", record("Dunmore", "Midgard", "Hibernia", "7/23/2003 1:00:00 PM") +
                        record("Dun Mellow", "Albion", "Hibernia", "7/23/2003 2:00:00 PM") +
                        record("Caer Ashwold", "Hibernia", "Albion", "7/23/2003 3:00:00 PM") +
                        record("Grimfell Faste", "Albion", "Midgard", "7/23/2003 4:00:00 PM"));
    auto v = open("Mix");
    v->cmbLocation.setListIndex(3);  // Hibernia
    ASSERT_EQ(visibleRows(*v), 2);
    EXPECT_EQ(v->lblKeep[0].caption(), "Dun Mellow");
    EXPECT_EQ(v->lblKeep[0].foreColor(), kGreen);
    // The filter takes "Dun" without a space; the green colour needs "Dun ".
    EXPECT_EQ(v->lblKeep[1].caption(), "Dunmore");
    EXPECT_EQ(v->lblKeep[1].foreColor(), forms::kBlack);
}

TEST_F(Viewer, ScrollingBlackensOnlyKeepPlacesAndNoMatchSaysSoInPlaceOfAFullList) {
    std::string log = record("Windmere Tower", "Albion", "Midgard", "7/23/2003 1:00:00 PM") +
                      record("Thornwall Keep", "Albion", "Midgard", "7/23/2003 1:01:00 PM");
    log += numberedLog(10);
    writeLog("Scroll", log);
    auto v = open("Scroll");
    v->ScrollBar.setValue(2);
    // Row 8 was red ("Caer"), row 9 too; scrolling makes the "Keep" black, the tower stays red.
    EXPECT_EQ(v->lblKeep[9].caption(), "Windmere Tower");
    EXPECT_EQ(v->lblKeep[9].foreColor(), kRed);
    EXPECT_EQ(v->lblKeep[8].caption(), "Thornwall Keep");
    EXPECT_EQ(v->lblKeep[8].foreColor(), forms::kBlack);

    v->cmbPreviousOwner.setListIndex(3);  // from Hibernia: nothing
    EXPECT_EQ(visibleRows(*v), 1);
    EXPECT_EQ(v->lblKeep[0].caption(), "No matches for filter");
    EXPECT_EQ(v->lblKeep[0].foreColor(), forms::kBlack);
    EXPECT_FALSE(v->lblWhen[0].visible());
    EXPECT_FALSE(v->ScrollBar.enabled());
    EXPECT_TRUE(linesOf(*v).empty());
}

TEST_F(Viewer, OneSeparatorAboveTheFirstRowOfAnOlderDayThatSurvivesARepaint) {
    writeLog("Days", record("Caer A", "Midgard", "Albion", "7/22/2003 11:00:00 PM") +
                         record("Caer B", "Midgard", "Albion", "7/22/2003 11:30:00 PM") +
                         record("Caer C", "Midgard", "Albion", "7/23/2003") +
                         record("Caer D", "Midgard", "Albion", "7/23/2003 9:00:00 AM"));
    auto v = open("Days");
    const auto lines = linesOf(*v);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].y1, v->lblWhen[2].top());
    const int y = forms::twipsToPixels(lines[0].y1);
    const int x = forms::twipsToPixels(5550);  // right of the text, left of the scroll bar
    EXPECT_EQ(testing::shownPixel(*v, x, y), forms::kBlack);
    testing::repaintNow(*v);
    EXPECT_EQ(testing::shownPixel(*v, x, y), forms::kBlack);

    v->cmbNewOwner.setListIndex(3);  // nothing left: the old line goes
    EXPECT_NE(testing::shownPixel(*v, x, y), forms::kBlack);
}

TEST_F(Viewer, LogGoneOrServerSwitchedOffDuringARefreshShowsNoHistory) {
    writeLog("Stone Bridge", numberedLog(3));
    auto v = open("Stone Bridge");
    ASSERT_EQ(visibleRows(*v), 3);
    fs::remove(EventLogPath(m_appPath, "Stone Bridge"));
    v->cmbLocation.setListIndex(2);
    EXPECT_EQ(v->lblHeadLabel.caption(), "No History for Stone Bridge");
    expectFiltersDisabled(*v);
    EXPECT_EQ(visibleRows(*v), 0);
    EXPECT_TRUE(m_boxes.calls.empty());

    writeLog("Other", numberedLog(2));
    auto w = open("Other");
    m_monitored = "None";
    w->cmbLocation.setListIndex(2);
    EXPECT_EQ(w->lblHeadLabel.caption(), "No server is being monitored...");
    EXPECT_EQ(visibleRows(*w), 0);
}

TEST_F(Viewer, ExportWritesTheFilteredRowsNewestFirstAsCsvOrJsonChosenByTheExtension) {
    writeLog("Stone Bridge", eventRecordLine("Caer Ash, North", "Midgard", "Albion", "7/23/2003 2:05:10 PM") +
                                 eventRecordLine("\"Q\" \\Keep", "Midgard", "Hibernia", "7/23/2003") +
                                 eventRecordLine("Dun Mellow", "Albion", "Midgard", "7/24/2003 1:00:00 AM") +
                                 eventRecordLine("Dun Br\xe9" "an", "Midgard", "Albion", "7/24/2003 12:30:00 AM") +
                                 eventRecordLine("Vorn Faste", "Midgard", "Albion", "2/30/2003 1:00:00 PM"));
    auto v = open("Stone Bridge");
    v->cmbNewOwner.setListIndex(1);  // Midgard: Dun Mellow stays out
    auto exported = [&](const std::string& name) { return exportAs(*v, name); };

    EXPECT_EQ(exported("rows.csv"),
              "place,new_owner,previous_owner,date,date_iso\r\n"
              "Vorn Faste,Midgard,Albion,2/30/2003 1:00:00 PM,\r\n"
              "Dun Br\xc3\xa9" "an,Midgard,Albion,7/24/2003 12:30:00 AM,2003-07-24T00:30:00\r\n"
              "\"\"\"Q\"\" \\Keep\",Midgard,Hibernia,7/23/2003,2003-07-23T00:00:00\r\n"
              "\"Caer Ash, North\",Midgard,Albion,7/23/2003 2:05:10 PM,2003-07-23T14:05:10\r\n");
    EXPECT_EQ(exported("rows.JSON"),
              "[\n"
              "  {\"place\": \"Vorn Faste\", \"new_owner\": \"Midgard\", \"previous_owner\": \"Albion\", "
              "\"date\": \"2/30/2003 1:00:00 PM\", \"date_iso\": \"\"},\n"
              "  {\"place\": \"Dun Br\xc3\xa9" "an\", \"new_owner\": \"Midgard\", \"previous_owner\": \"Albion\", "
              "\"date\": \"7/24/2003 12:30:00 AM\", \"date_iso\": \"2003-07-24T00:30:00\"},\n"
              "  {\"place\": \"\\\"Q\\\" \\\\Keep\", \"new_owner\": \"Midgard\", \"previous_owner\": \"Hibernia\", "
              "\"date\": \"7/23/2003\", \"date_iso\": \"2003-07-23T00:00:00\"},\n"
              "  {\"place\": \"Caer Ash, North\", \"new_owner\": \"Midgard\", \"previous_owner\": \"Albion\", "
              "\"date\": \"7/23/2003 2:05:10 PM\", \"date_iso\": \"2003-07-23T14:05:10\"}\n"
              "]\n");
    EXPECT_TRUE(m_boxes.calls.empty());

    // Another extension, or a folder that is not there, writes nothing and says so.
    EXPECT_EQ(exported("rows.txt"), "(no file)");
    EXPECT_EQ(exported("gone/rows.csv"), "(no file)");
    ASSERT_EQ(m_boxes.calls.size(), 2u);
    EXPECT_NE(m_boxes.calls[0].text.find(".csv or .json"), std::string::npos);
    EXPECT_NE(m_boxes.calls[1].text.find("Could not write"), std::string::npos);
}

TEST_F(Viewer, ExportedCsvCellsThatASpreadsheetWouldRunAsFormulasBeginWithAnApostrophe) {
    // Names come from the herald and stop at a double quote, so a link is built with CHAR().
    writeLog("Stone Bridge",
             eventRecordLine("=cmd|' /C calc'!A0", "Midgard", "Albion", "7/23/2003 2:05:10 PM") +
                 eventRecordLine("=HYPERLINK(CHAR(104)&CHAR(116),CHAR(88))", "@SUM(1+1)", "+1", "7/23/2003") +
                 eventRecordLine("-\"Q\" Keep", "\tMidgard", "Hibernia", "7/24/2003 1:00:00 AM") +
                 eventRecordLine("Caer=Ash", "Midgard", "'Albion", "7/24/2003 2:00:00 AM"));
    auto v = open("Stone Bridge");
    auto exported = [&](const std::string& name) { return exportAs(*v, name); };

    // The apostrophe is part of the cell: a cell that needs quotes is quoted with it inside.
    EXPECT_EQ(exported("rows.csv"),
              "place,new_owner,previous_owner,date,date_iso\r\n"
              "Caer=Ash,Midgard,'Albion,7/24/2003 2:00:00 AM,2003-07-24T02:00:00\r\n"
              "\"'-\"\"Q\"\" Keep\",'\tMidgard,Hibernia,7/24/2003 1:00:00 AM,2003-07-24T01:00:00\r\n"
              "\"'=HYPERLINK(CHAR(104)&CHAR(116),CHAR(88))\",'@SUM(1+1),'+1,7/23/2003,2003-07-23T00:00:00\r\n"
              "'=cmd|' /C calc'!A0,Midgard,Albion,7/23/2003 2:05:10 PM,2003-07-23T14:05:10\r\n");
    // JSON holds the names as they are.
    const std::string json = exported("rows.json");
    for (const char* raw : {"\"place\": \"=cmd|' /C calc'!A0\"", "\"new_owner\": \"@SUM(1+1)\"",
                            "\"previous_owner\": \"+1\"", "\"place\": \"-\\\"Q\\\" Keep\"", "\"new_owner\": \"\\tMidgard\""})
        EXPECT_NE(json.find(raw), std::string::npos) << raw;
    EXPECT_EQ(json.find("'="), std::string::npos);
    EXPECT_TRUE(m_boxes.calls.empty());
}

}  // namespace
}  // namespace tw
