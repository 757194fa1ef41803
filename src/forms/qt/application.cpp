#include "forms/application.h"

#include <optional>

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include "forms/qt/picture_data.h"
#include "forms/qt/qt_values.h"
#include "forms/units.h"
#include "platform/qt/text_codec.h"
#include "runtime/message_box.h"

namespace tw::forms {

namespace {

class QtMessageBoxSink : public MessageBoxSink {
public:
    int show(const MessageBoxCall& call) override {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(platform::toQString(call.title));
        box.setTextFormat(Qt::PlainText);
        box.setText(platform::toDisplayLines(call.text));
        box.setIcon(iconFor(call.style));
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return 1;
    }

private:
    static QMessageBox::Icon iconFor(int style) {
        switch (style & 0x70) {
        case kMbCritical: return QMessageBox::Critical;
        case kMbExclamation: return QMessageBox::Warning;
        case kMbInformation: return QMessageBox::Information;
        case 32: return QMessageBox::Question;
        default: return QMessageBox::NoIcon;
        }
    }
};

}  // namespace

void registerBundledFonts() {
    for (const char* path :
         {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
        if (QFile::exists(QString::fromLatin1(path)))
            QFontDatabase::addApplicationFont(QString::fromLatin1(path));
    }
}

void setCustomPointerPicture(const Picture& picture, int hotX, int hotY) {
    if (picture.isNull())
        setCustomPointer(std::nullopt);
    else
        setCustomPointer(QCursor(qt::pixmapOf(picture), hotX, hotY));
    // Widgets already showing pointer 99 carry a marker property; give them the new cursor.
    for (QWidget* widget : QApplication::allWidgets()) {
        if (widget->property("twMousePointer").toInt() == kCustomPointer)
            widget->setCursor(customPointer());
    }
}

void installMessageBoxSink() {
    static QtMessageBoxSink sink;
    setMessageBoxSink(&sink);
}

void runSoon(std::function<void()> task) { QTimer::singleShot(0, std::move(task)); }

bool applicationRunning() { return QCoreApplication::instance() != nullptr; }

void whenQuitting(std::function<void()> task) {
    if (QCoreApplication* app = QCoreApplication::instance())
        QObject::connect(app, &QCoreApplication::aboutToQuit, std::move(task));
}

}  // namespace tw::forms
