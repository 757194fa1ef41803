#include "platform/process_facts.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/user_locale.h"
#include "temp_folder.h"

namespace tw::platform {
namespace {

TEST(ProcessFactsWindows, NameAndVersionComeFromTheVersionResource) {
    const ProcessFacts facts;
    EXPECT_EQ(facts.productName(), "Towerwatch");
    EXPECT_EQ(facts.versionMajor(), TW_TEST_VERSION_MAJOR);
    EXPECT_EQ(facts.versionMinor(), TW_TEST_VERSION_MINOR);
    EXPECT_EQ(facts.versionRevision(), TW_TEST_VERSION_REVISION);
    EXPECT_EQ(facts.exeName(), "platform_tests");
    EXPECT_EQ(facts.programFolder().back(), '\\');
}

TEST(ProcessFactsWindows, ProgramFolderWhenWritableElseLocalAppData) {
    tw::testing::TempFolder temp;
    FakeProcessFacts facts;
    facts.folder = temp.slashed();
    EXPECT_EQ(appPath(facts), temp.path() + "\\");
    // Program Files as a user sees it: a folder that cannot be written to, or none at all.
    wchar_t saved[MAX_PATH] = L"";
    const DWORD had = ::GetEnvironmentVariableW(L"LOCALAPPDATA", saved, MAX_PATH);
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", std::wstring(temp.path().begin(), temp.path().end()).c_str());
    facts.folder = temp / "missing/";
    EXPECT_EQ(appPath(facts), temp.path() + "\\Towerwatch\\");
    EXPECT_FALSE(fileExists(temp.path() + "\\Towerwatch")) << "made as a folder";
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", had ? saved : nullptr);
}

TEST(ProcessFactsWindows, LocalePatternsWriteAGeneralDateThatReadsBack) {
    const DatePatterns patterns = userDatePatterns();
    EXPECT_EQ(patterns.longTime.find('t'), std::string::npos) << patterns.longTime;
    const LocalDateTime when{2003, 7, 23, 14, 5, 10};
    EXPECT_EQ(calendarDayOf(generalDate(when, patterns), patterns), (CalendarDay{2003, 7, 23}))
        << generalDate(when, patterns);
    const LocalDateTime now = localNow();
    EXPECT_GE(now.year, 2024);
}

}  // namespace
}  // namespace tw::platform
