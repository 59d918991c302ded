#include "window/dlgpompa.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "numtext/qtext.h"
#include "window/keyrules.h"
#include "window/services.h"
#include "window/textbox.h"

namespace rotamet {

namespace {

struct FieldDesign {
    const char *name;
    const char *label;       // with the "&" of its Alt key
    const char *spokenName;  // what a screen reader says
    const char *toolTip;
    int typedLimit;
    int widthChars;
};

// In the order of catalogue::Field, which is the tab order.
constexpr FieldDesign kFields[] = {
    {"txtCodice", "&Codice:", "Codice pompa", "Da 10 a 13 cifre o lettere, come 0445010760", 13, 14},
    {"txtMinimo", "Mi&nimo [mm]:", "Dimensione minima dell'albero in millimetri",
     "Minima dimensione dell'albero attraverso la camma, in mm, come 37,35", 6, 7},
    {"txtMassimo", "Ma&ssimo [mm]:", "Dimensione massima dell'albero in millimetri",
     "Massima dimensione dell'albero attraverso la camma, in mm, come 46,95", 6, 7},
    {"txtFineAlzata", "&Fine alzata [°]:", "Gradi di fine alzata della camma",
     "Gradi di fine alzata della camma, un numero intero da 1 a 360", 3, 4},
};

}  // namespace

DlgPompa::DlgPompa(PlatformServices &services, const QString &title, const catalogue::PumpText &start, QWidget *parent)
    : QDialog(parent), services_(services)
{
    setObjectName(QStringLiteral("dlgPompa"));
    setWindowTitle(title);

    auto *form = new QFormLayout;
    TextBox **boxes[] = {&txtCodice, &txtMinimo, &txtMassimo, &txtFineAlzata};
    const std::string texts[] = {start.codice, start.minimo, start.massimo, start.fineAlzata};
    for (int i = 0; i < 4; ++i) {
        const FieldDesign &d = kFields[i];
        auto *box = new TextBox(this);
        box->setObjectName(QString::fromLatin1(d.name));
        box->setTypedLengthLimit(d.typedLimit);
        box->setText(qs(texts[i]));
        box->setToolTip(QString::fromUtf8(d.toolTip));
        box->setAccessibleName(QString::fromUtf8(d.spokenName));
        box->setAccessibleDescription(QString::fromUtf8(d.toolTip));
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(QLatin1Char('0')) * d.widthChars + 12);
        auto *label = new QLabel(QString::fromUtf8(d.label), this);
        label->setBuddy(box);
        form->addRow(label, box);
        *boxes[i] = box;
    }

    // The window's key rules; Enter is OK and Esc Cancel, since a field with
    // a key rule takes both keys itself.
    const auto hook = [this](void (*rule)(int &)) {
        return [this, rule](int &keyAscii) {
            if (keyAscii == 13) {
                cmdOK_Click();
                return;
            }
            if (keyAscii == 27) {
                keyAscii = 0;
                reject();
                return;
            }
            rule(keyAscii);
        };
    };
    txtCodice->onKeyPress = hook(keyrules::pumpCode);
    txtMinimo->onKeyPress = hook(keyrules::decimalNumber);
    txtMassimo->onKeyPress = hook(keyrules::decimalNumber);
    txtFineAlzata->onKeyPress = hook(keyrules::wholeNumber);

    auto *rules = new QLabel(QStringLiteral("Dimensioni in mm con la virgola, 0 < minimo < massimo ≤ 100.\n"
                                            "Fine alzata in gradi interi, da 1 a 360."),
                             this);
    rules->setObjectName(QStringLiteral("lblRegole"));

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *ok = buttons_->button(QDialogButtonBox::Ok);
    QPushButton *cancel = buttons_->button(QDialogButtonBox::Cancel);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setText(QStringLiteral("OK"));
    cancel->setObjectName(QStringLiteral("cmdAnnulla"));
    cancel->setText(QStringLiteral("Annulla"));
    connect(buttons_, &QDialogButtonBox::accepted, this, &DlgPompa::cmdOK_Click);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(rules);
    layout->addWidget(buttons_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    txtCodice->setFocus();
    txtCodice->selectAll();
}

TextBox *DlgPompa::field(catalogue::Field f) const
{
    switch (f) {
    case catalogue::Field::Codice: return txtCodice;
    case catalogue::Field::Minimo: return txtMinimo;
    case catalogue::Field::Massimo: return txtMassimo;
    case catalogue::Field::FineAlzata: break;
    }
    return txtFineAlzata;
}

void DlgPompa::cmdOK_Click()
{
    const catalogue::ReadPump read = catalogue::readPump(
        {ss(txtCodice->text()), ss(txtMinimo->text()), ss(txtMassimo->text()), ss(txtFineAlzata->text())});
    if (read.problem) {
        refuse({read.problem->field, qs(read.problem->reason)});
        return;
    }
    if (keep) {
        if (const std::optional<Refusal> refusal = keep(*read.pump)) {
            refuse(*refusal);
            return;
        }
    }
    accept();
}

void DlgPompa::refuse(const Refusal &refusal)
{
    services_.messageBox(refusal.message, windowTitle(), BoxIcon::Warning);
    if (refusal.field) {
        TextBox *box = field(*refusal.field);
        box->setFocus();
        box->selectAll();
    }
}

}  // namespace rotamet
