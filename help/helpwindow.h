// "Guida di Rotamet": the manual (Italian HTML pages built into the program)
// in a QTextBrowser, with its table of contents beside it, back and forward,
// and a search through every page. Esc closes it. Over a modal window (a
// message box, the pump dialog, the preview) it opens modal itself, so that
// it can be read and used there; otherwise it stays beside the main window.
#pragma once

#include <QDialog>
#include <QUrl>

class QLabel;
class QLineEdit;
class QPushButton;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace rotamet::help {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *mainWindow);

    // Shows the window at a section (qrc:/manuale/page.html#anchor).
    void showAt(const QUrl &section);
    // Searches the manual for text: from the place shown onwards, then page
    // after page; false when no page holds it.
    bool search(const QString &text);

signals:
    // "Informazioni su Rotamet…".
    void aboutAsked();

private:
    void fillContents();
    void followSource(const QUrl &url);

    QTextBrowser *browser_ = nullptr;
    QTreeWidget *contents_ = nullptr;
    QLineEdit *searchText_ = nullptr;
    QLabel *searchResult_ = nullptr;
    QPushButton *back_ = nullptr;
    QPushButton *forward_ = nullptr;
};

}  // namespace rotamet::help
