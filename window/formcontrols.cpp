#include "window/formcontrols.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "window/textbox.h"

namespace rotamet {

namespace {

template <class W>
W *named(const QWidget &window, const QString &name)
{
    return window.findChild<W *>(name);
}

template <class W, std::size_t N>
void array(const QWidget &window, std::array<W *, N> &elements, const char *name)
{
    for (std::size_t i = 0; i < N; ++i)
        elements[i] = named<W>(window, QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(i));
}

}  // namespace

FormControls::FormControls(const QWidget &w)
    : cboCodice(named<QComboBox>(w, "cboCodice")), txtGiriMinuto(named<TextBox>(w, "txtGiriMinuto")),
      txtAngolo(named<TextBox>(w, "txtAngolo")), txtMillisecondi(named<TextBox>(w, "txtMillisecondi")),
      txtMillimetri(named<TextBox>(w, "txtMillimetri")), cmdCalcola(named<QPushButton>(w, "cmdCalcola")),
      cmdStampa(named<QPushButton>(w, "cmdStampa")), cmdAngUp(named<QPushButton>(w, "cmdAngUp")),
      cmdAngDown(named<QPushButton>(w, "cmdAngDown")), cmdMSUp(named<QPushButton>(w, "cmdMSUp")),
      cmdMSDown(named<QPushButton>(w, "cmdMSDown")), cmdMMUp(named<QPushButton>(w, "cmdMMUp")),
      cmdMMDown(named<QPushButton>(w, "cmdMMDown")), fraMain(named<QFrame>(w, "fraMain")),
      Frame1(named<QFrame>(w, "Frame1"))
{
    array(w, lblValori, "lblValori");
    array(w, lblEtichetta, "lblEtichetta");
    array(w, lblComando, "lblComando");
    array(w, optAlzataGiro, "optAlzataGiro");
    for (int i = 1; i <= 3; ++i)
        Shape[std::size_t(i)] = named<QFrame>(w, QStringLiteral("Shape%1").arg(i));
}

}  // namespace rotamet
