#include "window_shot.h"

#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "forms/application.h"
#include "forms/qt/native_form.h"

namespace tw::screenshots {

struct ShotSession::Native {
    Native(int& argc, char** argv) : app(argc, argv) {}
    QApplication app;
    QTemporaryDir folder;
    std::string folderPath;
};

ShotSession::ShotSession(int& argc, char** argv) : m_native(std::make_unique<Native>(argc, argv)) {
    forms::registerBundledFonts();
    m_native->folderPath = QDir(m_native->folder.path()).absolutePath().toStdString() + "/";
}

ShotSession::~ShotSession() = default;

const std::string& ShotSession::scratchFolder() const { return m_native->folderPath; }

void ShotSession::settle() {
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
}

bool ShotSession::save(const forms::Form& form, const std::string& path) {
    settle();
    const bool saved = forms::qt::windowOf(form)->grab().save(QString::fromStdString(path), "PNG");
    std::printf("%s %s\n", saved ? "wrote" : "could not write", path.c_str());
    return saved;
}

}  // namespace tw::screenshots
