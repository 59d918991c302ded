// The widgets of the design table (window/design.cpp): the window's size and
// font, and one widget per row, with its name, geometry, font, colours,
// caption, tooltip, spoken name and place in the tab order. No behaviour: the
// program's window (window/frmmain.cpp) connects its event procedures to
// them, the start-up floor of the benchmarks shows them as they are.
// Needs Qt Widgets only.
#pragma once

#include <QColor>
#include <QFont>
#include <array>
#include <functional>
#include <vector>

#include "window/design.h"

class QButtonGroup;
class QLineEdit;
class QWidget;

namespace rotamet::design {

int px(int twips);
QColor colourOf(Colour c);
QFont fontOf(const Font &f);
void setForeground(QWidget *w, QColor colour);
void setBackground(QWidget *w, QColor colour);

// The window's own object name, font and fixed client size.
void setUpWindow(QWidget &window);

// Makes the widget of an entry field row; what the widgets have in common
// (text, alignment, name, geometry, ...) is set by buildControls.
using TextFieldMaker = std::function<QLineEdit *(const Control &row, QWidget *parent)>;

// The widgets built, by design name and control-array index.
struct Controls {
    struct Entry {
        const Control *row;
        QWidget *widget;
    };
    std::vector<Entry> entries;       // in the order of the design table
    QButtonGroup *options = nullptr;  // the option buttons, with their indexes as ids

    // nullptr when the design has no such control.
    QWidget *find(const char *name, int index = -1) const;
    template <class W>
    W *get(const char *name, int index = -1) const
    {
        return static_cast<W *>(find(name, index));
    }
    // A control array: element i is the control with index i, nullptr where
    // the design has none.
    template <class W, std::size_t N>
    void getArray(std::array<W *, N> &elements, const char *name) const
    {
        for (std::size_t i = 0; i < N; ++i)
            elements[i] = get<W>(name, int(i));
    }
};

// Builds every control of the design table into the window, in the order of
// the table, and sets their tab order. A null maker makes plain QLineEdits.
Controls buildControls(QWidget &window, const TextFieldMaker &makeTextField = {});

}  // namespace rotamet::design
