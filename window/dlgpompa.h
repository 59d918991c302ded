// dlgPompa: the dialog in which the user adds a pump to the catalogue or
// changes one of theirs. One entry field per value (txtCodice, txtMinimo,
// txtMassimo, txtFineAlzata) with the window's key rules; Enter is OK, Esc
// Cancel. OK checks the fields and hands a valid pump to `keep`; while a field
// is invalid or the pump is not kept, a message names the field, the dialog
// stays open and the user keeps what they typed. Cancel changes nothing.
// Messages go through PlatformServices, as the window's do.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "catalogue/catalogue.h"

class QDialogButtonBox;
class QPushButton;

namespace rotamet {

class PlatformServices;
class TextBox;

class DlgPompa : public QDialog {
    Q_OBJECT
public:
    // title: "Aggiungi pompa" or "Modifica pompa"; the fields start with start.
    DlgPompa(PlatformServices &services, const QString &title, const catalogue::PumpText &start,
             QWidget *parent = nullptr);

    // Why a pump was not kept: the field at fault, if one is, and the message.
    struct Refusal {
        std::optional<catalogue::Field> field;
        QString message;
    };
    // Keeps a valid pump; nullopt when it was kept, and the dialog closes.
    std::function<std::optional<Refusal>(const catalogue::Pump &)> keep;

    // OK: the button, or Enter in a field.
    void cmdOK_Click();

private:
    TextBox *field(catalogue::Field field) const;
    void refuse(const Refusal &refusal);

    PlatformServices &services_;
    TextBox *txtCodice = nullptr;
    TextBox *txtMinimo = nullptr;
    TextBox *txtMassimo = nullptr;
    TextBox *txtFineAlzata = nullptr;
    QDialogButtonBox *buttons_ = nullptr;
};

}  // namespace rotamet
