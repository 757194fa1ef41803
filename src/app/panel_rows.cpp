#include "app/panel_rows.h"

namespace tw {
namespace {

void drawRow(const PanelRow& row, forms::ControlArray<forms::Label>& labels, forms::ControlArray<forms::Image>& images,
             int i, const RealmPictures& pictures) {
    if (!images.exists(i)) images.load(i);
    if (!labels.exists(i)) labels.load(i);
    forms::Label& label = labels[i];
    forms::Image& image = images[i];
    label.setCaption(row.caption);
    label.setForeColor(row.color);
    label.move(row.left, row.top);
    label.setTag(row.tag);
    image.setPicture(pictures(row.picture));
    // A screen reader names the realm the picture stands for: a heading's, or the holder's.
    image.setAccessible(forms::AccessibleRole::Picture, row.kind == RowKind::Heading ? row.caption : row.owner);
    image.move(row.pictureLeft, row.pictureTop);
    image.setVisible(true);
    label.setVisible(true);
}

void loadSpare(forms::ControlArray<forms::Label>& labels, forms::ControlArray<forms::Image>& images, size_t rows) {
    const int spare = static_cast<int>(rows);
    if (spare == 0 || labels.exists(spare)) return;
    images.load(spare);
    labels.load(spare);
}

}  // namespace

void drawPanelRows(PanelArrays arrays, const ServerPanel& panel, const RealmPictures& pictures) {
    for (size_t i = 0; i < panel.keepRows.size(); ++i) {
        const PanelRow& row = panel.keepRows[i];
        const int index = static_cast<int>(i);
        drawRow(row, arrays.keeps, arrays.keepPictures, index, pictures);
        if (!row.claimant) continue;
        if (!arrays.claimants.exists(index)) arrays.claimants.load(index);
        if (!arrays.claimEnds.exists(index)) arrays.claimEnds.load(index);
        forms::Label& claimed = arrays.claimants[index];
        claimed.setCaption(row.claimant->caption);
        claimed.setToolTipText(row.claimant->tooltip);
        claimed.move(row.claimant->left, row.top);
        forms::Label& end = arrays.claimEnds[index];
        end.move(row.claimant->endLeft, row.top);
        end.setForeColor(row.color);
        claimed.setVisible(true);
        end.setVisible(true);
    }
    for (size_t i = 0; i < panel.relicRows.size(); ++i)
        drawRow(panel.relicRows[i], arrays.relics, arrays.relicPictures, static_cast<int>(i), pictures);
    loadSpare(arrays.keeps, arrays.keepPictures, panel.keepRows.size());
    loadSpare(arrays.relics, arrays.relicPictures, panel.relicRows.size());
}

void emptyPanelRows(PanelArrays arrays) {
    for (int i = arrays.keeps.ubound(); i >= 1; --i) {
        if (arrays.claimants.exists(i)) {
            arrays.claimants.unload(i);
            arrays.claimEnds.unload(i);
        }
        arrays.keeps.unload(i);
        arrays.keepPictures.unload(i);
    }
    for (int i = arrays.relics.ubound(); i >= 1; --i) {
        arrays.relics.unload(i);
        arrays.relicPictures.unload(i);
    }
    for (forms::Control* c : std::initializer_list<forms::Control*>{
             &arrays.keeps[0], &arrays.keepPictures[0], &arrays.claimants[0], &arrays.claimEnds[0], &arrays.relics[0],
             &arrays.relicPictures[0]})
        c->setVisible(false);
}

}  // namespace tw
