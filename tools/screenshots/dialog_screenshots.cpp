// Renders the options dialog and the about box into PNG files (docs/options.png and
// docs/about.png) on whatever display Qt is given; not a test. Settings come from an
// in-memory registry, so the user's own are neither read nor changed.
//
//     dialog_screenshots <output folder>
#include <cstdio>
#include <string>

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>

#include "about/frm_splash.h"
#include "forms/application.h"
#include "forms/qt/native_form.h"
#include "platform/files.h"
#include "platform/services.h"
#include "settings/frm_options.h"
#include "settings/settings_store.h"

namespace {

bool save(tw::forms::Form& form, const std::string& path) {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    const bool saved = tw::forms::qt::windowOf(form)->grab().save(QString::fromStdString(path), "PNG");
    std::printf("%s %s\n", saved ? "wrote" : "could not write", path.c_str());
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string out = std::string(argv[1]) + "/";
    QApplication app(argc, argv);
    tw::forms::registerBundledFonts();

    tw::platform::ScopedServices services;
    services.processFacts.major = 1;
    services.processFacts.minor = 0;
    services.processFacts.revision = 1;
    QTemporaryDir folder;
    const std::string appPath = QDir(folder.path()).absolutePath().toStdString() + "/";
    tw::platform::writeFileAtomically(appPath + tw::platform::kStatusFile, "<servers/>");
    tw::WriteSetting("MonitorServer", "Ironvale");
    tw::WriteSetting("Realm", "1");
    tw::WriteSetting("UpdateTime", "1");
    tw::WriteSetting("OnChangeCommand", "/home/me/bin/keeps-to-guild-chat");

    bool ok = true;
    {
        tw::frmOptions options({"Stormreach", "Ironvale", "Duskmere", "Brightwater"}, appPath);
        options.show();
        ok = save(options, out + "options.png") && ok;
        options.close();
    }
    tw::frmSplash about;
    about.show();
    ok = save(about, out + "about.png") && ok;
    about.close();
    return ok ? 0 : 1;
}
