// The window's controls, found by their object names, the design names
// ("lblValori_5" is lblValori[5]), as a tool or a screen reader finds them.
// The window and the tests look them up from this one list.
#pragma once

#include <QWidget>
#include <array>
#include <functional>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

namespace rotamet {

class TextBox;

struct FormControls {
    // Null where the window has no such control.
    explicit FormControls(const QWidget &window);
    // The control of a design name and control-array index (-1: none), as
    // the design's builder keeps them.
    using Lookup = std::function<QWidget *(const char *name, int index)>;
    explicit FormControls(const Lookup &find);

    QComboBox *cboCodice = nullptr;
    TextBox *txtGiriMinuto = nullptr;
    TextBox *txtAngolo = nullptr;
    TextBox *txtMillisecondi = nullptr;
    TextBox *txtMillimetri = nullptr;
    std::array<QLabel *, 15> lblValori{};
    std::array<QLabel *, 13> lblEtichetta{};  // index 10 does not exist
    std::array<QLabel *, 3> lblComando{};
    std::array<QRadioButton *, 3> optAlzataGiro{};
    QPushButton *cmdCalcola = nullptr;
    QPushButton *cmdStampa = nullptr;
    QPushButton *cmdAngUp = nullptr;
    QPushButton *cmdAngDown = nullptr;
    QPushButton *cmdMSUp = nullptr;
    QPushButton *cmdMSDown = nullptr;
    QPushButton *cmdMMUp = nullptr;
    QPushButton *cmdMMDown = nullptr;
    QFrame *fraMain = nullptr;
    QFrame *Frame1 = nullptr;
    std::array<QFrame *, 4> Shape{};  // Shape[1..3]
};

}  // namespace rotamet
