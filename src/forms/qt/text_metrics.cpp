#include "forms/text_metrics.h"

#include <cmath>
#include <unordered_map>

#include <QFontMetrics>
#include <QRawFont>

#include "forms/qt/qt_values.h"
#include "forms/qt/text_layout.h"
#include "platform/qt/text_codec.h"

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

// What a measurement depends on. QFont::key() would do, but it writes the whole font
// description out as text on every call, which cost more than the measuring it saved.
struct MeasureKey {
    QString family;
    int pixelSize = 0;
    qreal pointSize = 0;
    int weight = 0;
    bool italic = false;
    bool underline = false;
    int stretch = 0;
    QString text;
    int wrapWidth = 0;
    bool operator==(const MeasureKey&) const = default;
};

MeasureKey measureKey(const QFont& font, const QString& text = {}, int wrapWidth = 0) {
    return {font.family(), font.pixelSize(), font.pointSizeF(), static_cast<int>(font.weight()),
            font.italic(), font.underline(), font.stretch(), text, wrapWidth};
}

struct MeasureKeyHash {
    size_t operator()(const MeasureKey& k) const {
        return qHashMulti(0, k.family, k.pixelSize, k.pointSize, k.weight, k.italic, k.underline,
                          k.stretch, k.text, k.wrapWidth);
    }
};

// A bounded cache: cleared when full, so it never grows without end.
template <typename Value>
class MeasureCache {
public:
    template <typename Measure>
    Value get(MeasureKey key, Measure measure) {
        if (const auto it = m_values.find(key); it != m_values.end()) return it->second;
        const Value value = measure();
        if (m_values.size() >= 8192) m_values.clear();
        m_values.emplace(std::move(key), value);
        return value;
    }

private:
    std::unordered_map<MeasureKey, Value, MeasureKeyHash> m_values;
};

QSize measureExtent(const QFont& font, const QString& text, int wrapWidth) {
    const QFontMetrics metrics(font);
    const QStringList lines = layoutLines(font, text, wrapWidth);
    int widest = 0;
    for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
    return QSize(widest, static_cast<int>(lines.size()) * cellMetrics(font).lineHeight);
}

}  // namespace

CellMetrics cellMetrics(const QFont& font) {
    // Hundreds of labels are sized on every rebuild; the font tables are read once per font.
    static MeasureCache<CellMetrics> cache;
    return cache.get(measureKey(font), [&] { return measureCell(font); });
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
    // Rebuilds of the server list and the panel measure the same few hundred names each time.
    static MeasureCache<QSize> cache;
    return cache.get(measureKey(font, text, wrapWidth), [&] { return measureExtent(font, text, wrapWidth); });
}

Size textExtent(const Font& font, const std::string& text, int wrapWidth) {
    const QSize pixels = textExtent(toQFont(font), platform::toDisplayLines(text), wrapWidth);
    return {pixels.width(), pixels.height()};
}

}  // namespace tw::forms
