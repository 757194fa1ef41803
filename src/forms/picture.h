#pragma once
// A bitmap handed between images, forms and the tray icon; possibly empty. Cheap to copy
// (Qt shares the pixels).

#include <QIcon>
#include <QPixmap>

namespace tw::forms {

class Picture {
public:
    Picture() = default;
    explicit Picture(QPixmap pixmap) : m_pixmap(std::move(pixmap)) {}

    bool isNull() const { return m_pixmap.isNull(); }
    const QPixmap& pixmap() const { return m_pixmap; }
    QIcon icon() const { return isNull() ? QIcon() : QIcon(m_pixmap); }

    // The same bitmap: copies of one picture compare equal, two empty pictures too.
    bool operator==(const Picture& other) const {
        if (isNull() || other.isNull()) return isNull() == other.isNull();
        return m_pixmap.cacheKey() == other.m_pixmap.cacheKey();
    }

private:
    QPixmap m_pixmap;
};

}  // namespace tw::forms
