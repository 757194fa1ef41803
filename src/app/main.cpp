// Towerwatch: watches the herald's status document and the keeps of one server.
#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

#include "app/artwork.h"
#include "app/command_line.h"
#include "app/frm_main.h"
#include "forms/forms.h"
#include "forms/qt/picture_data.h"
#include "platform/files.h"
#include "platform/instance.h"
#include "platform/process_facts.h"
#include "platform/services.h"

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

// --help and --version answer before any window or file is touched.
bool answeredCommandLine(int argc, char** argv) {
    const tw::CommandLineAnswer answer = tw::commandLineAnswer(argc, argv);
    if (answer == tw::CommandLineAnswer::None) return false;
    const tw::platform::ProcessFacts facts;
    const std::string text =
        answer == tw::CommandLineAnswer::Help
            ? tw::usageText(argc > 0 ? argv[0] : "towerwatch")
            : tw::versionText(facts.productName(), facts.versionMajor(), facts.versionMinor(),
                              facts.versionRevision());
    std::fputs(text.c_str(), stdout);
    return true;
}

// What writers killed before their rename left behind in the program's and the settings' folders.
void sweepStaleTemporaryFiles() {
    using namespace tw::platform;
    removeStaleTemporaryFiles(appPath(processFacts()));
    removeStaleTemporaryFiles(userConfigFolder() + "/towerwatch");
    removeStaleTemporaryFiles(userConfigFolder() + "/autostart");
}

}  // namespace

int main(int argc, char** argv) {
    // Read while this is the only thread: files made later get the mode it allows.
    tw::platform::processUmask();
    if (answeredCommandLine(argc, argv)) return 0;
    QApplication app(argc, argv);
    QApplication::setApplicationName("Towerwatch");
    QGuiApplication::setDesktopFileName(tw::platform::kDesktopEntryId);

    // Two copies on one configuration would write every log line twice: a later copy hands
    // over to the running one and ends.
    tw::platform::SingleInstance instance(
        tw::platform::instanceName(tw::platform::userConfigFolder() + "/towerwatch"),
        tw::platform::instanceFolder());
    // The launcher's token for raising our window on Wayland: a running copy spends it, or
    // this copy's first window does. Programs we start (links, the on-change command) must
    // not inherit it, as a token is good for one window.
    const char* launcherToken = std::getenv("XDG_ACTIVATION_TOKEN");
    const std::string activationToken = launcherToken ? launcherToken : "";
    ::unsetenv("XDG_ACTIVATION_TOKEN");
    switch (instance.claim(activationToken)) {
    case tw::platform::SingleInstance::Claim::AnotherRuns:
        std::fputs("Towerwatch is already running: its window is brought to the front.\n", stderr);
        return 0;
    case tw::platform::SingleInstance::Claim::Unguarded:
        std::fprintf(stderr, "Towerwatch runs without its one-copy lock (%s): a second copy would not be stopped.\n",
                     instance.problem().c_str());
        break;
    case tw::platform::SingleInstance::Claim::OnlyCopy:
        break;
    }
    if (!activationToken.empty()) tw::forms::activateNextShownForm(activationToken);
    sweepStaleTemporaryFiles();
    // The window may live in the tray with no window shown; the program ends on Exit.
    QApplication::setQuitOnLastWindowClosed(false);
    tw::forms::registerBundledFonts();
    tw::forms::installMessageBoxSink();
    tw::forms::setCustomPointerPicture(tw::handCursor());

    tw::frmMain main;
    main.onProgramEnd = [] { QCoreApplication::quit(); };
    routeTerminationSignals(main);
    instance.onShowRequested = [&main](const std::string& activationToken) { main.anotherCopyStarted(activationToken); };
    // Start-up runs inside the event loop, so a message box it shows cannot outlive a
    // request to end the program.
    QTimer::singleShot(0, &app, [&main] { main.Form_Load(); });
    return app.exec();
}
