#include "forms/picture.h"

#include <map>

#include "forms/qt/picture_data.h"
#include "platform/qt/notify_icon.h"

namespace tw::forms {

int Picture::width() const {
    return m_data ? static_cast<int>(m_data->pixmap.deviceIndependentSize().width()) : 0;
}

int Picture::height() const {
    return m_data ? static_cast<int>(m_data->pixmap.deviceIndependentSize().height()) : 0;
}

bool Picture::operator==(const Picture& other) const {
    if (isNull() || other.isNull()) return isNull() == other.isNull();
    // Two pictures made from one pixmap share its pixels, and so its cache key.
    return m_data == other.m_data || m_data->pixmap.cacheKey() == other.m_data->pixmap.cacheKey();
}

std::uintptr_t iconHandle(const Picture& picture) {
    if (picture.isNull()) return 0;
    static std::map<qint64, std::uintptr_t> handles;
    const auto [it, added] = handles.try_emplace(picture.data()->pixmap.cacheKey(), 0);
    if (added) it->second = platform::iconHandle(qt::iconOf(picture));
    return it->second;
}

namespace qt {

Picture pictureFrom(QPixmap pixmap) {
    if (pixmap.isNull()) return Picture();
    return Picture(std::make_shared<const PictureData>(PictureData{std::move(pixmap)}));
}

QPixmap pixmapOf(const Picture& picture) {
    return picture.isNull() ? QPixmap() : picture.data()->pixmap;
}

QIcon iconOf(const Picture& picture) {
    return picture.isNull() ? QIcon() : QIcon(picture.data()->pixmap);
}

}  // namespace qt

}  // namespace tw::forms
