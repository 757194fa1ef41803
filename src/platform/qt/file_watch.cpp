#include "platform/file_watch.h"

#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>

namespace tw::platform {

struct FileWatch::Native {
    QFileSystemWatcher watcher;
};

FileWatch::FileWatch(std::function<void()> onChange) : m_native(std::make_unique<Native>()) {
    auto changed = [onChange = std::move(onChange)] {
        if (onChange) onChange();
    };
    QObject::connect(&m_native->watcher, &QFileSystemWatcher::directoryChanged, changed);
    QObject::connect(&m_native->watcher, &QFileSystemWatcher::fileChanged, changed);
}

FileWatch::~FileWatch() = default;

void FileWatch::watch(const std::string& bytes) {
    // The watcher's own lists, not ours: it drops a file that was removed.
    QFileSystemWatcher& watcher = m_native->watcher;
    const QString path = QFile::decodeName(QByteArray::fromStdString(bytes));
    if (!watcher.files().contains(path) && !watcher.directories().contains(path) && QFileInfo::exists(path))
        watcher.addPath(path);
}

}  // namespace tw::platform
