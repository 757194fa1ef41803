#pragma once
// The main window on screen over the readable herald fixture, its servers listed: where the
// tests that go through it as a keyboard or a screen reader would begin.
#include <gtest/gtest.h>

#include <string>

#include "app/frm_main.h"
#include "platform/files.h"
#include "platform/services.h"
#include "runtime/message_box.h"
#include "temp_folder.h"

namespace tw::testing {

class ShownMainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        services.processFacts.folder = folder.slashed();
        main.AppPath = folder.slashed();
        main.watch.XMLData =
            platform::readWholeFile(std::string(TW_TEST_DATA_DIR) + "/herald_readable.xml").value_or("");
        main.LoadServers();
        main.show();
    }

    platform::ScopedServices services;
    ScopedMessageBoxRecorder boxes;
    TempFolder folder;
    frmMain main;
};

}  // namespace tw::testing
