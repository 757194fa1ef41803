// Renders the program icon into a hicolor icon theme tree for installing:
//   render_icons <theme folder> <icon name> <size>...
// writes <theme folder>/<size>x<size>/apps/<icon name>.png for each size.
#include <QDir>
#include <QGuiApplication>

#include <cstdio>

#include "app/artwork.h"
#include "forms/qt/picture_data.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: render_icons <theme folder> <icon name> <size>...\n");
        return 2;
    }
    const QString theme = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        const int size = QString(argv[i]).toInt();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(theme).arg(size);
        const QString file = folder + "/" + name + ".png";
        if (size <= 0 || !QDir().mkpath(folder) || !tw::forms::qt::pixmapOf(tw::programIcon(size)).save(file, "PNG")) {
            std::fprintf(stderr, "render_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
