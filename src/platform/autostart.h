#pragma once
// The desktop session's autostart entry (an XDG desktop entry file) that stands for the
// program's value in the Run key: the value's text is the entry's Exec command. Plain C++:
// the caller reads and writes the file.

#include <functional>
#include <optional>
#include <string>

namespace tw::platform {

// A whole desktop entry that runs the command at log-in. When the command starts with the
// path of an existing file that holds blanks or quoting characters, that path is quoted so
// the session runs the right program; isFile tells which paths exist.
std::string autostartEntryText(const std::string& command,
                               const std::function<bool(const std::string&)>& isFile);

// The command of an entry, read back in the form it was written in: nothing when the text
// has no Exec key in its [Desktop Entry] group or the entry is marked Hidden=true (the
// session then ignores it).
std::optional<std::string> autostartCommand(const std::string& entryText);

}  // namespace tw::platform
