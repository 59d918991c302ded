#include "help/topics.h"

#include <QMessageBox>
#include <QRegularExpression>
#include <QWidget>

namespace rotamet::help {

namespace {

constexpr Page kPages[] = {
    {"indice.html", "Sommario e indice analitico"},
    {"finestra.html", "La finestra e i dati da inserire"},
    {"risultati.html", "I risultati e come si ricavano"},
    {"alzate.html", "Le alzate per giro"},
    {"striscia.html", "La striscia dei tempi di comando"},
    {"stampa.html", "Stampa, anteprima e file PDF"},
    {"tabelle.html", "Copiare le tabelle"},
    {"pompe.html", "L'elenco delle pompe e il file delle pompe"},
    {"tastiera.html", "La tastiera"},
    {"messaggi.html", "I messaggi e cosa fare"},
};

// clang-format off
constexpr Topic kControls[] = {
    // The main window.
    {"cboCodice", "finestra.html#codice"},
    {"txtGiriMinuto", "finestra.html#giri"},
    {"optAlzataGiro", "alzate.html"},
    {"txtAngolo", "finestra.html#angolo"},
    {"cmdAngUp", "finestra.html#frecce"},
    {"cmdAngDown", "finestra.html#frecce"},
    {"txtMillisecondi", "finestra.html#millisecondi"},
    {"cmdMSUp", "finestra.html#frecce"},
    {"cmdMSDown", "finestra.html#frecce"},
    {"txtMillimetri", "finestra.html#millimetri"},
    {"cmdMMUp", "finestra.html#frecce"},
    {"cmdMMDown", "finestra.html#frecce"},
    {"cmdCalcola", "finestra.html#calcola"},
    {"cmdStampa", "stampa.html"},
    {"mnuStampa", "stampa.html#scelte"},
    {"lblValori", "risultati.html"},
    {"frmMain", "finestra.html"},
    // The pump dialog.
    {"txtCodice", "pompe.html#valori"},
    {"txtMinimo", "pompe.html#valori"},
    {"txtMassimo", "pompe.html#valori"},
    {"txtFineAlzata", "pompe.html#valori"},
    {"dlgPompa", "pompe.html#finestra-pompa"},
    // The print preview.
    {"frmAnteprima", "stampa.html#anteprima"},
};

constexpr Topic kBoxes[] = {
    {"Errore di calcolo", "messaggi.html#errore-di-calcolo"},
    {"Errore di stampa", "messaggi.html#errore-di-stampa"},
    {"Stampa scala", "messaggi.html#stampa-scala"},
    {"Catalogo pompe", "messaggi.html#catalogo-pompe"},
    {"Aggiungi pompa", "messaggi.html#catalogo-pompe"},
    {"Modifica pompa", "messaggi.html#catalogo-pompe"},
    {"Elimina pompa", "messaggi.html#catalogo-pompe"},
};
// clang-format on

// "optAlzataGiro_2" is a member of the control array optAlzataGiro.
QString designName(const QString &objectName)
{
    static const QRegularExpression member(QStringLiteral("_\\d+$"));
    return QString(objectName).remove(member);
}

}  // namespace

std::span<const Page> pages() { return kPages; }
std::span<const Topic> controlTopics() { return kControls; }
std::span<const Topic> boxTopics() { return kBoxes; }

QUrl manualUrl(const QString &fileAndAnchor) { return QUrl(QStringLiteral("qrc:/manuale/") + fileAndAnchor); }

QUrl topicForBox(const QString &title)
{
    for (const Topic &t : kBoxes) {
        if (title == QString::fromUtf8(t.name))
            return manualUrl(QString::fromUtf8(t.section));
    }
    return manualUrl(QStringLiteral("messaggi.html"));
}

QUrl topicFor(const QWidget *focus)
{
    for (const QWidget *w = focus; w; w = w->parentWidget()) {
        if (const auto *box = qobject_cast<const QMessageBox *>(w))
            return topicForBox(box->windowTitle());
        const QString name = designName(w->objectName());
        for (const Topic &t : kControls) {
            if (name == QLatin1String(t.name))
                return manualUrl(QString::fromUtf8(t.section));
        }
    }
    return manualUrl(QString::fromUtf8(kPages[0].file));
}

}  // namespace rotamet::help
