#pragma once
// The servers of a status document and the keeps and relics of one of them, as the server
// list and change detection read them. (The panel of one server has its own reader in
// server_panel.h: it lays out rows as it goes.) Each reads by its own literal rule, so an odd
// document reads the same way it always has.

#include <string>
#include <vector>

namespace tw {

// One row of the server list, in document order.
struct ServerEntry {
    std::string name;
    std::string status;      // "Up" for a server that is up
    std::string population;  // shown in brackets beside the name
};

// Walks the document's "<server" tags by name from the start; the walk ends at the first
// server without a name. The helpers' own error boxes may show on a broken document.
std::vector<ServerEntry> readServerEntries(const std::string& XMLData);

struct KeepRecord {
    std::string Owner;  // empty until an owner line is read
    std::string Name;
    std::string Realm;  // kept, never compared
};

// Index 0 of each list is an empty placeholder; elements are appended from index 1 on, so
// the upper index of a list is the number of elements read.
struct OwnershipSnapshot {
    std::vector<KeepRecord> Keeps{1};
    std::vector<KeepRecord> Relics{1};
};

// Appends the keeps and relics of `server` in XMLData, read whole line by whole line, to
// `into`; names and owners are cut to kMostNameBytes (document_names.h). Raises RuntimeError
// 5 at an owner line without a closing "<"; what was read before stays in `into`.
void scanOwnership(const std::string& XMLData, const std::string& server, OwnershipSnapshot& into);

}  // namespace tw
