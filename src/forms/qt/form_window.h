#pragma once
// The Qt top-level widget behind a Form: it paints the lines drawn on the form, turns the
// window's close button into the form's unload, and passes Esc and Enter to the form.

#include <vector>

#include <QWidget>

#include "forms/units.h"

namespace tw::forms {

struct NativeForm;

struct DrawnLine {
    int x1, y1, x2, y2;  // twips
    Colour colour;
};

class FormWindow : public QWidget {
public:
    explicit FormWindow(NativeForm& form);

    std::vector<DrawnLine> lines;

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    NativeForm& m_form;
};

}  // namespace tw::forms
