#include "help/helpwindow.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "help/topics.h"

namespace rotamet::help {

namespace {

QString pageHtml(const QString &file)
{
    QFile f(QStringLiteral(":/manuale/") + file);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QPushButton *button(const char *name, const QString &text, const QString &spoken, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAccessibleName(spoken);
    b->setAutoDefault(false);  // Enter in the search field searches
    return b;
}

// The page's file and anchor of a manual address.
QString pageOf(const QUrl &url) { return url.fileName(); }

}  // namespace

HelpWindow::HelpWindow(QWidget *mainWindow) : QDialog(mainWindow, Qt::Window)
{
    setObjectName(QStringLiteral("frmGuida"));
    setWindowTitle(QStringLiteral("Guida di Rotamet"));
    setAccessibleName(QStringLiteral("Guida di Rotamet"));

    back_ = button("cmdIndietro", QStringLiteral("◀ &Indietro"), QStringLiteral("Indietro"), this);
    forward_ = button("cmdAvanti", QStringLiteral("&Avanti ▶"), QStringLiteral("Avanti"), this);
    auto *home = button("cmdSommario", QStringLiteral("&Sommario"), QStringLiteral("Sommario"), this);
    searchText_ = new QLineEdit(this);
    searchText_->setObjectName(QStringLiteral("txtCerca"));
    searchText_->setAccessibleName(QStringLiteral("Cerca nella guida"));
    searchText_->setPlaceholderText(QStringLiteral("Cerca nella guida (Ctrl+F)"));
    searchText_->setClearButtonEnabled(true);
    auto *find = button("cmdCerca", QStringLiteral("&Cerca"), QStringLiteral("Cerca"), this);
    auto *about = button("cmdInformazioni", QStringLiteral("Informazioni su &Rotamet…"),
                         QStringLiteral("Informazioni su Rotamet"), this);
    searchResult_ = new QLabel(this);
    searchResult_->setObjectName(QStringLiteral("lblCerca"));

    contents_ = new QTreeWidget(this);
    contents_->setObjectName(QStringLiteral("lstSommario"));
    contents_->setAccessibleName(QStringLiteral("Sommario"));
    contents_->setHeaderHidden(true);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("txtGuida"));
    browser_->setAccessibleName(QStringLiteral("Testo della guida"));
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(false);

    auto *bar = new QHBoxLayout;
    bar->addWidget(back_);
    bar->addWidget(forward_);
    bar->addWidget(home);
    bar->addSpacing(12);
    bar->addWidget(searchText_, 1);
    bar->addWidget(find);
    bar->addSpacing(12);
    bar->addWidget(about);
    auto *split = new QSplitter(this);
    split->addWidget(contents_);
    split->addWidget(browser_);
    split->setStretchFactor(1, 1);
    split->setSizes({230, 620});
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(searchResult_);
    layout->addWidget(split, 1);
    searchResult_->hide();

    fillContents();

    connect(back_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(home, &QPushButton::clicked, this, [this] { browser_->setSource(manualUrl(QString::fromUtf8(pages()[0].file))); });
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::followSource);
    connect(contents_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        browser_->setSource(item->data(0, Qt::UserRole).toUrl());
    });
    connect(contents_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        browser_->setSource(item->data(0, Qt::UserRole).toUrl());
    });
    const auto searchNow = [this] { search(searchText_->text()); };
    connect(searchText_, &QLineEdit::returnPressed, this, searchNow);
    connect(find, &QPushButton::clicked, this, searchNow);
    connect(about, &QPushButton::clicked, this, &HelpWindow::aboutAsked);
    // Alt+Left and Alt+Right, as in a web browser, besides the buttons.
    connect(new QShortcut(QKeySequence::Back, this), &QShortcut::activated, browser_, &QTextBrowser::backward);
    connect(new QShortcut(QKeySequence::Forward, this), &QShortcut::activated, browser_, &QTextBrowser::forward);
    // Ctrl+F itself: the system's "Find" keys differ (F3 too on Windows).
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this), &QShortcut::activated, this, [this] {
        searchText_->setFocus(Qt::ShortcutFocusReason);
        searchText_->selectAll();
    });
    back_->setEnabled(false);
    forward_->setEnabled(false);
    resize(900, 640);
}

// Each page, with its sections (its h2 headings that have an id) below it.
void HelpWindow::fillContents()
{
    static const QRegularExpression heading(QStringLiteral("<h2 id=\"([^\"]+)\">(.*?)</h2>"));
    for (const Page &page : pages()) {
        const QString file = QString::fromUtf8(page.file);
        auto *item = new QTreeWidgetItem(contents_, {QString::fromUtf8(page.title)});
        item->setData(0, Qt::UserRole, manualUrl(file));
        auto it = heading.globalMatch(pageHtml(file));
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            QTextDocument plain;
            plain.setHtml(m.captured(2));
            auto *section = new QTreeWidgetItem(item, {plain.toPlainText()});
            section->setData(0, Qt::UserRole, manualUrl(file + QLatin1Char('#') + m.captured(1)));
        }
    }
    contents_->expandAll();
}

void HelpWindow::followSource(const QUrl &url)
{
    // The entry of the section shown, else of its page, is the current one.
    QTreeWidgetItem *best = nullptr;
    for (int i = 0; i < contents_->topLevelItemCount(); ++i) {
        QTreeWidgetItem *page = contents_->topLevelItem(i);
        if (pageOf(page->data(0, Qt::UserRole).toUrl()) != pageOf(url))
            continue;
        best = page;
        for (int j = 0; j < page->childCount(); ++j) {
            if (page->child(j)->data(0, Qt::UserRole).toUrl().fragment() == url.fragment())
                best = page->child(j);
        }
    }
    if (best) {
        const QSignalBlocker block(contents_);
        contents_->setCurrentItem(best);
    }
}

void HelpWindow::showAt(const QUrl &section)
{
    // Over a modal window the help is modal itself, else it could not be
    // used until that window closes; beside the main window it is not.
    QWidget *modal = QApplication::activeModalWidget();
    const Qt::WindowModality wanted = modal && modal != this ? Qt::ApplicationModal : Qt::NonModal;
    if (windowModality() != wanted) {
        hide();
        setWindowModality(wanted);
    }
    browser_->setSource(section);
    searchResult_->hide();
    show();
    raise();
    activateWindow();
    browser_->setFocus(Qt::OtherFocusReason);
}

bool HelpWindow::search(const QString &text)
{
    const QString wanted = text.trimmed();
    if (wanted.isEmpty())
        return false;
    searchResult_->hide();
    if (browser_->find(wanted))
        return true;
    // The next pages, then the pages before, then this one from its top.
    const std::span<const Page> all = pages();
    int here = 0;
    for (int i = 0; i < int(all.size()); ++i) {
        if (QString::fromUtf8(all[i].file) == pageOf(browser_->source()))
            here = i;
    }
    for (int step = 1; step <= int(all.size()); ++step) {
        const QString file = QString::fromUtf8(all[(here + step) % all.size()].file);
        QTextDocument page;
        page.setHtml(pageHtml(file));
        if (!page.toPlainText().contains(wanted, Qt::CaseInsensitive))
            continue;
        browser_->setSource(manualUrl(file));
        browser_->moveCursor(QTextCursor::Start);
        if (browser_->find(wanted))
            return true;
    }
    searchResult_->setText(QStringLiteral("Nessuna pagina della guida contiene «%1».").arg(wanted));
    searchResult_->show();
    return false;
}

}  // namespace rotamet::help
