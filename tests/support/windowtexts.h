// What the user can read in a window, for comparing it before and after an
// action: the text, tooltip and state of every named control.
#pragma once

#include <QStringList>

class QWidget;

namespace rotamet {

// One line a control, in a fixed order: "name: 'text' tooltip 'tip'"; a
// button adds " [x]" when checked, a combo box its current index.
QStringList windowTexts(const QWidget &window);

// The lines that differ, each with its earlier value; empty when none.
QString textDifferences(const QStringList &now, const QStringList &before);

}  // namespace rotamet
