#pragma once
// Puts the servers of a document into the main window's list: per server a status lamp, the
// name as a link and the population beside it, each row below the one before. Element 0 is
// the designed row; the list keeps no spare element.

#include <vector>

#include "forms/forms.h"
#include "herald/server_entries.h"

namespace tw {

struct ServerListArrays {
    forms::ControlArray<forms::Label>& names;
    forms::ControlArray<forms::Label>& populations;
    forms::ControlArray<forms::Shape>& lamps;
};

// Gives row 0 the link look and unloads every other row.
void clearServerList(ServerListArrays rows);
void fillServerList(ServerListArrays rows, const std::vector<ServerEntry>& entries);
// The chosen row reads as plain text in `plainFont`; the row chosen before takes the link
// look back from a row that still has it.
void markChosenServer(ServerListArrays rows, int previous, int chosen, const forms::Font& plainFont);

}  // namespace tw
