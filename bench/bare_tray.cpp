// A bare Qt Widgets tray program to hold Towerwatch's resident memory against: a window with
// a few labels and a tray icon with a small drawn picture, the event loop running, nothing else.

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QVBoxLayout>
#include <QWidget>

namespace {

QIcon drawnIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(40, 90, 160));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(1, 1, 14, 14);
    painter.setBrush(Qt::white);
    painter.drawRect(6, 4, 4, 8);
    return QIcon(pixmap);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Bare tray");
    auto* layout = new QVBoxLayout(&window);
    for (const char* text : {"Emberfall", "Last Updated: never", "Keeps: 0", "Relics: 0"})
        layout->addWidget(new QLabel(text, &window));
    window.show();
    QSystemTrayIcon tray(drawnIcon());
    tray.setToolTip("Bare tray");
    tray.show();
    return app.exec();
}
