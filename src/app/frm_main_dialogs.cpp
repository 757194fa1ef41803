// The windows the main window opens: options, history viewer and about box.
#include "app/frm_main.h"

#include "runtime/error_handler.h"

namespace tw {

void frmMain::cmdProgramOptions_Click() {
    withErrorHandler("cmdProgramOptions_Click", [&] {
        // The options dialog opens here, modally, once it is part of the program.
        ReapplySettings();
    });
}

void frmMain::cmdMonitorOptions_Click() {
    // The history viewer opens here, modally, once it is part of the program.
}

void frmMain::cmdAbout_Click() {
    // The about box opens here, modally, once it is part of the program.
}

void frmMain::mAbout_Click() {
    // The about box opens here, without an owner, once it is part of the program.
}

}  // namespace tw
