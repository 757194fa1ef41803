// towerwatch.exe: the program on Windows. A window program, so --help and --version write to
// the console it was started from, when there is one.
#include <cstdio>

#include "app/artwork.h"
#include "app/command_line.h"
#include "app/frm_main.h"
#include "forms/forms.h"
#include "forms/win32/application_loop.h"
#include "platform/event_loop.h"
#include "platform/files.h"
#include "platform/instance.h"
#include "platform/process_facts.h"
#include "platform/services.h"
#include "settings/settings_store.h"

// After the program's headers: windows.h makes RGB a macro.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shobjidl.h>

namespace {

// Standard output as handed over (a pipe, a file), else the console of the parent.
bool openStandardOutput() {
    const HANDLE handed = GetStdHandle(STD_OUTPUT_HANDLE);
    if (handed && handed != INVALID_HANDLE_VALUE && GetFileType(handed) != FILE_TYPE_UNKNOWN) return true;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
    return std::freopen("CONOUT$", "w", stdout) != nullptr;
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
    if (openStandardOutput()) {
        std::fputs(text.c_str(), stdout);
        std::fflush(stdout);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (answeredCommandLine(argc, argv)) return 0;
    // The id the Start menu shortcut carries, so the taskbar and the notification centre
    // take the window and its balloons for the installed program's.
    SetCurrentProcessExplicitAppUserModelID(L"" TW_APP_ID);

    // Two copies on one settings key would write every log line twice: a later copy hands
    // over to the running one and ends.
    tw::platform::SingleInstance instance(tw::platform::instanceName(tw::settingsKey()),
                                          tw::platform::instanceFolder());
    if (instance.claim() == tw::platform::SingleInstance::Claim::AnotherRuns) return 0;
    tw::platform::removeStaleTemporaryFiles(tw::platform::appPath(tw::platform::processFacts()));
    tw::forms::installMessageBoxSink();
    const tw::HotSpot hot = tw::handCursorHotSpot();
    tw::forms::setCustomPointerPicture(tw::handCursor(), hot.x, hot.y);

    tw::frmMain main;
    main.onProgramEnd = [] { tw::platform::quitEventLoop(0); };
    instance.onShowRequested = [&main](const std::string&) { main.anotherCopyStarted(); };
    // The installer asks a running copy to end before it replaces the program: as "Exit" does.
    instance.onEndRequested = [&main] { main.UnloadAll(); };
    // Start-up runs inside the event loop, so a message box it shows cannot outlive a
    // request to end the program.
    tw::platform::postToEventLoop([&main] { main.Form_Load(); });
    return tw::forms::win32::runApplication();
}
