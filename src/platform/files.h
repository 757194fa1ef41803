#pragma once
// Whole-file reads and writes for the program's own files. A file that replaces another is
// written beside it under a temporary name and renamed over it, so a failed or interrupted
// write leaves the previous copy whole.

#include <cstddef>
#include <cstdint>
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

// The file-creation mask the program started with. Read once and kept, without changing
// the mask; main asks for it first, before any thread starts. Permission bits, as in 022.
std::uint32_t processUmask();

// Who may read a file that a write creates: anyone the creation mask lets, or its owner only
// (the settings file, whose command line may carry a secret).
enum class NewFileAccess { Usual, OwnerOnly };

// Replaces (or creates) the file with exactly these bytes. False, with the old file
// untouched, when any step fails. A file that is there keeps its permission bits; a symbolic
// link stays, and the file it leads to is the one replaced, beside itself. The folder is
// synced after the rename, so the new name survives a crash.
bool writeFileAtomically(const std::string& path, const std::string& bytes,
                         NewFileAccess access = NewFileAccess::Usual);

// Removes the temporary files that writers killed before their rename left in the folder:
// only names writeFileAtomically makes, owned by this user, whose writer no longer runs (or
// that nobody has written to for an hour, its process number being taken by another since).
void removeStaleTemporaryFiles(const std::string& folder);

// Appends one line (its line end included), creating the file when missing. When the file's
// last line is unterminated (an earlier append was cut short), it is ended first, so the new
// line stands on its own. False when the line cannot be written; a regular file is then cut
// back to the size it had, so no part of the line stays behind.
bool appendLine(const std::string& path, const std::string& line);

// Removes the file (not a folder); false when it was not there or cannot be removed.
bool removeFile(const std::string& path);

// Creates the folder and its parents; true when it exists afterwards.
bool makeFolders(const std::string& path);

// $XDG_CONFIG_HOME or ~/.config, and $XDG_DATA_HOME or ~/.local/share, without a trailing "/".
std::string userConfigFolder();
std::string userDataFolder();

}  // namespace tw::platform
