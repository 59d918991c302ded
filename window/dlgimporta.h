// dlgImporta: what importing a pump file would do, shown before anything
// changes. The new pumps (lstNuove); the pumps whose code the catalogue has
// with other figures (lstConflitti), each with a check box that takes the
// file's figures, and two buttons for all at once (cmdTieniMie keeps the
// user's, cmdPrendiFile takes the file's); the codes already in the
// catalogue as they are (lblPresenti); the lines refused, each with its
// reason (lstRifiutate; lblMotivo shows the reason of the line chosen in
// full). cmdImporta hands the choices to `import`; while it cannot, a
// message says why and the dialog stays open with the choices. Esc and
// cmdAnnulla change nothing. Messages go through PlatformServices.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

#include "catalogue/exchange.h"

class QPushButton;
class QTreeWidget;

namespace rotamet {

class PlatformServices;

class DlgImporta : public QDialog {
    Q_OBJECT
public:
    // file: the file the plan was made from, as the user reads its name.
    DlgImporta(PlatformServices &services, const QString &file, catalogue::ImportPlan plan, QWidget *parent = nullptr);

    const catalogue::ImportPlan &plan() const { return plan_; }
    // For each conflict, in the plan's order: true takes the file's pump.
    std::vector<bool> takeTheirs() const;

    // Imports with the choices; a message when it could not (the dialog
    // stays open), nothing when it did (the dialog closes).
    std::function<std::optional<QString>(const std::vector<bool> &)> import;

    void cmdImporta_Click();
    void cmdTieniMie_Click();
    void cmdPrendiFile_Click();

private:
    void checkAll(bool takeTheirs);

    PlatformServices &services_;
    catalogue::ImportPlan plan_;
    QTreeWidget *lstConflitti = nullptr;
    QPushButton *cmdImporta = nullptr;
};

}  // namespace rotamet
