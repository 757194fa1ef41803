#include "window_shot.h"

#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QPalette>
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

namespace {

// A dark desktop's colours (TW_SHOT_PALETTE=dark), as a dark theme hands them to every program.
QPalette darkPalette() {
    QPalette p;
    const QColor window(45, 45, 48), base(30, 30, 32), text(230, 230, 230), button(60, 60, 64);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::Highlight, QColor(61, 142, 201));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Light, QColor(90, 90, 96));
    p.setColor(QPalette::Midlight, QColor(75, 75, 80));
    p.setColor(QPalette::Mid, QColor(40, 40, 42));
    p.setColor(QPalette::Dark, QColor(20, 20, 22));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(130, 130, 130));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(130, 130, 130));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(130, 130, 130));
    return p;
}

}  // namespace

ShotSession::ShotSession(int& argc, char** argv) : m_native(std::make_unique<Native>(argc, argv)) {
    if (qgetenv("TW_SHOT_PALETTE") == "dark") QApplication::setPalette(darkPalette());
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
