#include "platform/file_watch.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/event_loop.h"
#include "platform/win32/wide.h"

namespace tw::platform {

namespace {

// What a watched file was when last seen, to tell its own changes from its neighbours'.
struct Seen {
    bool exists = false;
    FILETIME written{};
    ULONGLONG size = 0;
    bool operator==(const Seen& o) const {
        return exists == o.exists && CompareFileTime(&written, &o.written) == 0 && size == o.size;
    }
};

Seen look(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return {};
    return {true, data.ftLastWriteTime, (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow};
}

}  // namespace

// Windows tells of changes per folder: a file is watched through its folder, and only its
// own changes count. The system's thread pool waits on the notifications; the GUI thread
// hears of them through its event loop.
struct FileWatch::Native {
    struct Entry {
        FileWatch::Native* owner = nullptr;
        std::wstring path;
        bool folder = false;
        Seen seen;
        HANDLE change = INVALID_HANDLE_VALUE;
        HANDLE wait = nullptr;
        std::shared_ptr<bool> alive = std::make_shared<bool>(true);
    };

    std::function<void()> onChange;
    std::vector<std::unique_ptr<Entry>> entries;

    static void CALLBACK signalled(void* context, BOOLEAN) {
        auto* entry = static_cast<Entry*>(context);
        FindNextChangeNotification(entry->change);
        const std::shared_ptr<bool> alive = entry->alive;
        postToEventLoop([entry, alive] {
            if (*alive) entry->owner->changed(*entry);
        });
    }

    void changed(Entry& entry) {
        if (!entry.folder) {
            const Seen now = look(entry.path);
            if (now == entry.seen) return;
            entry.seen = now;
            if (!now.exists) remove(entry);  // watch() it again once it is back
        }
        const auto handler = onChange;
        if (handler) handler();
    }

    static void close(Entry& entry) {
        *entry.alive = false;
        // Waits for a callback running now, so none touches the entry once it is gone.
        if (entry.wait) UnregisterWaitEx(entry.wait, INVALID_HANDLE_VALUE);
        if (entry.change != INVALID_HANDLE_VALUE) FindCloseChangeNotification(entry.change);
    }

    void remove(Entry& gone) {
        close(gone);
        entries.erase(std::remove_if(entries.begin(), entries.end(), [&](const auto& e) { return e.get() == &gone; }),
                      entries.end());
    }
};

FileWatch::FileWatch(std::function<void()> onChange) : m_native(std::make_unique<Native>()) {
    m_native->onChange = std::move(onChange);
}

FileWatch::~FileWatch() {
    for (auto& entry : m_native->entries) Native::close(*entry);
}

void FileWatch::watch(const std::string& bytes) {
    const std::wstring path = win32::widePath(bytes);
    for (const auto& entry : m_native->entries)
        if (entry->path == path) return;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    auto entry = std::make_unique<Native::Entry>();
    entry->owner = m_native.get();
    entry->path = path;
    entry->folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    std::wstring folder = path;
    DWORD filter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME;
    if (!entry->folder) {
        const std::size_t slash = folder.find_last_of(L'\\');
        folder = slash == std::wstring::npos ? L"." : folder.substr(0, slash + 1);
        filter |= FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;
        entry->seen = look(path);
    }
    entry->change = FindFirstChangeNotificationW(folder.c_str(), FALSE, filter);
    if (entry->change == INVALID_HANDLE_VALUE) return;
    if (!RegisterWaitForSingleObject(&entry->wait, entry->change, &Native::signalled, entry.get(), INFINITE,
                                     WT_EXECUTEDEFAULT)) {
        FindCloseChangeNotification(entry->change);
        return;
    }
    m_native->entries.push_back(std::move(entry));
}

}  // namespace tw::platform
