#pragma once
// Puts a laid-out server panel into the main window's control arrays: one keep or relic label
// and picture per row, a claimant link and its closing bracket per claimed keep, and one spare
// hidden element past each list's last row. Emptying unloads all but element 0.

#include <functional>

#include "forms/forms.h"
#include "herald/server_panel.h"

namespace tw {

struct PanelArrays {
    forms::ControlArray<forms::Label>& keeps;
    forms::ControlArray<forms::Image>& keepPictures;
    forms::ControlArray<forms::Label>& claimants;
    forms::ControlArray<forms::Label>& claimEnds;
    forms::ControlArray<forms::Label>& relics;
    forms::ControlArray<forms::Image>& relicPictures;
};

using RealmPictures = std::function<const forms::Picture&(RealmPicture)>;

void drawPanelRows(PanelArrays arrays, const ServerPanel& panel, const RealmPictures& pictures);
// Unloads every loaded element and hides the designed ones.
void emptyPanelRows(PanelArrays arrays);

}  // namespace tw
