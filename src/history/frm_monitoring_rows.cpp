// The history viewer's rows: filling them on a refresh, refilling them on a scroll, and the
// day separator lines.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "history/frm_monitoring.h"
#include "platform/services.h"
#include "runtime/error_handler.h"

namespace tw {

namespace {

// Rows sit 20 twips apart below the previous row's place label.
constexpr int kRowGap = 20;
// The separators span the list area, up to the scroll bar.
constexpr int kSeparatorRight = 5595;

}  // namespace

bool frmMonitoring::RowExists(int Index) const {
    return lblKeep.exists(Index);
}

HistoryEventView frmMonitoring::SortedEvents(std::size_t k) const {
    return Events.at(Events.size() - 1 - k);
}

void frmMonitoring::forEachRowLabel(int i, const std::function<void(forms::Label&)>& apply) {
    for (forms::ControlArray<forms::Label>* array :
         {&lblKeep, &lblWasTakenBy, &lblNewOwner, &lblFrom, &lblOldOwner, &lblAt, &lblWhen})
        apply((*array)[i]);
}

void frmMonitoring::setRowTexts(int i, const HistoryEventView& event) {
    lblKeep[i].setCaption(std::string(event.Place));
    lblNewOwner[i].setCaption(std::string(event.NewOwner));
    lblOldOwner[i].setCaption(std::string(event.OldOwner));
    lblWhen[i].setCaption(std::string(event.When));
}

void frmMonitoring::colourOwners(int i) {
    for (forms::Label* owner : {&lblNewOwner[i], &lblOldOwner[i]})
        if (const auto colour = ownerColour(owner->caption())) owner->setForeColor(*colour);
}

void frmMonitoring::placeRowHorizontally(int i) {
    // Each label starts where the one before it ends, so the row reads as one sentence.
    forms::Label* const order[] = {&lblKeep[i],     &lblWasTakenBy[i], &lblNewOwner[i], &lblFrom[i],
                                   &lblOldOwner[i], &lblAt[i],         &lblWhen[i]};
    for (std::size_t k = 1; k < std::size(order); ++k)
        order[k]->setLeft(order[k - 1]->left() + order[k - 1]->width());
}

void frmMonitoring::FillRow(int i, const HistoryEventView& event) {
    if (!RowExists(i)) {
        for (forms::ControlArray<forms::Label>* array :
             {&lblKeep, &lblWasTakenBy, &lblNewOwner, &lblFrom, &lblOldOwner, &lblAt, &lblWhen})
            array->load(i);
    }
    if (i > 0) lblKeep[i].setTop(lblKeep[i - 1].top() + lblKeep[i - 1].height() + kRowGap);
    setRowTexts(i, event);
    lblKeep[i].setForeColor(placeColourOnRefresh(std::string(event.Place)));
    colourOwners(i);
    const int top = lblKeep[i].top();
    forEachRowLabel(i, [top](forms::Label& label) { label.setTop(top); });
    placeRowHorizontally(i);
    forEachRowLabel(i, [](forms::Label& label) { label.setVisible(true); });
}

void frmMonitoring::ScrollRow(int i, const HistoryEventView& event) {
    setRowTexts(i, event);
    // Scrolling turns only "... Keep" places black; other unknown places keep their colour.
    if (const auto colour = placeColourOnScroll(std::string(event.Place))) lblKeep[i].setForeColor(*colour);
    colourOwners(i);
    placeRowHorizontally(i);
}

void frmMonitoring::ScrollBar_Change() {
    if (Tag != "Loaded") return;
    withErrorHandler("ScrollBar_Change", [this] {
        const std::size_t first = static_cast<std::size_t>(std::max(0, ScrollBar.value()));
        for (std::size_t row = 0; row < kHistoryRows; ++row) {
            // The range keeps first + 9 inside the list; a stale value after a refresh that
            // found fewer events must not reach past it.
            if (first + row >= Events.size() || !RowExists(static_cast<int>(row))) break;
            ScrollRow(static_cast<int>(row), SortedEvents(first + row));
        }
        MakeLines();
    });
}

void frmMonitoring::MakeLines() {
    cls();
    std::vector<std::optional<std::string>> whenTexts;
    whenTexts.reserve(kHistoryRows);
    whenTexts.emplace_back(lblWhen[0].caption());
    for (int i = 1; i < static_cast<int>(kHistoryRows); ++i) {
        if (RowExists(i) && lblWhen[i].visible()) {
            whenTexts.emplace_back(lblWhen[i].caption());
        } else {
            whenTexts.emplace_back(std::nullopt);
        }
    }
    const DatePatterns patterns = platform::processFacts().datePatterns();
    for (std::size_t row : daySeparatorRows(whenTexts, patterns)) {
        const int top = lblWhen[static_cast<int>(row)].top();
        drawLine(0, top, kSeparatorRight, top, forms::kBlack);
    }
}

}  // namespace tw
