#include "history/event_log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/files.h"
#include "runtime/runtime_error.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

class EventLogFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tw-history-XXXXXX";
        m_root = ::mkdtemp(pattern);
        m_appPath = m_root + "/app/";
        fs::create_directory(m_root + "/app");
    }
    void TearDown() override { fs::remove_all(m_root); }

    int filesUnder(const std::string& folder) const {
        int count = 0;
        for ([[maybe_unused]] const auto& entry : fs::recursive_directory_iterator(folder)) ++count;
        return count;
    }

    std::string m_root;
    std::string m_appPath;
};

TEST(EventLogName, EverySpaceBecomesOneUnderscoreAndNothingElseChanges) {
    EXPECT_EQ(EventLogPath("/opt/tw/", "Stone Bridge"), "/opt/tw/Stone_Bridge.log");
    EXPECT_EQ(EventLogPath("/opt/tw/", " A  B"), "/opt/tw/_A__B.log");
    EXPECT_EQ(EventLogPath("/opt/tw/", "Ölwen's-Rest\t"), "/opt/tw/Ölwen's-Rest\t.log");
}

TEST_F(EventLogFolder, FirstAppendCreatesTheFileAndLaterOnesAddCrLfLines) {
    appendEventRecord(m_appPath, "Stone Bridge", "Caer Ashwold", "Midgard", "Albion",
                      "7/23/2003 2:05:10 PM");
    EXPECT_EQ(platform::readWholeFile(m_appPath + "Stone_Bridge.log"),
              "Caer Ashwold,Midgard,Albion,7/23/2003 2:05:10 PM\r\n");
    appendEventRecord(m_appPath, "Stone Bridge", "Dun Mellow", "Hibernia", "Midgard", "7/24/2003");
    EXPECT_EQ(platform::readWholeFile(m_appPath + "Stone_Bridge.log"),
              "Caer Ashwold,Midgard,Albion,7/23/2003 2:05:10 PM\r\n"
              "Dun Mellow,Hibernia,Midgard,7/24/2003\r\n");
}

TEST_F(EventLogFolder, WrittenRecordsReadBackFieldForField) {
    appendEventRecord(m_appPath, "Kestrel", "Caer Ashwold", "Midgard", "Albion",
                      "7/23/2003 2:05:10 PM");
    appendEventRecord(m_appPath, "Kestrel", " Vornfaste ", "Albion", "Midgard", "8/1/2003");
    const auto events = readEventLog(m_appPath, "Kestrel");
    ASSERT_TRUE(events);
    ASSERT_EQ(events->size(), 2u);
    EXPECT_EQ((*events)[0], (HistoryEvent{"Caer Ashwold", "7/23/2003 2:05:10 PM", "Midgard", "Albion"}));
    // Fields are kept exactly as written, spaces included.
    EXPECT_EQ((*events)[1].Place, " Vornfaste ");
}

TEST_F(EventLogFolder, MissingLogReadsAsNothingRatherThanNoEvents) {
    EXPECT_FALSE(readEventLog(m_appPath, "Kestrel"));
    ASSERT_TRUE(platform::writeFileAtomically(m_appPath + "Kestrel.log", ""));
    const auto events = readEventLog(m_appPath, "Kestrel");
    ASSERT_TRUE(events);
    EXPECT_TRUE(events->empty());
}

TEST_F(EventLogFolder, HostileServerNamesFailWithBadFileNameAndWriteNothing) {
    const std::string hostile[] = {"../escape", "sub/dir", "/etc/passwd", ".", "..",
                                   std::string("Stone\0Bridge", 12), std::string("\0", 1)};
    for (const std::string& name : hostile) {
        try {
            appendEventRecord(m_appPath, name, "Caer Ashwold", "Midgard", "Albion", "7/23/2003");
            ADD_FAILURE() << "no error for a server name of " << name.size() << " bytes";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), kErrBadFileName);
        }
        EXPECT_FALSE(readEventLog(m_appPath, name));
    }
    // Nothing was written inside the program folder nor beside it.
    EXPECT_EQ(filesUnder(m_root), 1);
}

TEST_F(EventLogFolder, UnwritableLocationFailsWithPathFileAccess) {
    try {
        appendEventRecord(m_root + "/missing-folder/", "Kestrel", "Caer Ashwold", "Midgard",
                          "Albion", "7/23/2003");
        ADD_FAILURE() << "append into a missing folder succeeded";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), kErrPathFileAccess);
    }
    // A folder standing where the log should be cannot be appended to either.
    fs::create_directory(m_appPath + "Kestrel.log");
    EXPECT_THROW(appendEventRecord(m_appPath, "Kestrel", "a", "b", "c", "d"), RuntimeError);
}

struct ReadCase {
    const char* label;
    std::string text;
    std::vector<std::string> places;
};

TEST(EventLogReading, OnlyLinesOfExactlyFourFieldsAreEvents) {
    const ReadCase cases[] = {
        {"empty file", "", {}},
        {"only skipped lines", "a,b,c\r\n\r\na,b,c,d,e\r\n", {}},
        {"five and three fields between good lines",
         "Caer A,Midgard,Albion,1/1/2003\r\nCaer B,Midgard,Albion,1/2/2003,extra\r\n"
         "Caer C,Midgard,1/3/2003\r\nCaer D,Hibernia,Albion,1/4/2003\r\n",
         {"Caer A", "Caer D"}},
        {"a comma inside a date", "Caer A,Midgard,Albion,Jan 1, 2003\r\n", {}},
        {"empty fields still count", ",,,\r\n", {""}},
        {"LF only and no final line end", "Caer A,M,A,d\nCaer B,M,A,d", {"Caer A", "Caer B"}},
        {"lone CR ends a line", "Caer A,M,A,d\rCaer B,M,A,d\r", {"Caer A", "Caer B"}},
        {"blank lines between", "\r\n\r\nCaer A,M,A,d\r\n\r\n", {"Caer A"}},
        {"quoted fields hold commas", "\"Caer A, North\",\"Hib,ernia\",M,\"Jan 1, 2003\"\r\n", {"Caer A, North"}},
        {"doubled quotes", "\"\"\"Q\"\" Keep\",M,A,d", {"\"Q\" Keep"}},
        {"a quote that never closes stands as written", "\"Caer A,M,A,d", {"\"Caer A"}},
        {"text after a closing quote stands as written", "\"Caer\" A,M,A,d", {"\"Caer\" A"}},
        {"quoted comma between five fields", "\"a,b\",M,A,d,e\r\n", {}},
    };
    for (const ReadCase& c : cases) {
        std::vector<std::string> places;
        for (const HistoryEvent& e : parseEventLog(c.text)) places.push_back(e.Place);
        EXPECT_EQ(places, c.places) << c.label;
    }
}

TEST(EventLogWriting, OnlyFieldsWithACommaOrALeadingQuoteAreQuotedAndAllReadBack) {
    EXPECT_EQ(eventRecordLine("Caer Ash, North", "Mid\"gard", "\"Q\"", "d"),
              "\"Caer Ash, North\",Mid\"gard,\"\"\"Q\"\"\",d\r\n");
    const std::string awkward[] = {"", ",", "\"", "\"\"", "a\"b", " , ", "\"a\",b", "x,\"", "Jan 1, 2003"};
    for (const std::string& field : awkward) {
        const std::string line = eventRecordLine(field, "Midgard", field, field);
        const auto event = parseEventLine(std::string_view(line).substr(0, line.size() - 2));
        ASSERT_TRUE(event) << line;
        EXPECT_EQ(*event, (HistoryEvent{field, field, "Midgard", field})) << line;
    }
}

TEST(EventLogReading, FieldsLandInPlaceNewOwnerOldOwnerDateOrder) {
    const auto event = parseEventLine("Caer Ashwold,Midgard,Albion,7/23/2003 2:05:10 PM");
    ASSERT_TRUE(event);
    EXPECT_EQ(event->Place, "Caer Ashwold");
    EXPECT_EQ(event->NewOwner, "Midgard");
    EXPECT_EQ(event->OldOwner, "Albion");
    EXPECT_EQ(event->When, "7/23/2003 2:05:10 PM");
}

}  // namespace
}  // namespace tw
