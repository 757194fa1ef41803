#include "platform/qt/notify_icon.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QSystemTrayIcon>

#include <gtest/gtest.h>

namespace tw::platform {
namespace {

QIcon filledIcon(Qt::GlobalColor colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

NOTIFYICONDATA record(uint32_t id, uintptr_t icon, const std::string& tip, uint32_t flags = 7) {
    NOTIFYICONDATA data;
    data.hWnd = 0x1234;
    data.uID = id;
    data.uFlags = flags;
    data.uCallbackMessage = WM_MOUSEMOVE;
    data.hIcon = icon;
    setNotifyTip(data, tip);
    return data;
}

TEST(NotifyIconHandles, SamePictureSameHandleAndTheHandleGivesThePictureBack) {
    const QIcon red = filledIcon(Qt::red);
    const QIcon green = filledIcon(Qt::green);
    const uintptr_t redHandle = iconHandle(red);
    EXPECT_NE(redHandle, 0u);
    EXPECT_EQ(iconHandle(red), redHandle);
    EXPECT_NE(iconHandle(green), redHandle);
    EXPECT_EQ(iconFromHandle(redHandle).cacheKey(), red.cacheKey());
    EXPECT_EQ(iconHandle(QIcon()), 0u);
    EXPECT_TRUE(iconFromHandle(0).isNull());
    EXPECT_TRUE(iconFromHandle(987654).isNull());
}

QSystemTrayIcon* onlyTrayIcon() {
    const auto icons = qApp->findChildren<QSystemTrayIcon*>();
    return icons.size() == 1 ? icons.front() : nullptr;
}

TEST(QtNotifyIconShellTest, OneTrayIconPerIdWithTipIconAndMouseMessagesOnlyWhenAsked) {
    QtNotifyIconShell shell;
    std::vector<std::pair<uint32_t, uint32_t>> received;
    shell.setMessageHandler(0x1234, [&](uint32_t id, uint32_t message) { received.emplace_back(id, message); });
    const uintptr_t normal = iconHandle(filledIcon(Qt::blue));
    const uintptr_t alert = iconHandle(filledIcon(Qt::yellow));

    EXPECT_FALSE(shell.Shell_NotifyIcon(NIM_MODIFY, record(1, alert, "none yet")));
    EXPECT_EQ(onlyTrayIcon(), nullptr);
    ASSERT_TRUE(shell.Shell_NotifyIcon(NIM_ADD, record(1, normal, std::string(80, 'z'))));
    EXPECT_FALSE(shell.Shell_NotifyIcon(NIM_ADD, record(1, normal, "again")));
    QSystemTrayIcon* tray = onlyTrayIcon();
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->toolTip(), QString(63, 'z'));
    EXPECT_EQ(tray->icon().cacheKey(), iconFromHandle(normal).cacheKey());
    EXPECT_TRUE(tray->contextMenu() == nullptr);

    ASSERT_TRUE(shell.Shell_NotifyIcon(NIM_MODIFY, record(1, alert, "Keep taken \xe9t\xe9")));
    EXPECT_EQ(tray->icon().cacheKey(), iconFromHandle(alert).cacheKey());
    EXPECT_EQ(tray->toolTip(), QString::fromUtf8("Keep taken \xc3\xa9t\xc3\xa9"));
    // Bytes 0x80..0x9F of a Windows-1252 tip are its punctuation, not control characters.
    ASSERT_TRUE(shell.Shell_NotifyIcon(NIM_MODIFY, record(1, alert, "\x80 \x93Keep taken\x94")));
    EXPECT_EQ(tray->toolTip(), QString::fromUtf8("\xe2\x82\xac \xe2\x80\x9c" "Keep taken\xe2\x80\x9d"));
    // A UTF-8 tip too long for the record loses the character the cut would split.
    ASSERT_TRUE(shell.Shell_NotifyIcon(NIM_MODIFY, record(1, alert, std::string(62, 'z') + "\xc3\xa9t\xc3\xa9")));
    EXPECT_EQ(tray->toolTip().toStdString(), std::string(62, 'z'));
    ASSERT_TRUE(shell.Shell_NotifyIcon(NIM_MODIFY, record(1, alert, std::string(61, 'z') + "\xe2\x80\x94 ok")));
    EXPECT_EQ(tray->toolTip().toStdString(), std::string(61, 'z'));
    // Windows-1252 bytes are characters of their own: the tip keeps all 63.
    ASSERT_TRUE(shell.Shell_NotifyIcon(NIM_MODIFY, record(1, alert, std::string(62, 'z') + "\xe9t\xe9")));
    EXPECT_EQ(tray->toolTip().toStdString(), std::string(62, 'z') + "\xc3\xa9");
    ASSERT_TRUE(shell.Shell_NotifyIcon(NIM_MODIFY, record(1, normal, "only the tip", 4)));
    EXPECT_EQ(tray->icon().cacheKey(), iconFromHandle(alert).cacheKey());

    emit tray->activated(QSystemTrayIcon::Trigger);
    emit tray->activated(QSystemTrayIcon::DoubleClick);
    emit tray->activated(QSystemTrayIcon::Context);
    emit tray->activated(QSystemTrayIcon::MiddleClick);
    EXPECT_EQ(received, (std::vector<std::pair<uint32_t, uint32_t>>{
                            {1, WM_LBUTTONDOWN}, {1, WM_LBUTTONDBLCLK}, {1, WM_RBUTTONUP}}));

    ASSERT_TRUE(shell.Shell_NotifyIcon(NIM_DELETE, record(1, 0, "")));
    EXPECT_FALSE(shell.Shell_NotifyIcon(NIM_DELETE, record(1, 0, "")));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(onlyTrayIcon(), nullptr);

    // An icon added without the message flag sends nothing.
    ASSERT_TRUE(shell.Shell_NotifyIcon(NIM_ADD, record(2, normal, "quiet", 6)));
    ASSERT_NE(onlyTrayIcon(), nullptr);
    emit onlyTrayIcon()->activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(received.size(), 3u);
}

}  // namespace
}  // namespace tw::platform
