#include "window_shot.h"

#include <cstdio>

#include "forms/win32/gdiplus_surface.h"
#include "forms/win32/native_form.h"
#include "platform/files.h"
#include "platform/win32/message_filter.h"
#include "platform/win32/wide.h"

namespace tw::screenshots {

namespace {

// The PNG encoder GDI+ ships with.
const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

std::string makeScratchFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"towerwatch-shots-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    std::string path = platform::win32::utf8(folder);
    for (char& c : path)
        if (c == '\\') c = '/';
    return path + "/";
}

}  // namespace

struct ShotSession::Native {
    std::string folderPath;
};

ShotSession::ShotSession(int&, char**) : m_native(std::make_unique<Native>()) {
    forms::win32::ensureGdiplus();
    m_native->folderPath = makeScratchFolder();
}

ShotSession::~ShotSession() {
    // Only what the tools wrote there: the scratch folder holds files, no folders.
    const std::wstring folder = platform::win32::widePath(m_native->folderPath);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

const std::string& ShotSession::scratchFolder() const { return m_native->folderPath; }

void ShotSession::settle() {
    for (int round = 0; round < 20; ++round) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (platform::win32::filterMessage(message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);  // a tool, not the program: the window system's own threads catch up
    }
}

bool ShotSession::save(const forms::Form& form, const std::string& path) {
    HWND window = form.native().hwnd;
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    settle();
    // What the screen shows of the window's inside, standard controls and all.
    RECT client;
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
    SelectObject(dc, old);
    bool saved = false;
    {
        Gdiplus::Bitmap image(bitmap, nullptr);
        saved = image.Save(platform::win32::widePath(path).c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
    }
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", path.c_str());
    return saved;
}

}  // namespace tw::screenshots
