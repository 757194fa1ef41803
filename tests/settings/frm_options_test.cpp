#include "settings/frm_options.h"

#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

#include "forms/text_metrics.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/message_box.h"
#include "settings/settings_store.h"
#include "temp_folder.h"

namespace tw {
namespace {

using platform::RegistryValue;

const std::string kKey = "Software\\Vexlor\\Towerwatch";
const std::vector<std::string> kServers = {"Stormreach", "Ironvale", "Duskmere", "Brightwater"};

class OptionsTest : public ::testing::Test {
protected:
    OptionsTest() : appPath(folder.slashed()) {}

    void cacheDocument() {
        ASSERT_TRUE(platform::writeFileAtomically(appPath + "server-info.xml", "<servers/>"));
    }
    void store(const std::string& name, const std::string& text) { WriteSetting(name, text); }
    std::optional<RegistryValue> stored(const std::string& name) {
        return services.registry.queryValue(kKey, name);
    }
    std::optional<RegistryValue> runValue() {
        return platform::registry().queryValue(platform::kRunKey, platform::kAutostartValueName);
    }

    platform::ScopedServices services;
    ScopedMessageBoxRecorder boxes;
    testing::TempFolder folder;
    std::string appPath;
};

TEST_F(OptionsTest, FirstRunShowsTheDefaultsAndLoadingWritesNothing) {
    cacheDocument();
    frmOptions dlg(kServers, appPath);
    EXPECT_EQ(dlg.chkUpdateOnStart.value(), 1);
    EXPECT_EQ(dlg.chkStartWithWin.value(), 0);
    EXPECT_EQ(dlg.chkSystemTray.value(), 1);
    EXPECT_EQ(dlg.cmbFrequency.text(), "15 minutes");
    EXPECT_EQ(dlg.cmbServer.text(), "None");
    EXPECT_EQ(dlg.cmbRealm.text(), "None");
    EXPECT_EQ(dlg.cmbServerSet.text(), "US Servers");
    EXPECT_EQ(dlg.chkFilterNoob.value(), 0);
    EXPECT_TRUE(services.registry.keys.empty());
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(OptionsTest, StoredValuesAndTheRunEntryShowInTheControls) {
    cacheDocument();
    store("UpdateOnStart", "0");
    store("UpdateTime", "3");
    store("SystemTray", "0");
    store("MonitorServer", "Duskmere");
    store("Realm", "2");
    store("ServerSet", "1");
    store("FilterNoob", "1");
    // Any value under the name counts as present, whatever its type.
    services.registry.setValue(platform::kRunKey, platform::kAutostartValueName, platform::dwordValue(7));

    frmOptions dlg(kServers, appPath);
    EXPECT_EQ(dlg.chkUpdateOnStart.value(), 0);
    EXPECT_EQ(dlg.chkStartWithWin.value(), 1);
    EXPECT_EQ(dlg.chkSystemTray.value(), 0);
    EXPECT_EQ(dlg.cmbFrequency.text(), "Never!");
    // "None", then the main window's servers in its order.
    ASSERT_EQ(dlg.cmbServer.listCount(), 5);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(dlg.cmbServer.list(i), kServers[i - 1]);
    EXPECT_EQ(dlg.cmbServer.listIndex(), 3);
    EXPECT_TRUE(dlg.cmbRealm.enabled());
    EXPECT_TRUE(dlg.lblFromRealm.enabled());
    EXPECT_EQ(dlg.cmbRealm.text(), "Albion");
    EXPECT_EQ(dlg.cmbServerSet.text(), "Euro Servers");
    EXPECT_EQ(dlg.chkFilterNoob.value(), 1);
}

TEST_F(OptionsTest, WithoutCachedDocumentOnlyNoneDisabledAndSaveLeavesMonitorServer) {
    store("MonitorServer", "Ironvale");
    frmOptions dlg(kServers, appPath);
    ASSERT_EQ(dlg.cmbServer.listCount(), 1);
    EXPECT_EQ(dlg.cmbServer.text(), "None");
    EXPECT_FALSE(dlg.cmbServer.enabled());
    EXPECT_FALSE(dlg.Label2.enabled());
    EXPECT_FALSE(dlg.cmbRealm.enabled());
    EXPECT_FALSE(dlg.lblFromRealm.enabled());

    dlg.cmbRealm.setListIndex(3);
    dlg.cmdSave_Click();
    EXPECT_EQ(ReadSetting("MonitorServer", ""), "Ironvale");
    EXPECT_EQ(ReadSetting("Realm", ""), "3");
}

TEST_F(OptionsTest, StoredValuesOutsideTheListsSelectTheFirstEntriesWithoutAnError) {
    cacheDocument();
    // Names compare exactly: another letter case is not the same server.
    store("MonitorServer", "stormreach");
    store("UpdateTime", "7");
    store("Realm", "-2");
    store("ServerSet", "Euro");
    store("UpdateOnStart", "maybe");
    frmOptions dlg(kServers, appPath);
    EXPECT_EQ(dlg.cmbServer.listIndex(), 0);
    EXPECT_FALSE(dlg.cmbRealm.enabled());
    EXPECT_EQ(dlg.cmbFrequency.listIndex(), 0);
    EXPECT_EQ(dlg.cmbRealm.listIndex(), 0);
    EXPECT_EQ(dlg.cmbServerSet.listIndex(), 0);
    EXPECT_EQ(dlg.chkUpdateOnStart.value(), 0);
    EXPECT_TRUE(boxes.calls.empty());
    // Saving puts every value back into a form start-up can read.
    dlg.cmdSave_Click();
    EXPECT_EQ(ReadSetting("UpdateTime", ""), "0");
    EXPECT_EQ(ReadSetting("ServerSet", ""), "0");
    EXPECT_EQ(ReadSetting("UpdateOnStart", ""), "0");
}

TEST_F(OptionsTest, SaveWritesEveryValueAsDecimalTextAndCloses) {
    cacheDocument();
    frmOptions dlg(kServers, appPath);
    dlg.show();
    dlg.chkUpdateOnStart.setValue(0);
    dlg.cmbFrequency.setListIndex(1);
    dlg.chkSystemTray.setValue(0);
    dlg.cmbServer.setListIndex(4);
    dlg.cmbRealm.setListIndex(3);
    dlg.cmbServerSet.setListIndex(1);
    dlg.chkFilterNoob.setValue(1);
    dlg.cmdSave_Click();

    EXPECT_FALSE(dlg.isShown());
    const std::pair<const char*, const char*> expected[] = {
        {"UpdateOnStart", "0"}, {"UpdateTime", "1"}, {"SystemTray", "0"}, {"MonitorServer", "Brightwater"},
        {"Realm", "3"},         {"ServerSet", "1"},  {"FilterNoob", "1"},
    };
    for (const auto& [name, text] : expected)
        EXPECT_EQ(stored(name), (RegistryValue{platform::REG_SZ, text})) << name;
    EXPECT_EQ(services.registry.keys.at(kKey).size(), 7u);
    EXPECT_FALSE(runValue()) << "the tick was not touched";
}

TEST_F(OptionsTest, OnlyARealServerEnablesTheRealmButNoneStillWritesIt) {
    cacheDocument();
    store("MonitorServer", "Stormreach");
    store("Realm", "2");
    frmOptions dlg(kServers, appPath);
    EXPECT_TRUE(dlg.cmbRealm.enabled());
    EXPECT_TRUE(dlg.lblFromRealm.enabled());
    dlg.cmbServer.setListIndex(0);
    EXPECT_FALSE(dlg.cmbRealm.enabled());
    EXPECT_FALSE(dlg.lblFromRealm.enabled());
    dlg.cmdSave_Click();
    EXPECT_EQ(ReadSetting("MonitorServer", ""), "None");
    EXPECT_EQ(ReadSetting("Realm", ""), "2");
}

TEST_F(OptionsTest, UntouchedStartTickLeavesAHandEditedEntryAlone) {
    const RegistryValue edited{platform::REG_SZ, "/usr/local/bin/towerwatch -startup --quiet"};
    services.registry.setValue(platform::kRunKey, platform::kAutostartValueName, edited);
    frmOptions dlg(kServers, appPath);
    ASSERT_EQ(dlg.chkStartWithWin.value(), 1);
    dlg.cmdSave_Click();
    EXPECT_EQ(runValue(), edited);

    // Ticked and cleared again before saving counts as untouched too.
    frmOptions again(kServers, appPath);
    again.chkStartWithWin.setValue(0);
    again.chkStartWithWin.setValue(1);
    again.cmdSave_Click();
    EXPECT_EQ(runValue(), edited);

    // And with no entry, nothing appears.
    services.registry.deleteValue(platform::kRunKey, platform::kAutostartValueName);
    frmOptions none(kServers, appPath);
    none.cmdSave_Click();
    EXPECT_FALSE(runValue());
}

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
    EXPECT_EQ(ReadSetting("SystemTray", ""), "1") << "the other values were saved as well";
}

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

TEST_F(OptionsTest, CancelEscAndTheCloseButtonWriteNothingAndOldValuesAreReadBack) {
    cacheDocument();
    store("UpdateTime", "1");
    store("MonitorServer", "Stormreach");
    store("SystemTray", "1");
    const auto before = services.registry.keys;

    const std::function<void(frmOptions&)> ways[] = {
        [](frmOptions& dlg) { dlg.cmdCancel.click(); },
        [](frmOptions& dlg) {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(dlg.cmbFrequency.widget(), &escape);
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
    QTimer::singleShot(20, [&] {
        EXPECT_TRUE(dlg.isShown());
        dlg.cmdSave.click();
    });
    dlg.showModal(&owner);
    EXPECT_FALSE(dlg.isShown());
    EXPECT_EQ(ReadSetting("UpdateTime", ""), "0");

    const std::pair<const forms::Label*, const forms::ComboBox*> captions[] = {
        {&dlg.Label3, &dlg.cmbServerSet}, {&dlg.Label1, &dlg.cmbFrequency},
        {&dlg.Label2, &dlg.cmbServer},    {&dlg.lblFromRealm, &dlg.cmbRealm}};
    for (const auto& [label, list] : captions) {
        const QSize needed = forms::textExtent(label->widget()->font(), forms::toDisplayLines(label->caption()));
        EXPECT_LE(needed.width(), label->widget()->width()) << label->name() << " cuts its text";
        EXPECT_LE(needed.height(), label->widget()->height()) << label->name() << " cuts its text";
        EXPECT_LE(label->left() + label->width(), list->left()) << label->name() << " runs into its list";
    }
    for (const forms::CheckBox* check :
         {&dlg.chkUpdateOnStart, &dlg.chkStartWithWin, &dlg.chkSystemTray, &dlg.chkFilterNoob})
        EXPECT_LE(check->widget()->sizeHint().width(), check->widget()->width()) << check->name();
    const QRect inside = dlg.window()->rect();
    for (const QWidget* child : dlg.window()->findChildren<QWidget*>()) {
        if (!child->isVisibleTo(dlg.window()) || child->isWindow()) continue;
        const QRect area(child->mapTo(dlg.window(), QPoint(0, 0)), child->size());
        EXPECT_TRUE(inside.contains(area)) << child->objectName().toStdString();
    }
    owner.hide();
}

}  // namespace
}  // namespace tw
