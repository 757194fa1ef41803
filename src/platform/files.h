#pragma once
// Whole-file reads and writes for the program's own files. A file that replaces another is
// written beside it under a temporary name and renamed over it, so a failed or interrupted
// write leaves the previous copy whole.

#include <cstddef>
#include <optional>
#include <string>

namespace tw::platform {

// The program folder's copy of the last status document downloaded.
inline constexpr const char* kStatusFile = "server-info.xml";

bool fileExists(const std::string& path);

// Size and modification time of a regular file, to tell whether it changed since it was last
// read; nothing when it is missing or not a regular file.
struct FileStamp {
    long long size = 0;
    long long modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> fileStamp(const std::string& path);

// The file's bytes, or nothing when it cannot be read.
std::optional<std::string> readWholeFile(const std::string& path);

// At most `most` bytes from `offset` on (fewer, or none, where the file ends sooner), or
// nothing when it cannot be read.
std::optional<std::string> readFilePart(const std::string& path, long long offset, std::size_t most);

// Replaces (or creates) the file with exactly these bytes. False, with the old file
// untouched, when any step fails.
bool writeFileAtomically(const std::string& path, const std::string& bytes);

// Appends one line (its line end included), creating the file when missing. When the file's
// last line is unterminated (an earlier append was cut short), it is ended first, so the new
// line stands on its own. False when the line cannot be written; a regular file is then cut
// back to the size it had, so no part of the line stays behind.
bool appendLine(const std::string& path, const std::string& line);

// Creates the folder and its parents; true when it exists afterwards.
bool makeFolders(const std::string& path);

// $XDG_CONFIG_HOME or ~/.config, and $XDG_DATA_HOME or ~/.local/share, without a trailing "/".
std::string userConfigFolder();
std::string userDataFolder();

}  // namespace tw::platform
