#include "forms/win32/win32_values.h"

#include <cmath>
#include <map>
#include <tuple>

#include "platform/win32/wide.h"
#include "runtime/utf8.h"

namespace tw::forms::win32 {

int twipsAt(int twips, int dpi) {
    if (dpi == 96) return twipsToPixels(twips);
    return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / 1440.0));
}

int pixelsToTwipsAt(int pixels, int dpi) {
    if (dpi == 96 || dpi <= 0) return pixelsToTwips(pixels);
    return static_cast<int>(std::lround(pixels * 1440.0 / dpi));
}

int scaledPixels(int pixels, int dpi) {
    if (dpi == 96) return pixels;
    return static_cast<int>(std::lround(pixels * static_cast<double>(dpi) / 96.0));
}

HFONT fontHandle(const Font& font, int dpi) {
    using Key = std::tuple<std::string, double, bool, bool, int>;
    static std::map<Key, HFONT> fonts;
    const Key key{font.name, font.size, font.bold, font.underline, dpi};
    if (auto it = fonts.find(key); it != fonts.end()) return it->second;
    LOGFONTW log{};
    log.lfHeight = -static_cast<LONG>(std::lround(font.size * dpi / 72.0));
    log.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    log.lfUnderline = font.underline ? TRUE : FALSE;
    log.lfCharSet = DEFAULT_CHARSET;
    log.lfQuality = DEFAULT_QUALITY;
    const std::wstring face = screenText(font.name).substr(0, LF_FACESIZE - 1);
    face.copy(log.lfFaceName, face.size());
    HFONT handle = CreateFontIndirectW(&log);
    if (!handle) handle = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    // A handful of fonts in all (two faces, a few sizes, the monitors' DPIs).
    fonts.emplace(key, handle);
    return handle;
}

std::wstring screenText(const std::string& bytes) { return platform::win32::wide(toUtf8(bytes)); }

std::string programText(const std::wstring& text) { return platform::win32::utf8(text); }

std::vector<std::wstring> screenLines(const std::string& bytes) {
    const std::wstring text = screenText(bytes);
    std::vector<std::wstring> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' || text[i] == L'\n') {
            if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
            lines.emplace_back();
        } else {
            lines.back().push_back(text[i]);
        }
    }
    return lines;
}

namespace {
HCURSOR& chosenCursor() {
    static HCURSOR cursor = nullptr;
    return cursor;
}
}  // namespace

HCURSOR customCursor() {
    if (chosenCursor()) return chosenCursor();
    return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND));
}

void setCustomCursor(HCURSOR cursor) { chosenCursor() = cursor; }

HBRUSH solidBrush(COLORREF colour) {
    static std::map<COLORREF, HBRUSH> brushes;
    if (auto it = brushes.find(colour); it != brushes.end()) return it->second;
    // The program uses a dozen colours; the cache is bounded all the same.
    if (brushes.size() >= 256) {
        for (auto& [key, brush] : brushes) DeleteObject(brush);
        brushes.clear();
    }
    HBRUSH brush = CreateSolidBrush(colour);
    brushes.emplace(colour, brush);
    return brush;
}

int windowDpi(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (hwnd && getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(hwnd); dpi > 0) return static_cast<int>(dpi);
    }
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

}  // namespace tw::forms::win32
