// The window's controls as a test reaches them: found by their object names,
// the design names ("lblValori_5" is lblValori[5]), as a tool or a screen
// reader would find them. Null where the window has no such control.
#pragma once

#include <QWidget>
#include <array>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

namespace rotamet {

class TextBox;

struct Controls {
    explicit Controls(const QWidget &window);

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

// The window's control of that name; the test ends when there is none.
template <class T>
T *child(const QWidget &window, const char *name)
{
    T *found = window.findChild<T *>(name);
    if (!found)
        qFatal("no control named %s", name);
    return found;
}

}  // namespace rotamet
