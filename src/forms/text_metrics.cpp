#include "forms/text_metrics.h"

#include <cmath>
#include <unordered_map>

#include <QFontMetrics>
#include <QRawFont>

namespace tw::forms {

namespace {

int bigEndian16(const QByteArray& table, int offset) {
    return (static_cast<unsigned char>(table[offset]) << 8) |
           static_cast<unsigned char>(table[offset + 1]);
}

CellMetrics measureCell(const QFont& font) {
    const QFontMetrics metrics(font);
    CellMetrics cell{metrics.ascent(), metrics.height()};
    const QRawFont raw = QRawFont::fromFont(font);
    const QByteArray os2 = raw.fontTable("OS/2");
    const double em = raw.unitsPerEm();
    if (os2.size() < 78 || em <= 0) return cell;
    const double pixels = raw.pixelSize();
    const int ascent = static_cast<int>(std::lround(bigEndian16(os2, 74) * pixels / em));
    const int descent = static_cast<int>(std::lround(bigEndian16(os2, 76) * pixels / em));
    if (ascent <= 0 || ascent + descent <= 0) return cell;
    return CellMetrics{ascent, ascent + descent};
}

}  // namespace

CellMetrics cellMetrics(const QFont& font) {
    // Hundreds of labels are sized on every rebuild; the font tables are read once per font.
    static std::unordered_map<QString, CellMetrics> cache;
    const QString key = font.key();
    if (const auto it = cache.find(key); it != cache.end()) return it->second;
    const CellMetrics cell = measureCell(font);
    if (cache.size() > 256) cache.clear();
    cache.emplace(key, cell);
    return cell;
}

QStringList layoutLines(const QFont& font, const QString& text, int wrapWidth) {
    const QStringList paragraphs = text.split(QChar('\n'));
    if (wrapWidth <= 0) return paragraphs;
    const QFontMetrics metrics(font);
    QStringList lines;
    for (const QString& paragraph : paragraphs) {
        QString line;
        for (const QString& word : paragraph.split(QChar(' '))) {
            const QString candidate = line.isEmpty() ? word : line + QChar(' ') + word;
            if (!line.isEmpty() && metrics.horizontalAdvance(candidate) > wrapWidth) {
                lines.append(line);
                line = word;
            } else {
                line = candidate;
            }
        }
        lines.append(line);
    }
    return lines;
}

QSize textExtent(const QFont& font, const QString& text, int wrapWidth) {
    const QFontMetrics metrics(font);
    const QStringList lines = layoutLines(font, text, wrapWidth);
    int widest = 0;
    for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
    return QSize(widest, static_cast<int>(lines.size()) * cellMetrics(font).lineHeight);
}

}  // namespace tw::forms
