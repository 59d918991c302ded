#include "window/dlgimporta.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "numtext/numtext.h"
#include "numtext/qtext.h"
#include "window/services.h"

namespace rotamet {

namespace {

QString figures(const catalogue::Pump &pump)
{
    return qs(NumberText(pump.minAlbero) + " – " + NumberText(pump.maxAlbero) + " mm, " + pump.fineAlzataText());
}

QString count(std::size_t n) { return qs(NumberText(std::int32_t(n))); }

QTreeWidget *newList(QWidget *parent, const char *name, const QString &spokenName, const QStringList &columns)
{
    auto *list = new QTreeWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setAccessibleName(spokenName);
    list->setHeaderLabels(columns);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->header()->setStretchLastSection(true);
    return list;
}

// A title over a list, with the Alt key that leads to it.
QLabel *titleFor(QWidget *parent, const char *name, const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(buddy);
    return label;
}

}  // namespace

DlgImporta::DlgImporta(PlatformServices &services, const QString &file, catalogue::ImportPlan plan, QWidget *parent)
    : QDialog(parent), services_(services), plan_(std::move(plan))
{
    setObjectName(QStringLiteral("dlgImporta"));
    setWindowTitle(QStringLiteral("Importa pompe"));
    auto *layout = new QVBoxLayout(this);

    auto *source = new QLabel(QStringLiteral("Dal file:\n%1").arg(file), this);
    source->setObjectName(QStringLiteral("lblFile"));
    source->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(source);

    if (!plan_.added.empty()) {
        QTreeWidget *list = newList(this, "lstNuove", QStringLiteral("Pompe nuove"),
                                    {QStringLiteral("Codice"), QStringLiteral("Valori")});
        for (const catalogue::Pump &pump : plan_.added)
            new QTreeWidgetItem(list, {qs(pump.code), figures(pump)});
        list->setCurrentItem(list->topLevelItem(0));
        list->resizeColumnToContents(0);
        layout->addWidget(titleFor(this, "lblNuove",
                                   QStringLiteral("Pompe &nuove, da aggiungere (%1):").arg(count(plan_.added.size())),
                                   list));
        layout->addWidget(list);
    }

    if (!plan_.conflicts.empty()) {
        lstConflitti
            = newList(this, "lstConflitti", QStringLiteral("Pompe già in catalogo con altri valori"),
                      {QStringLiteral("Codice"), QStringLiteral("I miei valori"), QStringLiteral("Valori del file")});
        lstConflitti->setAccessibleDescription(
            QStringLiteral("Spazio spunta una pompa: la spunta prende i valori del file, senza spunta restano i miei"));
        for (const catalogue::Conflict &conflict : plan_.conflicts) {
            auto *item = new QTreeWidgetItem(lstConflitti,
                                             {qs(conflict.own.code), figures(conflict.own), figures(conflict.theirs)});
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, Qt::Unchecked);
        }
        lstConflitti->setCurrentItem(lstConflitti->topLevelItem(0));
        for (int c = 0; c < 2; ++c)
            lstConflitti->resizeColumnToContents(c);
        layout->addWidget(titleFor(this, "lblConflitti",
                                   QStringLiteral("Pompe già in catalogo con &altri valori (%1): "
                                                  "con la spunta si prendono i valori del file")
                                       .arg(count(plan_.conflicts.size())),
                                   lstConflitti));
        layout->addWidget(lstConflitti);
        auto *all = new QHBoxLayout;
        auto *keep = new QPushButton(QStringLiteral("&Tieni tutte le mie"), this);
        keep->setObjectName(QStringLiteral("cmdTieniMie"));
        keep->setAccessibleName(QStringLiteral("Tieni i miei valori per tutte le pompe"));
        keep->setAutoDefault(false);
        // On pressed, not clicked: an Alt key "clicks" a button a tenth of a
        // second later, and Enter straight after it must import the choices
        // it made. Pressing either twice changes nothing.
        connect(keep, &QPushButton::pressed, this, &DlgImporta::cmdTieniMie_Click);
        auto *take = new QPushButton(QStringLiteral("&Prendi tutte dal file"), this);
        take->setObjectName(QStringLiteral("cmdPrendiFile"));
        take->setAccessibleName(QStringLiteral("Prendi i valori del file per tutte le pompe"));
        take->setAutoDefault(false);
        connect(take, &QPushButton::pressed, this, &DlgImporta::cmdPrendiFile_Click);
        all->addWidget(keep);
        all->addWidget(take);
        all->addStretch();
        layout->addLayout(all);
    }

    if (!plan_.present.empty()) {
        QStringList codes;
        for (const std::string &code : plan_.present)
            codes << qs(code);
        auto *present = new QLabel(
            QStringLiteral("Già in catalogo, senza cambiamenti (%1): %2").arg(count(codes.size()), codes.join(", ")),
            this);
        present->setObjectName(QStringLiteral("lblPresenti"));
        present->setWordWrap(true);
        layout->addWidget(present);
    }

    if (!plan_.refused.empty()) {
        QTreeWidget *list = newList(this, "lstRifiutate", QStringLiteral("Righe rifiutate"),
                                    {QStringLiteral("Riga"), QStringLiteral("Motivo"), QStringLiteral("Testo")});
        list->setWordWrap(true);
        list->setUniformRowHeights(false);
        for (const catalogue::RefusedLine &line : plan_.refused) {
            auto *item = new QTreeWidgetItem(list, {QString::number(line.number), qs(line.reason), qs(line.text)});
            item->setToolTip(1, qs(line.reason));
        }
        list->setCurrentItem(list->topLevelItem(0));
        list->setColumnWidth(1, 380);
        layout->addWidget(titleFor(
            this, "lblRifiutate",
            QStringLiteral("&Righe rifiutate, che non saranno importate (%1):").arg(count(plan_.refused.size())),
            list));
        layout->addWidget(list);
        // The reason of the line chosen in full, wrapped: the column shows
        // its start.
        auto *reason = new QLabel(this);
        reason->setObjectName(QStringLiteral("lblMotivo"));
        reason->setWordWrap(true);
        reason->setTextInteractionFlags(Qt::TextSelectableByMouse);
        const auto showReason = [reason](QTreeWidgetItem *item) { reason->setText(item ? item->text(1) : QString()); };
        connect(list, &QTreeWidget::currentItemChanged, reason, showReason);
        showReason(list->currentItem());
        layout->addWidget(reason);
    }

    if (!plan_.changes()) {
        auto *nothing = new QLabel(QStringLiteral("Il file non ha pompe da aggiungere né da cambiare."), this);
        nothing->setObjectName(QStringLiteral("lblNiente"));
        layout->addWidget(nothing);
    }

    auto *buttons = new QDialogButtonBox(this);
    cmdImporta = buttons->addButton(QStringLiteral("&Importa"), QDialogButtonBox::AcceptRole);
    cmdImporta->setObjectName(QStringLiteral("cmdImporta"));
    cmdImporta->setEnabled(plan_.changes());
    cmdImporta->setDefault(plan_.changes());
    QPushButton *cancel = buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdAnnulla"));
    connect(cmdImporta, &QPushButton::clicked, this, &DlgImporta::cmdImporta_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);

    setMinimumWidth(640);
    // The first list has the focus; with none, the first button.
    for (QWidget *w : findChildren<QTreeWidget *>()) {
        w->setFocus();
        break;
    }
    if (!focusWidget())
        (plan_.changes() ? cmdImporta : cancel)->setFocus();
}

std::vector<bool> DlgImporta::takeTheirs() const
{
    std::vector<bool> out(plan_.conflicts.size(), false);
    for (std::size_t i = 0; lstConflitti && i < out.size(); ++i)
        out[i] = lstConflitti->topLevelItem(int(i))->checkState(0) == Qt::Checked;
    return out;
}

void DlgImporta::checkAll(bool take)
{
    for (int i = 0; lstConflitti && i < lstConflitti->topLevelItemCount(); ++i)
        lstConflitti->topLevelItem(i)->setCheckState(0, take ? Qt::Checked : Qt::Unchecked);
}

void DlgImporta::cmdTieniMie_Click() { checkAll(false); }
void DlgImporta::cmdPrendiFile_Click() { checkAll(true); }

void DlgImporta::cmdImporta_Click()
{
    if (!plan_.changes())
        return;
    if (import) {
        if (const std::optional<QString> failure = import(takeTheirs())) {
            services_.messageBox(*failure, windowTitle(), BoxIcon::Warning);
            return;
        }
    }
    accept();
}

}  // namespace rotamet
