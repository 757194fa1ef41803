// The main window with keys only: Tab reaches the links in reading order (the header, the
// servers top to bottom, then the buttons), Enter on a server's name shows it, Space on
// "Monitoring..." opens the history, and Esc closes it. In the about box the address and the
// donation button are reached with Tab and open their links with Enter or Space.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include <string>
#include <vector>

#include "about/about_texts.h"
#include "about/frm_splash.h"
#include "forms/qt/native_control.h"
#include "forms/qt/native_form.h"
#include "forms_probe.h"
#include "keys_qt.h"
#include "shown_main_window.h"

namespace tw {
namespace {

using testing::key;
using testing::position;
using testing::tabTo;

using MainWindowKeyboard = testing::ShownMainWindow;

TEST_F(MainWindowKeyboard, TabReachesTheServersInOrderEnterShowsOneAndSpaceOpensTheHistory) {
    QWidget* window = forms::qt::windowOf(main);
    window->activateWindow();
    QApplication::setActiveWindow(window);
    forms::qt::widgetOf(main.Label5)->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), forms::qt::widgetOf(main.Label5)) << "\"Last Updated:\" takes the focus";

    // One round from "Last Updated:" back to it: the servers in order, before the buttons.
    key(Qt::Key_Tab);
    std::vector<QWidget*> round = tabTo(forms::qt::widgetOf(main.Label5));
    const int monitoring = position(round, forms::qt::widgetOf(main.cmdMonitorOptions));
    ASSERT_GE(monitoring, 0);
    EXPECT_GE(position(round, forms::qt::widgetOf(main.lblURL)), 0) << "the home page";
    int previous = -1;
    for (int i = 0; i <= main.lblServers.ubound(); ++i) {
        const int at = position(round, forms::qt::widgetOf(main.lblServers[i]));
        EXPECT_GT(at, previous) << main.lblServers[i].caption();
        EXPECT_LT(at, monitoring) << main.lblServers[i].caption();
        previous = at;
    }

    tabTo(forms::qt::widgetOf(main.lblServers[1]));
    key(Qt::Key_Return);
    EXPECT_EQ(main.lblServerName.caption(), main.lblServers[1].caption());

    bool viewerShown = false;
    testing::runAfter(0, [&] {
        for (forms::Form* form : forms::Form::openForms())
            if (form->name() == "frmMonitoring") {
                viewerShown = true;
                testing::pressEscape(*form);
            }
    });
    tabTo(forms::qt::widgetOf(main.cmdMonitorOptions));
    key(Qt::Key_Space, true);  // returns once Esc has closed the modal history
    EXPECT_TRUE(viewerShown);
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(MainWindowKeyboard, TheAboutBoxsLinksAreReachedWithTabAndOpenedWithEnterOrSpace) {
    main.mAbout_Click();
    frmSplash* about = frmSplash::current();
    ASSERT_NE(about, nullptr);
    QApplication::setActiveWindow(forms::qt::windowOf(*about));
    forms::qt::widgetOf(about->cmdClose)->setFocus();
    key(Qt::Key_Tab);
    const std::vector<QWidget*> round = tabTo(forms::qt::widgetOf(about->cmdClose));
    const int address = position(round, forms::qt::widgetOf(about->Label4));
    EXPECT_GE(address, 0);
    EXPECT_GT(position(round, forms::qt::widgetOf(about->Image2)), address) << "the donation button comes next";

    tabTo(forms::qt::widgetOf(about->Label4));
    key(Qt::Key_Return);
    tabTo(forms::qt::widgetOf(about->Image2));
    key(Qt::Key_Space, true);
    ASSERT_EQ(services.shell.calls.size(), 2u);
    EXPECT_EQ(services.shell.calls[0].file, kMailLink);
    EXPECT_EQ(services.shell.calls[1].file, kDonationPage);
    about->close();
}

}  // namespace
}  // namespace tw
