#include "platform/registry_store.h"

#include <gtest/gtest.h>

namespace tw::platform {
namespace {

using namespace std::string_literals;

const std::string kKey = "Software\\Vexlor\\Towerwatch";

RegistryValue text(const std::string& s) { return {REG_SZ, s}; }

TEST(RegistryDocumentReading, EachValueFormReadsBackItsTypeAndBytes) {
    const auto doc = RegistryDocument::parse(
        "REGEDIT4\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Vexlor\\Towerwatch]\r\n"
        "\"Plain\"=\"60 minutes\"\r\n"
        "\"Escaped\"=\"C:\\\\Games\\\\ \\\"quoted\\\"\"\r\n"
        "\"Empty\"=\"\"\r\n"
        "\"Number\"=dword:0000002a\r\n"
        "\"Short\"=dword:7\r\n"
        "\"Blob\"=hex:01,ff,80\r\n"
        "\"WithNul\"=hex(1):41,00,42\r\n"
        "\"Wrapped\"=hex(7):61,62,\\\r\n"
        "  63,00\r\n"
        "@=\"default\"\r\n");
    struct Row { const char* name; RegistryValue expected; };
    const Row rows[] = {
        {"Plain", text("60 minutes")},
        {"Escaped", text("C:\\Games\\ \"quoted\"")},
        {"Empty", text("")},
        {"Number", dwordValue(42)},
        {"Short", dwordValue(7)},
        {"Blob", {REG_BINARY, std::string("\x01\xff\x80", 3)}},
        {"WithNul", {REG_SZ, std::string("A\0B", 3)}},
        {"Wrapped", {7, std::string("abc\0", 4)}},
        {"", text("default")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto value = doc.value(kKey, row.name);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(*value, row.expected);
    }
    EXPECT_FALSE(doc.value(kKey, "Missing").has_value());
}

TEST(RegistryDocumentReading, NamesAndKeysIgnoreLetterCaseAndLastEntryWins) {
    const auto doc = RegistryDocument::parse(
        "REGEDIT4\n[HKEY_CURRENT_USER\\software\\vexlor\\TOWERWATCH]\n\"realm\"=\"1\"\n"
        "[HKEY_CURRENT_USER\\Software\\Vexlor\\Towerwatch]\n\"Realm\"=\"3\"\n");
    EXPECT_EQ(doc.value(kKey, "REALM"), text("3"));
    EXPECT_TRUE(doc.keyExists("Software\\VEXLOR"));
    EXPECT_TRUE(doc.keyExists("Software\\Vexlor\\Towerwatch\\"));
    EXPECT_FALSE(doc.keyExists("Software\\Vex"));
    EXPECT_FALSE(doc.keyExists("Software\\Vexlor\\Towerwatch\\Sub"));
}

TEST(RegistryDocumentReading, DamagedLinesAreSkippedAndTheRestStillReads) {
    const std::string damaged =
        "this is not a registry file\n"
        "\"Orphan\"=\"before any section\"\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Vexlor\\Towerwatch]\n"
        "\"Machine\"=\"other root\"\n"
        "[HKEY_CURRENT_USER\\Software\\Vexlor\\Towerwatch]\n"
        "\"Unterminated\"=\"abc\n"
        "\"BadNumber\"=dword:zz\n"
        "\"TooLong\"=dword:123456789\n"
        "\"BadHex\"=hex:1,2\n"
        "\"Dangling\"=hex:01,\n"
        "\"Trailing\"=\"x\" junk\n"
        "\"Removed\"=-\n"
        "; a comment\n"
        "\"Good\"=\"kept\"\n"
        "[HKEY_CURRENT_USER\\Software\\Broken\n"
        "\"AfterBroken\"=\"1\"\n"
        "\0\xff\xfe binary tail"s;
    const auto doc = RegistryDocument::parse(std::string_view(damaged.data(), damaged.size()));
    EXPECT_EQ(doc.value(kKey, "Good"), text("kept"));
    for (const char* name : {"Orphan", "Machine", "Unterminated", "BadNumber", "TooLong", "BadHex", "Dangling",
                             "Trailing", "Removed", "AfterBroken"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(doc.value(kKey, name).has_value());
    }
    EXPECT_FALSE(doc.keyExists("Software\\Broken"));
    // Nothing of it is lost when the text is written back.
    EXPECT_EQ(doc.text(), damaged);
}

// The values of `contents` whose name is not `name`.
std::vector<RegistryContents::Value> valuesOtherThan(const RegistryContents& contents, const std::string& name) {
    std::vector<RegistryContents::Value> out;
    for (const auto& v : contents.values)
        if (!sameRegistryName(v.name, name)) out.push_back(v);
    return out;
}

TEST(RegistryDocumentRoundTrip, ReadingAndWritingAgreeOnTrickyFiles) {
    const std::string section = "[HKEY_CURRENT_USER\\Software\\Vexlor\\Towerwatch]";
    const std::string inputs[] = {
        "",
        "\n",
        "\"A\"=\"no header, no section\"",
        "REGEDIT4\r\n\r\n" + section + "\r\r\n\"A\"=\"1\"\r\n",
        "REGEDIT4\r\r\n" + section + "\r\n\"A\"=\"1\"\r\r\n\"B\"=\"2\"\r\n",
        "REGEDIT4\n" + section + "\r\"A\"=\"1\"\n" + section + "\n\"B\"=\"2\"\r",
        "REGEDIT4\n" + section + "\n\"A\"=\"1\"\n\"Blob\"=hex:01,\\",
        "REGEDIT4\n" + section + "\n\"A\"=\"1\"\n\"Blob\"=hex:01,\\\n\n",
        "REGEDIT4\n" + section + "\n\"Blob\"=hex:01,\\\n  \t\n\"A\"=\"1\"\n\"Tail\"=hex:\\\r\n",
        "REGEDIT4\n" + section + "\n\"W\"=hex:61,\\\r\n  62\r\n\"A\"=hex(7):61,\\\n" + section + "\n",
        "REGEDIT4\n" + section + "\n\"Esc\\\\\\\"\"=\"a\\\\b\\\"c\\q\"\n\"A\"=\"\\\\\"\n@=\"\"\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\software\\VEXLOR\\towerwatch]\n\"a\"=\"1\"\n\n" + section + "\n\"B\"=\"2\"\n"
            "[HKEY_CURRENT_USER\\Software\\Vexlor\\Towerwatch\\]\n\"A\"=\"3\"\n",
        "REGEDIT4\n" + section + "\n\"A\"=\"x\0y\"\n\0\n\"N\0\"=\"1\"\n[HKEY_CURRENT_USER\\Software\0]\n\"A\"=\"2\"\n"s,
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n\"A\"=\"1\"\r\n" + section,
    };
    // Texts and names with backslashes, quotes, line breaks or a NUL must survive the trip too.
    const std::string awkward[] = {"written", "C:\\Towerwatch\\", "say \"hi\"", "\\\"", "two\r\nlines",
                                   std::string("before\0after", 12), "", "ends in \\"};
    struct Write {
        const char* label;
        std::string key;
        std::string name;
        bool remove;
    };
    const Write writes[] = {
        {"replace", kKey, "A", false},
        {"add to the section", kKey, "Fresh", false},
        {"add a key", "Software\\Fresh", "Fresh", false},
        {"delete", kKey, "A", true},
        {"awkward name", kKey, "Name \"with\" \\", false},
    };
    for (const std::string& input : inputs) {
        SCOPED_TRACE(::testing::PrintToString(input));
        const auto doc = RegistryDocument::parse(input);
        EXPECT_EQ(doc.text(), input);
        EXPECT_EQ(RegistryDocument::parse(doc.text()).contents(), doc.contents());
        for (const Write& w : writes) {
            for (const std::string& s : awkward) {
                SCOPED_TRACE(w.label);
                const RegistryValue written = text(s);
                auto changed = doc;
                if (w.remove)
                    changed.deleteValue(w.key, w.name);
                else
                    ASSERT_TRUE(changed.setValue(w.key, w.name, written));
                const auto reread = RegistryDocument::parse(changed.text());
                EXPECT_EQ(reread.contents(), changed.contents()) << changed.text();
                EXPECT_EQ(valuesOtherThan(reread.contents(), w.name), valuesOtherThan(doc.contents(), w.name));
                EXPECT_EQ(reread.value(w.key, w.name), w.remove ? std::nullopt : std::optional(written));
            }
        }
    }
}

TEST(RegistryDocumentWriting, NewValueJoinsItsSectionAndOtherLinesStayPut) {
    auto doc = RegistryDocument::parse(
        "REGEDIT4\n\n"
        "[HKEY_CURRENT_USER\\Software\\Vexlor\\Towerwatch]\n\"Realm\"=\"1\"\n; note\n\n"
        "[HKEY_CURRENT_USER\\Software\\Other]\n\"X\"=\"y\"\n");
    ASSERT_TRUE(doc.setValue(kKey, "ServerSet", text("1")));
    ASSERT_TRUE(doc.setValue(kKey, "REALM", text("2")));
    ASSERT_TRUE(doc.setValue("Software\\New", "A", dwordValue(1)));
    EXPECT_EQ(doc.text(),
              "REGEDIT4\n\n"
              "[HKEY_CURRENT_USER\\Software\\Vexlor\\Towerwatch]\n\"Realm\"=\"2\"\n; note\n\"ServerSet\"=\"1\"\n\n"
              "[HKEY_CURRENT_USER\\Software\\Other]\n\"X\"=\"y\"\n\n"
              "[HKEY_CURRENT_USER\\Software\\New]\n\"A\"=dword:00000001\n");
    // A file without a header gets one; its garbage is kept.
    doc = RegistryDocument::parse("garbage line\n");
    ASSERT_TRUE(doc.setValue(kKey, "A", text("1")));
    EXPECT_EQ(doc.text(), "REGEDIT4\n\ngarbage line\n\n[HKEY_CURRENT_USER\\Software\\Vexlor\\Towerwatch]\n\"A\"=\"1\"\n");
}

TEST(RegistryDocumentWriting, UnwritableNamesAreRefusedWithoutChange) {
    RegistryDocument doc;
    EXPECT_FALSE(doc.setValue("", "A", text("1")));
    EXPECT_FALSE(doc.setValue("Software\\Bad\nKey", "A", text("1")));
    EXPECT_FALSE(doc.setValue(kKey, "line\nbreak", text("1")));
    EXPECT_EQ(doc.text(), "");
}

}  // namespace
}  // namespace tw::platform
