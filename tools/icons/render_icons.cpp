// Renders the program icon into a hicolor icon theme tree for installing:
//   render_icons <theme folder> <icon name> <size>...
// writes <theme folder>/<size>x<size>/apps/<icon name>.png for each size; and for Windows,
//   render_icons --ico <file.ico> <size>...
// one icon file holding each size (PNG images, as Windows reads them since Vista).
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/artwork.h"
#include "forms/qt/picture_data.h"

namespace {

void putLittleEndian(QByteArray& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.append(static_cast<char>((value >> (8 * i)) & 0xff));
}

// The icon directory (6 bytes), one 16-byte entry per image, then the images.
bool writeIco(const QString& file, const std::vector<int>& sizes) {
    std::vector<QByteArray> images;
    for (const int size : sizes) {
        QByteArray png;
        QBuffer buffer(&png);
        if (size <= 0 || size > 256 || !buffer.open(QIODevice::WriteOnly) ||
            !tw::forms::qt::pixmapOf(tw::programIcon(size)).save(&buffer, "PNG"))
            return false;
        images.push_back(png);
    }
    QByteArray out;
    putLittleEndian(out, 0, 2);
    putLittleEndian(out, 1, 2);  // an icon, not a cursor
    putLittleEndian(out, static_cast<std::uint32_t>(sizes.size()), 2);
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        out.append(static_cast<char>(sizes[i] & 0xff));  // 256 is written as 0
        out.append(static_cast<char>(sizes[i] & 0xff));
        putLittleEndian(out, 0, 2);   // no palette, reserved
        putLittleEndian(out, 1, 2);   // planes
        putLittleEndian(out, 32, 2);  // bits per pixel
        putLittleEndian(out, static_cast<std::uint32_t>(images[i].size()), 4);
        putLittleEndian(out, offset, 4);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const QByteArray& image : images) out.append(image);
    QFile target(file);
    return target.open(QIODevice::WriteOnly) && target.write(out) == out.size();
}

}  // namespace

int main(int argc, char** argv) {
    // Icon files hold exactly the pixels asked for, whatever scaling the desktop asks of Qt.
    qputenv("QT_SCALE_FACTOR", "1");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    QGuiApplication app(argc, argv);
    if (argc >= 4 && QString(argv[1]) == "--ico") {
        std::vector<int> sizes;
        for (int i = 3; i < argc; ++i) sizes.push_back(QString(argv[i]).toInt());
        if (writeIco(QString::fromLocal8Bit(argv[2]), sizes)) return 0;
        std::fprintf(stderr, "render_icons: cannot write %s\n", argv[2]);
        return 1;
    }
    if (argc < 4) {
        std::fprintf(stderr, "usage: render_icons <theme folder> <icon name> <size>...\n"
                             "       render_icons --ico <file.ico> <size>...\n");
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
