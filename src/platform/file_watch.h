#pragma once
// Watches files and folders for change: onChange runs on the GUI thread after a watched
// file is written, replaced or removed, or an entry of a watched folder comes or goes.
// Paths are the bytes the system names them by. A file that is removed stops being watched;
// watch() it again once it is back.

#include <functional>
#include <memory>
#include <string>

namespace tw::platform {

class FileWatch {
public:
    explicit FileWatch(std::function<void()> onChange);
    ~FileWatch();
    FileWatch(const FileWatch&) = delete;
    FileWatch& operator=(const FileWatch&) = delete;

    // Adds the path unless it is watched already; a path that does not exist is left out.
    void watch(const std::string& path);

private:
    struct Native;
    std::unique_ptr<Native> m_native;
};

}  // namespace tw::platform
