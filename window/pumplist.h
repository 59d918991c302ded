// The pump list's catalogue: the built-in pumps and the user's, their file,
// the list's context menu (add, edit, delete a pump; export the user's pumps
// to a file and import pumps from one), the pump and import dialogs and the
// questions around them. Keeps the code of the pump whose data the window
// shows. Choosing a pump is the window's: the list asks for it with
// rowChosen, and the window tells it which pump it shows with setShown.
#pragma once

#include <QObject>
#include <QString>
#include <optional>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/pumpfile.h"
#include "work/workthread.h"

class QComboBox;
class QWidget;

namespace rotamet {

class PlatformServices;

class PumpList : public QObject {
    Q_OBJECT
public:
    // list: the window's cboCodice; window: the dialogs' parent.
    PumpList(QComboBox &list, PlatformServices &services, QWidget &window);
    ~PumpList() override;

    // Reads the pumps' file and fills the list with the catalogue. What there
    // is to tell about the file (lines skipped, a file that cannot be read);
    // empty when nothing.
    QString load();

    const catalogue::Pump *find(const std::string &code) const;
    // The window shows the data of the pump with this code now.
    void setShown(const std::string &code);
    // A text in the list that is no catalogue code gives way to the code
    // whose data the window shows.
    void restoreShown();
    // Enter in the list. A catalogue code in small letters or with blanks
    // around it chooses that pump; a text that is no code asks "Il codice …
    // non è in catalogo. Aggiungerlo?" (Sì opens the pump dialog with the
    // code filled in); otherwise as restoreShown().
    void enter();

signals:
    // The window is to choose this row of the list, as if the user had.
    void rowChosen(int row);
    // The focus moved from the list to another control of the window (not
    // merely a change of the active window or a popup).
    void left();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::optional<std::size_t> shownRow() const;
    void contextMenu(const QPoint &globalPos);
    void fill();
    // Fills the list again and chooses the pump with this code (the first
    // when there is none).
    void showCatalogue(const std::string &code);
    void addPump(const std::string &code);
    void editPump(const std::string &code);
    void deletePump(const std::string &code);
    // "Esporta pompe…": the user's pumps into a file they choose.
    void exportPumps();
    // "Importa pompe…": a file the user chooses, shown in dlgImporta before
    // anything changes, then merged with the choices made there.
    void importPumps();
    void openDialog(const QString &title, const catalogue::PumpText &start, std::optional<std::string> replacing);
    // Makes a change in the pumps' file off the window's thread.
    catalogue::PumpFile::Changed changeFile(catalogue::PumpFile::Edit edit);

    QComboBox &list_;
    PlatformServices &services_;
    QWidget &window_;
    catalogue::PumpFile file_;
    work::WorkThread fileThread_;  // reads and writes the pumps' file
    catalogue::Catalogue catalogue_;
    std::string shown_;
};

}  // namespace rotamet
