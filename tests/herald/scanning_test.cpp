#include "herald/scanning.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../support/error_number.h"
#include "herald_test_support.h"
#include "runtime/message_box.h"
#include "runtime/runtime_error.h"

namespace tw {
namespace {

using namespace std::string_literals;

const std::string kInvalidBox = "\r\n#5 Invalid procedure call or argument";

// The text of the one box a call shows, "" when it shows none.
template <class Call>
std::string boxOf(Call&& call) {
    ScopedMessageBoxRecorder boxes;
    call();
    EXPECT_LE(boxes.calls.size(), 1u);
    return boxes.calls.empty() ? "" : boxes.calls[0].text;
}

struct TagRow {
    std::string xml, find;
    double start, top;
    std::string expected;
    const char* label;
};

TEST(GetTag, ReturnsElementTextOnlyWhenItOpensByTopPos) {
    const std::string xml = "<keep><owner>Albion</owner><claimant></claimant>"
                            "<x><owner>  Mid gard </owner><Owner>Up</Owner>";
    const double ownerAt = 7, lateOwnerAt = 52;  // where the two "<owner>" tags open
    const std::vector<TagRow> rows = {
        {xml, "owner", 1, 100, "Albion", "opening before TopPos"},
        {xml, "owner", 1, ownerAt, "Albion", "opening exactly at TopPos is used"},
        {xml, "owner", 1, ownerAt - 1, "", "opening after TopPos"},
        {xml, "owner", 1, ownerAt + 0.9, "Albion", "fractional TopPos"},
        {xml, "owner", 1, 0, "", "TopPos 0"},
        {xml, "owner", 8, lateOwnerAt - 1, "", "next owner lies past TopPos"},
        {xml, "owner", 8, 500, "  Mid gard ", "spaces are kept"},
        {xml, "claimant", 1, 500, "", "empty element"},
        {xml, "Owner", 1, 500, "Up", "case-sensitive tag names"},
        {xml, "relic", 1, 500, "", "no such element"},
        {xml, "owner", 9999, 99999, "", "start past the end"},
        {"", "owner", 1, 10, "", "empty document"},
        {"<a>x</a>", "a", 1.4, 10, "x", "start rounds down to 1"},
        {"<a>x</a>", "a", 1.5, 10, "", "start 1.5 rounds half to even: 2"},
        {"<a>x\0y</a>"s, "a", 1, 10, "x\0y"s, "NUL bytes are ordinary text"},
        {"<>v</>", "", 1, 10, "v", "empty tag name"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(GetTag(row.xml, row.find, row.start, row.top), row.expected) << row.label;
}

TEST(GetTag, FailuresReachTheCallerWithoutABox) {
    ScopedMessageBoxRecorder boxes;
    const struct {
        std::string xml;
        double start;
        int number;
        const char* label;
    } rows[] = {
        {"<owner>Albion", 1, kErrInvalidArgument, "closing tag missing"},
        {"<owner>Albion</owner>", 0, kErrInvalidArgument, "start below 1"},
        {"<owner>Albion</owner>", 0.4, kErrInvalidArgument, "start rounds to 0"},
        {"<owner>Albion</owner>", 3e9, kErrOverflow, "start beyond 32 bits"},
        {"<owner>Albion</owner>", std::nan(""), kErrOverflow, "start not a number"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(testing::errorNumberOf([&] { GetTag(row.xml, "owner", row.start, 100); }), row.number) << row.label;
    EXPECT_THROW(GetTag("<owner>A</owner>", "owner", 0, 0), RuntimeError) << "start checked even when TopPos is 0";
    EXPECT_TRUE(boxes.calls.empty());
}

TEST(GetItem, TakesTheFirstOccurrenceOfTheNameAndWithoutAQuoteToEndOnShowsItsBox) {
    const std::string box = "Error in GetItem sub" + kInvalidBox;
    const struct {
        std::string tag, item, expected;
        const char* label;
        std::string box = {};
    } rows[] = {
        {R"(<keep realm="Albion" name="Caer Wendmoor">)", "name", "Caer Wendmoor", "order of attributes"},
        {R"(<keep realm="Albion" name="Caer Wendmoor">)", "realm", "Albion", "first attribute"},
        {R"(<keep nickname="Old" name="New">)", "name", "Old", "inside an earlier attribute name"},
        {R"(<keep realm="Renamed" name="X">)", "name", " name=", "inside an earlier value"},
        {R"(<keep name = "X">)", "name", " ", "spaces around ="},
        {R"(<keep realm="Albion">)", "name", " realm=", "absent: stray text up to a quote"},
        {R"(<keep Name="X">)", "name", " Name=", "case-sensitive"},
        {R"(<keep name="">)", "name", "", "empty value"},
        {"<keep name=\"a\0b\">"s, "name", "a\0b"s, "NUL inside the value"},
        {"<keep>", "name", "", "no quote", box},
        {"", "name", "", "empty tag", box},
        {R"(<keep name="unterminated>)", "name", "", "no closing quote", box},
        {"<keep name=\"", "name", "", "nothing after the opening quote", box},
    };
    for (const auto& row : rows) {
        std::string item = "unset";
        EXPECT_EQ(boxOf([&] { item = GetItem(row.tag, row.item); }), row.box) << row.label;
        EXPECT_EQ(item, row.expected) << row.label;
    }
}

TEST(GetXML, WalksServerNamesAndStopsWithPositionUnchanged) {
    const std::string xml = "<root>\n<server name=\"Ironmoor\"><status>Up</status></server>\n"
                            "<server name=\"Ashvale\"></server>\n<server name=\"Thornwick\">";
    ScopedMessageBoxRecorder boxes;
    double p = 1;
    for (const char* name : {"Ironmoor", "Ashvale", "Thornwick", ""})
        EXPECT_EQ(GetXML(xml, "server", "name", p), name);
    EXPECT_EQ(p, static_cast<double>(xml.rfind('"')) + 1 + 2) << "two past the last closing quote";
    EXPECT_TRUE(boxes.calls.empty());
}

TEST(GetXML, LiteralMatchesEmptyResultsAndInvalidStartsLeaveThePosition) {
    const std::string box = "Error in GetXML sub";
    const double infinity = std::numeric_limits<double>::infinity();
    const struct {
        std::string xml;
        double start;
        std::string expected;
        double positionAfter;
        const char* label;
        std::string box = {};
    } rows[] = {
        {R"(<serverlist hostname="h1"><server name="A">)", 1, "h1", 27, "wrapping element named server..."},
        {R"(<server name="A">)", 1, "A", 18, "value"},
        {R"(<server id="3">x</server>)", 1, "", 1, "no name after the tag"},
        {R"(<server name="A)", 1, "", 1, "no closing quote"},
        {R"(<Server name="A">)", 1, "", 1, "case-sensitive tag"},
        {R"(<server Name="A">)", 1, "", 1, "case-sensitive value name"},
        {R"(<server name="A">)", 2, "", 2, "start after the tag"},
        {"", 1, "", 1, "empty document"},
        {"<server name=\"\0\">"s, 1, "\0"s, 18, "NUL name"},
        {R"(<server>)" "\n" R"(<keep name="K">)", 1, "K", 25, "value search runs past the tag"},
        {R"(<server name="A">)", 0, "", 0, "start 0", box + kInvalidBox},
        {R"(<server name="A">)", -3, "", -3, "negative start", box + kInvalidBox},
        {R"(<server name="A">)", infinity, "", infinity, "infinite start", box + "\r\n#6 Overflow"},
    };
    for (const auto& row : rows) {
        double p = row.start;
        std::string value = "unset";
        EXPECT_EQ(boxOf([&] { value = GetXML(row.xml, "server", "name", p); }), row.box) << row.label;
        EXPECT_EQ(value, row.expected) << row.label;
        EXPECT_EQ(p, row.positionAfter) << row.label;
    }
}

TEST(GetSimpleXML, ReadsElementTextAndMissingOrMisorderedTagsShowItsBox) {
    const std::string xml = "<server name=\"A\"><status>Up</status><population>12</population>"
                            "<status></status>";
    const std::string box = "Error in GetSimpleXML sub" + kInvalidBox;
    const struct {
        std::string xml, tag;
        double start;
        std::string expected;
        const char* label;
        std::string box = {};
    } rows[] = {
        {xml, "status", 10, "Up", "first status"},
        {xml, "population", 10, "12", "population from the same start"},
        {xml, "status", 30, "", "the empty second status"},
        // Only the closing tag found: the count runs from just past the tag length.
        {"abcdefgh</status>", "status", 1, "h", "closing tag only"},
        {"<status>a\0b</status>"s, "status", 1, "a\0b"s, "NUL bytes are ordinary text"},
        {"<status>Up</status><population>12</population>", "status", 30, "", "start after the last status", box},
        {"<status>Up</status><status>Down</status>", "status", 3, "", "closing tag before the next opening", box},
        {"<status>Up", "status", 1, "", "closing tag missing", box},
        {"", "status", 1, "", "empty document", box},
        {xml, "status", 0, "", "start below 1", box},
    };
    for (const auto& row : rows) {
        std::string text = "unset";
        EXPECT_EQ(boxOf([&] { text = GetSimpleXML(row.xml, row.tag, row.start); }), row.box) << row.label;
        EXPECT_EQ(text, row.expected) << row.label;
    }
}

TEST(ReturnValue, GuardedTwinOfGetItemNeverShowsABox) {
    ScopedMessageBoxRecorder boxes;
    const struct {
        std::string line, value, expected;
        const char* label;
    } rows[] = {
        {R"(<keep name="Dun Morrow" realm="Hibernia">)", "realm", "Hibernia", "present"},
        {R"(<keep name="Dun Morrow">)", "realm", "", "absent"},
        {R"(<keep realm="Hibernia)", "realm", "", "no closing quote"},
        {R"(<keep Realm="X">)", "realm", "", "case-sensitive"},
        {R"(<keep nickname="Old" name="New">)", "name", "Old", "first occurrence, like GetItem"},
    };
    for (const auto& row : rows) EXPECT_EQ(ReturnValue(row.line, row.value), row.expected) << row.label;
    EXPECT_TRUE(boxes.calls.empty());
}

// Cutting the readable document at every byte must leave the helpers the panel does not use
// inside its text and the server walk finite; the panel's own meet every cut in its tests.
TEST(Scanning, EveryTruncationOfTheReadableDocumentIsSafe) {
    const std::string full = test::fixtureDocument("herald_readable.xml");
    ASSERT_FALSE(full.empty());
    ScopedMessageBoxRecorder boxes;
    for (size_t cut = 0; cut <= full.size(); ++cut) {
        const std::string xml = full.substr(0, cut);
        double p = 1;
        int servers = 0;
        for (std::string name = GetXML(xml, "server", "name", p); !name.empty();
             name = GetXML(xml, "server", "name", p)) {
            ASSERT_LE(++servers, 3) << cut;
            GetSimpleXML(xml, "status", p);
            GetSimpleXML(xml, "population", p);
            p += 1;
        }
        ReturnValue(xml.substr(cut / 2), "name");
    }
}

}  // namespace
}  // namespace tw
