#include "app/server_list_rows.h"

namespace tw {
namespace {

constexpr forms::Colour kLampUp = forms::rgb(0, 255, 0);
constexpr forms::Colour kLampDown = forms::rgb(255, 0, 0);

forms::Font linkFont() {
    forms::Font font = forms::boldFont(8);
    font.underline = true;
    return font;
}

}  // namespace

void clearServerList(ServerListArrays rows) {
    forms::Label& first = rows.names[0];
    first.setFont(linkFont());
    forms::makeLink(first);
    first.setToolTipText("Click for server info");
    for (int i = rows.names.ubound(); i >= 1; --i) {
        rows.names.unload(i);
        rows.lamps.unload(i);
        rows.populations.unload(i);
    }
    first.setCaption("");
}

void fillServerList(ServerListArrays rows, const std::vector<ServerEntry>& entries) {
    for (const ServerEntry& entry : entries) {
        const int n = rows.names.ubound();
        forms::Label& name = rows.names[n];
        forms::Label& population = rows.populations[n];
        forms::Shape& lamp = rows.lamps[n];
        lamp.setFillColor(entry.status == "Up" ? kLampUp : kLampDown);
        lamp.setAccessible(forms::AccessibleRole::Picture, entry.status);
        population.setCaption("(" + entry.population + ")");
        if (n > 0) {
            name.setTop(rows.names[n - 1].top() + rows.names[n - 1].height() + 20);
            population.setTop(name.top());
            lamp.setTop(name.top() + 60);
        }
        name.setCaption(entry.name);
        population.setLeft(name.left() + name.width() + 50);
        for (forms::Control* c : std::initializer_list<forms::Control*>{&name, &population, &lamp}) {
            // Loaded rows come hidden and behind the rows designed before them.
            if (n > 0) c->bringToFront();
            c->setVisible(true);
        }
        rows.names.load(n + 1);
        rows.lamps.load(n + 1);
        rows.populations.load(n + 1);
    }
    // Each row loaded the next one; the last loaded is not needed.
    const int last = rows.names.ubound();
    if (last > 0) {
        rows.populations.unload(last);
        rows.lamps.unload(last);
        rows.names.unload(last);
    } else {
        rows.names[0].setVisible(false);
        rows.lamps[0].setVisible(false);
        rows.populations[0].setVisible(false);
    }
}

void markChosenServer(ServerListArrays rows, int previous, int chosen, const forms::Font& plainFont) {
    if (previous >= 0 && previous != chosen && rows.names.exists(previous)) {
        const int model = previous == 0 ? 1 : 0;
        if (rows.names.exists(model)) {
            const forms::Label& from = rows.names[model];
            forms::Label& to = rows.names[previous];
            to.setForeColor(from.foreColor());
            to.setToolTipText(from.toolTipText());
            to.setFont(from.font());
        }
        rows.names[previous].setMousePointer(forms::kCustomPointer);
    }
    forms::Label& selected = rows.names[chosen];
    selected.setForeColor(forms::rgb(0, 0, 0));
    selected.setMousePointer(forms::kDefaultPointer);
    selected.setToolTipText("");
    selected.setFont(plainFont);
}

}  // namespace tw
