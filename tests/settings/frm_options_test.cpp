#include "settings/frm_options.h"

#include <gtest/gtest.h>

#include <functional>


#include "forms_probe.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/message_box.h"
#include "settings/settings_store.h"
#include "temp_folder.h"

namespace tw {
namespace {

using platform::RegistryValue;

const std::vector<std::string> kServers = {"Stormreach", "Ironvale", "Duskmere", "Brightwater"};
const char* const kNames[] = {"UpdateOnStart", "UpdateTime", "SystemTray", "MonitorServer", "Realm", "ServerSet",
                              "FilterNoob", "Notify", "OnChangeCommand", "Sound"};

// What the dialog shows, in the order of kNames, with the start tick before the sound.
std::vector<std::string> shown(const frmOptions& d) {
    return {std::to_string(d.chkUpdateOnStart.value()), d.cmbFrequency.text(),
            std::to_string(d.chkSystemTray.value()),    d.cmbServer.text(),
            d.cmbRealm.text(),                          d.cmbServerSet.text(),
            std::to_string(d.chkFilterNoob.value()),    d.cmbNotify.text(),
            d.txtOnChangeCommand.text(),                std::to_string(d.chkStartWithWin.value()),
            d.cmbSound.text()};
}

// As the user types: into the field's widget, character by character.
void typeInto(forms::TextBox& field, const std::string& text) { testing::typeInto(field, text); }

class OptionsTest : public ::testing::Test {
protected:
    void cacheDocument() { ASSERT_TRUE(platform::writeFileAtomically(appPath + "server-info.xml", "<servers/>")); }
    void store(const std::vector<std::string>& texts) {
        for (size_t i = 0; i < texts.size(); ++i) WriteSetting(kNames[i], texts[i]);
    }
    // The stored texts in the order of kNames; "-" for a missing value.
    std::vector<std::string> saved() {
        std::vector<std::string> texts;
        for (const char* name : kNames) texts.push_back(ReadSetting(name, "-"));
        return texts;
    }
    std::optional<RegistryValue> runValue() {
        return platform::registry().queryValue(platform::kRunKey, platform::kAutostartValueName);
    }

    platform::ScopedServices services;
    ScopedMessageBoxRecorder boxes;
    testing::TempFolder folder;
    std::string appPath = folder.slashed();
};

TEST_F(OptionsTest, LoadingShowsDefaultsStoredValuesOrTheFirstEntriesAndWritesNothing) {
    cacheDocument();
    EXPECT_EQ(shown(frmOptions(kServers, appPath)),
              (std::vector<std::string>{"1", "15 minutes", "1", "None", "None", "US Servers", "0", "Every change", "",
                                        "0", "Lost keeps only"}));
    EXPECT_TRUE(services.registry.keys.empty());

    const std::string command = "/opt/guild/post \"Ironmoor keeps\" --quiet";
    store({"0", "3", "0", "Duskmere", "2", "1", "1", "2", command, "1"});
    // Any value under the run entry's name counts as present, whatever its type.
    services.registry.setValue(platform::kRunKey, platform::kAutostartValueName, platform::dwordValue(7));
    frmOptions dlg(kServers, appPath);
    EXPECT_EQ(shown(dlg),
              (std::vector<std::string>{"0", "Never!", "0", "Duskmere", "Albion", "Euro Servers", "1", "Only my realm",
                                        command, "1", "Every alert"}));
    EXPECT_TRUE(dlg.cmbRealm.enabled());
    EXPECT_TRUE(dlg.lblFromRealm.enabled());
    ASSERT_EQ(dlg.cmbServer.listCount(), 5);  // "None", then the main window's servers in order
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(dlg.cmbServer.list(i), kServers[i - 1]);

    // Unknown texts pick the first entries (notifications their default); server names
    // compare exactly, letter case too. A command stored in another encoding keeps its bytes.
    store({"maybe", "7", "2", "stormreach", "-2", "Euro", "2", "off", "caf\xe9 -x", "loud"});
    frmOptions odd(kServers, appPath);
    EXPECT_EQ(shown(odd), (std::vector<std::string>{"0", "15 minutes", "0", "None", "None", "US Servers", "0",
                                                    "Every change", "caf\xe9 -x", "1", "Lost keeps only"}));
    EXPECT_FALSE(odd.cmbRealm.enabled());
    // Saving puts every value back into a form start-up can read.
    odd.cmdSave_Click();
    EXPECT_EQ(saved(), (std::vector<std::string>{"0", "0", "0", "None", "0", "0", "0", "1", "caf\xe9 -x", "2"}));
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(OptionsTest, WithoutCachedDocumentOnlyNoneDisabledAndSaveLeavesMonitorServer) {
    store({"1", "0", "1", "Ironvale"});
    frmOptions dlg(kServers, appPath);
    ASSERT_EQ(dlg.cmbServer.listCount(), 1);
    EXPECT_EQ(dlg.cmbServer.text(), "None");
    for (const forms::Control* c : std::initializer_list<const forms::Control*>{
             &dlg.cmbServer, &dlg.Label2, &dlg.cmbRealm, &dlg.lblFromRealm})
        EXPECT_FALSE(c->enabled()) << c->name();
    dlg.cmbRealm.setListIndex(3);
    dlg.cmdSave_Click();
    EXPECT_EQ(saved(), (std::vector<std::string>{"1", "0", "1", "Ironvale", "3", "0", "0", "1", "", "2"}));
}

TEST_F(OptionsTest, SaveWritesEveryValueAsDecimalText) {
    cacheDocument();
    frmOptions dlg(kServers, appPath);
    dlg.chkUpdateOnStart.setValue(0);
    dlg.cmbFrequency.setListIndex(1);
    dlg.chkSystemTray.setValue(0);
    dlg.cmbServer.setListIndex(4);
    dlg.cmbRealm.setListIndex(3);
    dlg.cmbServerSet.setListIndex(1);
    dlg.chkFilterNoob.setValue(1);
    dlg.cmbNotify.setListIndex(0);
    dlg.cmbSound.setListIndex(1);
    typeInto(dlg.txtOnChangeCommand, "/home/me/bin/to-guild \"$TOWERWATCH_PLACE\"");
    dlg.cmdSave_Click();
    EXPECT_EQ(saved(), (std::vector<std::string>{"0", "1", "0", "Brightwater", "3", "1", "1", "0",
                                                 "/home/me/bin/to-guild \"$TOWERWATCH_PLACE\"", "1"}));
    EXPECT_EQ(services.registry.keys.at("Software\\Vexlor\\Towerwatch").size(), 10u);

    // Only a real server enables the realm; choosing "None" still writes the realm.
    frmOptions again(kServers, appPath);
    again.cmbServer.setListIndex(0);
    EXPECT_FALSE(again.cmbRealm.enabled() || again.lblFromRealm.enabled());
    again.cmdSave_Click();
    EXPECT_EQ(saved()[3], "None");
    EXPECT_EQ(saved()[4], "3");
}

TEST_F(OptionsTest, UntouchedStartTickLeavesAHandEditedEntryAlone) {
    const RegistryValue edited{platform::REG_SZ, "/usr/local/bin/towerwatch -startup --quiet"};
    services.registry.setValue(platform::kRunKey, platform::kAutostartValueName, edited);
    frmOptions(kServers, appPath).cmdSave_Click();
    EXPECT_EQ(runValue(), edited);
    // Ticked and cleared again before saving counts as untouched too.
    frmOptions again(kServers, appPath);
    again.chkStartWithWin.setValue(0);
    again.chkStartWithWin.setValue(1);
    again.cmdSave_Click();
    EXPECT_EQ(runValue(), edited);
}

#ifndef _WIN32  // the Linux session's desktop entry; Windows' Run value is the store's own test
TEST_F(OptionsTest, TickingWritesAnEntryThatRunsTheRealProgramAndClearingRemovesIt) {
    // An installed copy: the program lives apart from its files, in a folder whose name the
    // session's command line would otherwise split or expand.
    const std::string program = folder / "bin $HOME/tower \"watch\"";
    ASSERT_TRUE(platform::makeFolders(folder / "bin $HOME"));
    ASSERT_TRUE(platform::writeFileAtomically(program, "#!/bin/sh\n"));
    services.processFacts.exePath = program;
    const std::string entryPath = folder / "config/autostart/towerwatch.desktop";
    platform::FileRegistry files(folder / "config/towerwatch/registry.reg", entryPath);
    services.installRegistry(files);
    {
        frmOptions dlg(kServers, appPath);
        dlg.chkStartWithWin.setValue(1);
        dlg.cmdSave_Click();
    }
    // Quoted as one argument, then its backslashes doubled once more for the entry's text.
    const std::string entry = platform::readWholeFile(entryPath).value_or("");
    EXPECT_NE(entry.find("\nExec=\"" + folder.path() + "/bin \\\\$HOME/tower \\\\\"watch\\\\\"\" -startup\n"),
              std::string::npos)
        << entry;
    EXPECT_EQ(runValue(), (RegistryValue{platform::REG_SZ, program + " -startup"}));
    {
        frmOptions dlg(kServers, appPath);
        ASSERT_EQ(dlg.chkStartWithWin.value(), 1);
        dlg.chkStartWithWin.setValue(0);
        dlg.cmdSave_Click();
    }
    EXPECT_FALSE(runValue());
    EXPECT_FALSE(platform::fileExists(entryPath));
    EXPECT_EQ(saved()[2], "1") << "the other values were saved as well";
}
#endif

TEST_F(OptionsTest, FailingRegistryIsNotReportedAndTheDialogStillCloses) {
    frmOptions dlg(kServers, appPath);
    dlg.show();
    dlg.chkStartWithWin.setValue(1);
    services.registry.failWrites = true;
    dlg.cmdSave_Click();
    EXPECT_FALSE(dlg.isShown());
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_TRUE(services.registry.keys.empty());
}

TEST_F(OptionsTest, CancelEscAndTheCloseButtonWriteNothing) {
    cacheDocument();
    store({"1", "1", "1", "Stormreach"});
    const auto before = services.registry.keys;
    const std::function<void(frmOptions&)> ways[] = {
        [](frmOptions& dlg) { dlg.cmdCancel.click(); },
        [](frmOptions& dlg) {
            testing::pressEscape(dlg.cmbFrequency);
        },
        [](frmOptions& dlg) { EXPECT_TRUE(dlg.close()); },
    };
    for (const auto& leave : ways) {
        frmOptions dlg(kServers, appPath);
        dlg.show();
        dlg.cmbFrequency.setListIndex(3);
        dlg.cmbServer.setListIndex(2);
        dlg.chkSystemTray.setValue(0);
        dlg.chkStartWithWin.setValue(1);
        dlg.cmbNotify.setListIndex(2);
        typeInto(dlg.txtOnChangeCommand, "/usr/bin/true");
        leave(dlg);
        EXPECT_FALSE(dlg.isShown());
    }
    EXPECT_EQ(services.registry.keys, before);
    EXPECT_FALSE(runValue());
}

TEST_F(OptionsTest, ModalShowingReturnsOnceSavedAndEveryControlLiesInsideTheWindow) {
    forms::Form owner("frmMain");
    owner.setClientSize(7485, 7230);
    owner.show();
    frmOptions dlg(kServers, appPath);
    testing::runAfter(20, [&] {
        EXPECT_TRUE(dlg.isShown());
        dlg.cmdSave.click();
    });
    dlg.showModal(&owner);
    EXPECT_FALSE(dlg.isShown());
    EXPECT_EQ(ReadSetting("UpdateTime", ""), "0");

    const std::pair<const forms::Label*, const forms::ComboBox*> captions[] = {
        {&dlg.Label3, &dlg.cmbServerSet}, {&dlg.Label1, &dlg.cmbFrequency},
        {&dlg.Label2, &dlg.cmbServer},    {&dlg.lblFromRealm, &dlg.cmbRealm}, {&dlg.lblNotify, &dlg.cmbNotify},
        {&dlg.lblSound, &dlg.cmbSound}};
    for (const auto& [label, list] : captions) {
        const forms::Size needed = testing::textNeeds(*label, label->caption());
        const forms::Size shown = testing::shownSize(*label);
        EXPECT_LE(needed.width(), shown.width()) << label->name() << " cuts its text";
        EXPECT_LE(needed.height(), shown.height()) << label->name() << " cuts its text";
        EXPECT_LE(label->left() + label->width(), list->left()) << label->name() << " runs into its list";
    }
    for (const forms::CheckBox* check :
         {&dlg.chkUpdateOnStart, &dlg.chkStartWithWin, &dlg.chkSystemTray, &dlg.chkFilterNoob})
        EXPECT_LE(testing::preferredWidth(*check), testing::shownSize(*check).width()) << check->name();
    const testing::Rect inside = testing::inside(dlg);
    for (const testing::ShownChild& child : testing::shownChildren(dlg))
        if (child.visible) {
            EXPECT_TRUE(inside.contains(child.area)) << child.name;
        }
    owner.hide();
}

}  // namespace
}  // namespace tw
