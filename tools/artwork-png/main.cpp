// towerwatch-artwork <folder>: writes every picture of the program, as the Windows build
// draws it, to <folder>/<name>.png.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/artwork.h"
#include "forms/win32/gdiplus_surface.h"
#include "forms/win32/picture_data.h"
#include "platform/win32/wide.h"

namespace {

// The PNG encoder GDI+ ships with.
const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

bool writePng(const tw::forms::Picture& picture, const std::string& path) {
    if (picture.isNull()) return false;
    std::vector<std::uint32_t> pixels = picture.data()->pixels;
    Gdiplus::Bitmap bitmap(picture.width(), picture.height(), picture.width() * 4, PixelFormat32bppPARGB,
                           reinterpret_cast<BYTE*>(pixels.data()));
    return bitmap.Save(tw::platform::win32::widePath(path).c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: towerwatch-artwork <folder>\n");
        return 2;
    }
    tw::forms::win32::ensureGdiplus();
    const std::vector<std::pair<const char*, tw::forms::Picture>> pictures = {
        {"program-icon", tw::programIcon()},
        {"program-icon-256", tw::programIcon(256)},
        {"alert-red", tw::alertIcon(tw::forms::rgb(255, 0, 0))},
        {"alert-green", tw::alertIcon(tw::forms::rgb(0, 255, 0))},
        {"alert-yellow", tw::alertIcon(tw::forms::rgb(255, 255, 0))},
        {"stale-icon", tw::staleIcon()},
        {"hammer", tw::hammerPicture()},
        {"cup", tw::cupPicture()},
        {"tree", tw::treePicture()},
        {"hand-cursor", tw::handCursor()},
        {"donate", tw::donateButtonPicture()},
    };
    int failed = 0;
    for (const auto& [name, picture] : pictures) {
        if (!writePng(picture, std::string(argv[1]) + "/" + name + ".png")) {
            std::fprintf(stderr, "towerwatch-artwork: could not write %s.png\n", name);
            ++failed;
        }
    }
    return failed == 0 ? 0 : 1;
}
