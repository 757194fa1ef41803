// Towerwatch: watches the herald's status document and the keeps of one server.
#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include "app/artwork.h"
#include "app/frm_main.h"
#include "forms/forms.h"

namespace {

int g_signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

// SIGTERM and SIGINT end the program the way "Exit" does, so the tray icon is removed.
void routeTerminationSignals(tw::frmMain& main) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, [&main] {
        char byte;
        [[maybe_unused]] ssize_t n = ::read(g_signalPipe[0], &byte, 1);
        main.UnloadAll();
    });
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Towerwatch");
    // The window may live in the tray with no window shown; the program ends on Exit.
    QApplication::setQuitOnLastWindowClosed(false);
    tw::forms::registerBundledFonts();
    tw::forms::installMessageBoxSink();
    tw::forms::setCustomPointerPicture(tw::handCursor());

    tw::frmMain main;
    main.onProgramEnd = [] { QCoreApplication::quit(); };
    routeTerminationSignals(main);
    // Start-up runs inside the event loop, so a message box it shows cannot outlive a
    // request to end the program.
    QTimer::singleShot(0, &app, [&main] { main.Form_Load(); });
    return app.exec();
}
