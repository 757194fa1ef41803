#include "history/event_log.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "../support/temp_folder.h"
#include "../support/error_number.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using testing::errorNumberOf;

std::vector<HistoryEvent> eventsOf(std::string_view logText) {
    std::vector<HistoryEvent> events;
    forEachEvent(logText, [&](const HistoryEvent& e) { events.push_back(e); });
    return events;
}

TEST(EventLogName, EverySpaceBecomesOneUnderscoreAndNothingElseChanges) {
    EXPECT_EQ(EventLogPath("/opt/tw/", "Stone Bridge"), "/opt/tw/Stone_Bridge.log");
    EXPECT_EQ(EventLogPath("/opt/tw/", " A  B"), "/opt/tw/_A__B.log");
    EXPECT_EQ(EventLogPath("/opt/tw/", "Ölwen's-Rest\t"), "/opt/tw/Ölwen's-Rest\t.log");
}

TEST(EventLogFolder, HostileNamesFailWithBadFileNameAndUnwritablePlacesWithPathFileAccess) {
    testing::TempFolder root;
    const std::string appPath = root / "app/";
    fs::create_directory(appPath);
    auto append = [](const std::string& folder, const std::string& server) {
        return errorNumberOf([&] { appendEventRecord(folder, server, "Caer Ashwold", "Midgard", "Albion", "d"); });
    };
    const std::string hostile[] = {"../escape", "sub/dir", "/etc/passwd", ".", "..",
                                   std::string("Stone\0Bridge", 12), std::string("\0", 1)};
    for (const std::string& name : hostile)
        EXPECT_EQ(append(appPath, name), kErrBadFileName) << "a server name of " << name.size() << " bytes";
    // Nothing was written inside the program folder nor beside it.
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(root.path()), fs::recursive_directory_iterator()), 1);

    EXPECT_EQ(append(root / "missing-folder/", "Kestrel"), kErrPathFileAccess);
    fs::create_directory(appPath + "Kestrel.log");  // a folder where the log should be
    EXPECT_EQ(append(appPath, "Kestrel"), kErrPathFileAccess);
}

TEST(EventLogReading, OnlyLinesOfExactlyFourFieldsAreEvents) {
    const struct {
        const char* label;
        std::string text;
        std::vector<std::string> places;
    } cases[] = {
        {"only skipped lines", "a,b,c\r\n\r\na,b,c,d,e\r\n", {}},
        {"five and three fields between good lines",
         "Caer A,Midgard,Albion,1/1/2003\r\nCaer B,Midgard,Albion,1/2/2003,extra\r\n"
         "Caer C,Midgard,1/3/2003\r\nCaer D,Hibernia,Albion,1/4/2003\r\n",
         {"Caer A", "Caer D"}},
        {"a comma inside a date", "Caer A,Midgard,Albion,Jan 1, 2003\r\n", {}},
        {"empty fields still count", ",,,\r\n", {""}},
        {"fields are kept exactly as written", " Vornfaste ,M,A,d\r\n", {" Vornfaste "}},
        {"LF only and no final line end", "Caer A,M,A,d\nCaer B,M,A,d", {"Caer A", "Caer B"}},
        {"lone CR ends a line", "Caer A,M,A,d\rCaer B,M,A,d\r", {"Caer A", "Caer B"}},
        {"quoted fields hold commas", "\"Caer A, North\",\"Hib,ernia\",M,\"Jan 1, 2003\"\r\n", {"Caer A, North"}},
        {"doubled quotes", "\"\"\"Q\"\" Keep\",M,A,d", {"\"Q\" Keep"}},
        {"a quote that never closes stands as written", "\"Caer A,M,A,d", {"\"Caer A"}},
        {"text after a closing quote stands as written", "\"Caer\" A,M,A,d", {"\"Caer\" A"}},
        {"quoted comma between five fields", "\"a,b\",M,A,d,e\r\n", {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> places;
        for (const HistoryEvent& e : eventsOf(c.text)) places.push_back(e.Place);
        EXPECT_EQ(places, c.places) << c.label;
    }
}

TEST(EventLogWriting, OnlyFieldsWithACommaOrALeadingQuoteAreQuotedAndAllReadBack) {
    EXPECT_EQ(eventRecordLine("Caer Ash, North", "Mid\"gard", "\"Q\"", "d"),
              "\"Caer Ash, North\",Mid\"gard,\"\"\"Q\"\"\",d\r\n");
    const std::string awkward[] = {"", ",", "\"", "\"\"", "a\"b", " , ", "\"a\",b", "x,\"", "Jan 1, 2003"};
    for (const std::string& field : awkward) {
        const auto events = eventsOf(eventRecordLine(field, "Midgard", field, field));
        ASSERT_EQ(events.size(), 1u) << field;
        EXPECT_EQ(events[0], (HistoryEvent{field, field, "Midgard", field})) << field;
    }
}

}  // namespace
}  // namespace tw
