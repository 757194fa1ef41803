#include "forms/picture.h"

#include <windows.h>

#include <atomic>
#include <map>

#include "forms/win32/picture_data.h"

namespace tw::forms {
namespace {

// An icon of the picture's size: colour from a top-down 32-bit bitmap with straight alpha,
// and an all-zero mask, which tells the shell to use that alpha.
HICON makeIcon(const PictureData& data, bool cursor = false, int hotX = 0, int hotY = 0) {
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = data.width;
    header.bV5Height = -data.height;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP colour = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits,
                                      nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!colour) return nullptr;
    auto* out = static_cast<std::uint32_t*>(bits);
    for (std::size_t i = 0; i < data.pixels.size(); ++i) out[i] = win32::straightArgb(data.pixels[i]);
    HBITMAP mask = CreateBitmap(data.width, data.height, 1, 1, nullptr);
    ICONINFO info{};
    info.fIcon = cursor ? FALSE : TRUE;
    info.xHotspot = static_cast<DWORD>(hotX);
    info.yHotspot = static_cast<DWORD>(hotY);
    info.hbmMask = mask;
    info.hbmColor = colour;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colour);
    return icon;
}

}  // namespace

void* win32::cursorFrom(const Picture& picture, int hotX, int hotY) {
    if (picture.isNull()) return nullptr;
    const PictureData& data = *picture.data();
    return makeIcon(data, true, hotX < 0 ? data.width / 2 : hotX, hotY < 0 ? data.height / 2 : hotY);
}

int Picture::width() const { return m_data ? m_data->width : 0; }
int Picture::height() const { return m_data ? m_data->height : 0; }

bool Picture::operator==(const Picture& other) const {
    if (isNull() || other.isNull()) return isNull() == other.isNull();
    return m_data == other.m_data || m_data->serial == other.m_data->serial;
}

std::uintptr_t iconHandle(const Picture& picture) {
    if (picture.isNull()) return 0;
    // The shell keeps its own copy of an icon it is handed, so one handle per picture,
    // kept for the program's life, is all the tray's flashing ever needs.
    static std::map<std::uint64_t, HICON> handles;
    const auto [it, added] = handles.try_emplace(picture.data()->serial, nullptr);
    if (added) it->second = makeIcon(*picture.data());
    return reinterpret_cast<std::uintptr_t>(it->second);
}

namespace win32 {

Picture pictureFrom(int width, int height, std::vector<std::uint32_t> premultipliedPixels) {
    if (width <= 0 || height <= 0) return Picture();
    static std::atomic<std::uint64_t> nextSerial{1};
    auto data = std::make_shared<PictureData>();
    data->width = width;
    data->height = height;
    data->pixels = std::move(premultipliedPixels);
    data->serial = nextSerial++;
    return Picture(std::move(data));
}

}  // namespace win32
}  // namespace tw::forms
