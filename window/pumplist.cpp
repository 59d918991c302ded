#include "window/pumplist.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSignalBlocker>

#include "catalogue/exchange.h"
#include "catalogue/exchangefile.h"
#include "numtext/numtext.h"
#include "numtext/qtext.h"
#include "window/dlgimporta.h"
#include "window/dlgpompa.h"
#include "window/services.h"
#include "window/textbox.h"

namespace rotamet {

namespace {
QString catalogueTitle() { return QString::fromUtf8(catalogue::kMessageTitle); }

const QString kExportTitle = QStringLiteral("Esporta pompe");
const QString kImportTitle = QStringLiteral("Importa pompe");

QString notResponding()
{
    return QStringLiteral("il file non risponde entro %1 secondi")
        .arg(std::chrono::duration_cast<std::chrono::seconds>(catalogue::kExchangeDeadline).count());
}

// Work on an export or import file, on a thread of its own (the file may be
// on a server that is slow or gone), waited for at most
// catalogue::kExchangeDeadline. Nothing when the deadline passed or the work
// failed (why says why), or when the program ends meanwhile (why empty).
template <class Result>
std::optional<Result> onFileThread(std::function<Result()> job, QString &why)
{
    work::Answer<Result> answer = work::awaitOffThread<Result>(std::move(job), catalogue::kExchangeDeadline);
    switch (answer.waited) {
    case work::Waited::Done: break;
    case work::Waited::TimedOut: why = notResponding(); return std::nullopt;
    case work::Waited::ProgramEnds: return std::nullopt;
    }
    if (answer.error) {
        why = qs(answer.error->description());
        return std::nullopt;
    }
    return std::move(answer.value);
}
}  // namespace

PumpList::PumpList(QComboBox &list, PlatformServices &services, QWidget &window)
    : list_(list), services_(services), window_(window), file_(services.pumpFilePath())
{
    // Enter; the list has already taken a text that names one of its codes
    // (it chose that code, raising activated). The focus leaving the list is
    // seen in eventFilter(): QLineEdit's editingFinished would also come when
    // the window merely loses the activation or the list's drop-down opens.
    connect(list_.lineEdit(), &QLineEdit::returnPressed, this, &PumpList::enter);
    list_.installEventFilter(this);
    // The same context menu on the list's text and on its arrow.
    for (QWidget *w : {static_cast<QWidget *>(&list_), static_cast<QWidget *>(list_.lineEdit())}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint &pos) { contextMenu(w->mapToGlobal(pos)); });
    }
}

// The list outlives this object (the window closing takes the focus from it).
PumpList::~PumpList()
{
    list_.removeEventFilter(this);
    disconnect(list_.lineEdit(), nullptr, this, nullptr);
}

QString PumpList::load()
{
    catalogue::PumpFile::Loaded loaded = file_.load();
    catalogue_ = std::move(loaded.catalogue);
    fill();
    return loaded.message;
}

const catalogue::Pump *PumpList::find(const std::string &code) const { return catalogue_.find(code); }

void PumpList::setShown(const std::string &code) { shown_ = code; }

std::optional<std::size_t> PumpList::shownRow() const { return catalogue_.indexOf(shown_); }

bool PumpList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &list_ && event->type() == QEvent::FocusOut
        && focusMovedWithinWindow(*static_cast<QFocusEvent *>(event)))
        emit left();
    return false;
}

void PumpList::restoreShown()
{
    if (catalogue_.find(ss(list_.currentText())))
        return;
    if (const std::optional<std::size_t> row = shownRow()) {
        const QSignalBlocker block(&list_);
        list_.setCurrentIndex(int(*row));
        list_.setEditText(qs(catalogue_.pumps()[*row].code));
    }
}

void PumpList::enter()
{
    const QString typed = list_.currentText();
    const std::string code = catalogue::normalisedCode(ss(typed));
    if (const std::optional<std::size_t> row = catalogue_.indexOf(code); row && ss(typed) != code) {
        emit rowChosen(int(*row));
        return;
    }
    if (!catalogue_.find(ss(typed)) && !code.empty() && !catalogue_.find(code)
        && services_.questionBox(QStringLiteral("Il codice %1 non è in catalogo. Aggiungerlo?").arg(qs(code)),
                                 catalogueTitle())) {
        addPump(code);
        return;
    }
    restoreShown();
}

// The line edit's own menu, then "Aggiungi pompa…", and while a user pump is
// shown "Modifica pompa…" and "Elimina pompa".
void PumpList::contextMenu(const QPoint &globalPos)
{
    QMenu *menu = list_.lineEdit()->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    QAction *add = menu->addAction(QStringLiteral("Aggiungi pompa…"), this, [this] { addPump({}); });
    add->setObjectName(QStringLiteral("mnuAggiungiPompa"));
    if (shownRow() && catalogue_.isUserPump(shown_)) {
        const std::string code = shown_;
        menu->addAction(QStringLiteral("Modifica pompa…"), this, [this, code] { editPump(code); })
            ->setObjectName(QStringLiteral("mnuModificaPompa"));
        menu->addAction(QStringLiteral("Elimina pompa"), this, [this, code] { deletePump(code); })
            ->setObjectName(QStringLiteral("mnuEliminaPompa"));
    }
    menu->addSeparator();
    QAction *exportAction = menu->addAction(QStringLiteral("&Esporta pompe…"), this, &PumpList::exportPumps);
    exportAction->setObjectName(QStringLiteral("mnuEsportaPompe"));
    // Only the user's own pumps travel.
    exportAction->setEnabled(catalogue_.userCount() > 0);
    exportAction->setToolTip(exportAction->isEnabled()
                                 ? QStringLiteral("Salva le pompe aggiunte in un file, da importare su un altro PC")
                                 : QStringLiteral("Non ci sono pompe aggiunte da esportare"));
    menu->addAction(QStringLiteral("I&mporta pompe…"), this, &PumpList::importPumps)
        ->setObjectName(QStringLiteral("mnuImportaPompe"));
    menu->setToolTipsVisible(true);
    menu->popup(globalPos);
}

void PumpList::fill()
{
    const QSignalBlocker block(&list_);
    list_.clear();
    for (const catalogue::Pump &pump : catalogue_.pumps())
        list_.addItem(qs(pump.code));
}

void PumpList::showCatalogue(const std::string &code)
{
    fill();
    emit rowChosen(int(catalogue_.indexOf(code).value_or(0)));
}

void PumpList::addPump(const std::string &code)
{
    openDialog(QStringLiteral("Aggiungi pompa"), {code, {}, {}, {}}, std::nullopt);
}

void PumpList::editPump(const std::string &code)
{
    const catalogue::Pump *pump = catalogue_.find(code);
    if (!pump)
        return;
    openDialog(QStringLiteral("Modifica pompa"),
               {pump->code, NumberText(pump->minAlbero), NumberText(pump->maxAlbero),
                NumberText(std::int32_t(pump->fineAlzata))},
               code);
}

void PumpList::openDialog(const QString &title, const catalogue::PumpText &start, std::optional<std::string> replacing)
{
    auto *dialog = new DlgPompa(services_, title, start, &window_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->keep = [this, replacing](const catalogue::Pump &pump) -> std::optional<DlgPompa::Refusal> {
        const catalogue::PumpFile::Changed changed = changeFile([replacing, pump](catalogue::Catalogue &c) {
            return replacing ? c.replace(*replacing, pump) : c.add(pump);
        });
        if (changed.problem)
            return DlgPompa::Refusal{changed.problem->field, qs(changed.problem->reason)};
        if (!changed.catalogue)
            return DlgPompa::Refusal{std::nullopt, changed.message};
        catalogue_ = *changed.catalogue;
        showCatalogue(pump.code);
        return std::nullopt;
    };
    dialog->open();
}

catalogue::PumpFile::Changed PumpList::changeFile(catalogue::PumpFile::Edit edit)
{
    // The change may wait for the disk and for another copy of the program:
    // on a thread of its own, while the window repaints and takes no input,
    // at most kChangeDeadline. The edit holds copies, not references: when
    // the program ends or the change is given up meanwhile, that thread ends
    // it by itself (a change given up before the file takes its new text
    // never takes it).
    work::Answer<catalogue::PumpFile::Changed> changed = fileThread_.await<catalogue::PumpFile::Changed>(
        [file = file_, edit = std::move(edit)] { return file.change(edit); }, catalogue::PumpFile::kChangeDeadline);
    switch (changed.waited) {
    case work::Waited::Done: break;
    case work::Waited::ProgramEnds: return {std::nullopt, std::nullopt, QStringLiteral("Il programma si chiude.")};
    case work::Waited::TimedOut: return {std::nullopt, std::nullopt, file_.lateMessage(changed.committed)};
    }
    if (changed.error)
        return {std::nullopt, std::nullopt, file_.failureMessage(*changed.error)};
    return std::move(*changed.value);
}

void PumpList::deletePump(const std::string &code)
{
    QString question = QStringLiteral("Eliminare la pompa %1 dal catalogo?").arg(qs(code));
    // Lines that repeat the code go with it.
    if (const std::size_t lines = catalogue_.linesWith(code); lines > 1)
        question += QStringLiteral("\nIl codice è su %1 righe del file: saranno eliminate tutte.")
                        .arg(qs(NumberText(std::int32_t(lines))));
    if (!services_.questionBox(question, QStringLiteral("Elimina pompa")))
        return;
    const catalogue::PumpFile::Changed changed = changeFile([code](catalogue::Catalogue &c) {
        c.remove(code);
        return std::optional<catalogue::Problem>();
    });
    if (!changed.catalogue) {
        services_.messageBox(changed.message, catalogueTitle(), BoxIcon::Warning);
        return;
    }
    catalogue_ = *changed.catalogue;
    // The pump shown is gone: the list goes back to its first code.
    showCatalogue(std::string(shown_));
}

void PumpList::exportPumps()
{
    if (catalogue_.userCount() == 0)
        return;
    const std::optional<QString> file = services_.chooseExportFile(QStringLiteral("pompe-rotamet.csv"));
    if (!file || file->isEmpty())
        return;  // cancelled: nothing written, nothing said
    const std::size_t pumps = catalogue_.userCount();
    QString why;
    const std::optional<QString> failure = onFileThread<QString>(
        [path = *file, text = catalogue::exportText(catalogue_)] { return catalogue::writeExchangeFile(path, text); },
        why);
    if (!failure && why.isEmpty())
        return;  // the program ends meanwhile
    const QString shown = QDir::toNativeSeparators(*file);
    if (!failure || !failure->isEmpty()) {
        services_.messageBox(QStringLiteral("Le pompe non sono state esportate:\n%1\n(%2)")
                                 .arg(shown, failure ? *failure : why),
                             kExportTitle, BoxIcon::Warning);
        return;
    }
    services_.messageBox(
        pumps == 1 ? QStringLiteral("Esportata 1 pompa in:\n%1").arg(shown)
                   : QStringLiteral("Esportate %1 pompe in:\n%2").arg(qs(NumberText(std::int32_t(pumps))), shown),
        kExportTitle, BoxIcon::Information);
}

void PumpList::importPumps()
{
    const std::optional<QString> file = services_.chooseImportFile();
    if (!file || file->isEmpty())
        return;
    const QString shown = QDir::toNativeSeparators(*file);
    QString why;
    const std::optional<catalogue::ExchangeRead> read
        = onFileThread<catalogue::ExchangeRead>([path = *file] { return catalogue::readExchangeFile(path); }, why);
    if (!read && why.isEmpty())
        return;
    if (!read || !read->failure.isEmpty()) {
        services_.messageBox(
            QStringLiteral("Il file non può essere importato:\n%1\n(%2)\n\nIl catalogo non è cambiato.")
                .arg(shown, read ? read->failure : why),
            kImportTitle, BoxIcon::Warning);
        return;
    }
    catalogue::ImportPlan plan = catalogue::planImport(catalogue_, read->text);
    if (plan.empty()) {
        services_.messageBox(
            QStringLiteral("Il file non contiene pompe:\n%1\n\nIl catalogo non è cambiato.").arg(shown), kImportTitle,
            BoxIcon::Information);
        return;
    }
    auto *dialog = new DlgImporta(services_, shown, std::move(plan), &window_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->import = [this, dialog](const std::vector<bool> &takeTheirs) -> std::optional<QString> {
        // Made on the file as it is now, under its lock, as every change.
        const catalogue::PumpFile::Changed changed
            = changeFile([plan = dialog->plan(), takeTheirs](catalogue::Catalogue &c) {
                  catalogue::applyImport(c, plan, takeTheirs);
                  return std::optional<catalogue::Problem>();
              });
        if (!changed.catalogue)
            return changed.message;
        catalogue_ = *changed.catalogue;
        showCatalogue(std::string(shown_));
        return std::nullopt;
    };
    dialog->open();
}

}  // namespace rotamet
