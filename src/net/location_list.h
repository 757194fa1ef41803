#pragma once
// The location list "towerwatchlocations.txt": one status-document location per line, lines
// ended by CR LF (a bare LF is read as a line end too), line k+1 holding the location of
// server set k. Reading it into the
// program's list of locations and deciding what the reload leads to.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

inline constexpr std::string_view kLocationListFile = "towerwatchlocations.txt";

// The text split at every LF, a CR just before it dropped, in order; a file ending with a
// line end gives a last empty entry, an empty file gives none.
std::vector<std::string> parseLocationList(std::string_view fileText);
// A list file holding these entries: each one followed by CR LF.
std::string formatLocationList(const std::vector<std::string>& entries);

struct LocationReload {
    bool fetchList = false;  // no file: fetch it from the maker's web host
    bool updateNow = false;  // the chosen set had a location and it changed: download again
};

// One reload of `hostServers` for server set `set`. The list first grows to hold the set's
// entry (keeping what it has); with the file's text given it then becomes exactly the file's
// lines. A negative set, or a file without a line for the set, raises error 9 (the entries
// read so far are kept). A change is only reported against a location that was known.
LocationReload reloadLocations(std::vector<std::string>& hostServers, int set,
                               const std::optional<std::string>& fileText);

}  // namespace tw
