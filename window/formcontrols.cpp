#include "window/formcontrols.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "window/textbox.h"

namespace rotamet {

FormControls::FormControls(const QWidget &window)
    : FormControls([&window](const char *name, int index) {
          const QString objectName
              = index < 0 ? QString::fromLatin1(name) : QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
          return window.findChild<QWidget *>(objectName);
      })
{}

FormControls::FormControls(const Lookup &find)
{
    const auto one = [&find](auto *&control, const char *name) {
        control = qobject_cast<std::remove_reference_t<decltype(control)>>(find(name, -1));
    };
    const auto array = [&find](auto &elements, const char *name) {
        for (std::size_t i = 0; i < elements.size(); ++i)
            elements[i]
                = qobject_cast<typename std::remove_reference_t<decltype(elements)>::value_type>(find(name, int(i)));
    };
    one(cboCodice, "cboCodice");
    one(txtGiriMinuto, "txtGiriMinuto");
    one(txtAngolo, "txtAngolo");
    one(txtMillisecondi, "txtMillisecondi");
    one(txtMillimetri, "txtMillimetri");
    array(lblValori, "lblValori");
    array(lblEtichetta, "lblEtichetta");
    array(lblComando, "lblComando");
    array(optAlzataGiro, "optAlzataGiro");
    one(cmdCalcola, "cmdCalcola");
    one(cmdStampa, "cmdStampa");
    one(cmdAngUp, "cmdAngUp");
    one(cmdAngDown, "cmdAngDown");
    one(cmdMSUp, "cmdMSUp");
    one(cmdMSDown, "cmdMSDown");
    one(cmdMMUp, "cmdMMUp");
    one(cmdMMDown, "cmdMMDown");
    one(fraMain, "fraMain");
    one(Frame1, "Frame1");
    one(Shape[1], "Shape1");
    one(Shape[2], "Shape2");
    one(Shape[3], "Shape3");
}

}  // namespace rotamet
