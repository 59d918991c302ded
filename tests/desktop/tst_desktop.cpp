// The window on a real desktop, where it loses and regains the activation:
// a message box opens and closes, the user switches to another program and
// comes back, a menu or a dialog opens over it. Runs on a real window system
// only (xcb with a window manager, the Windows build); Qt's offscreen
// platform has no activation.
//
// Keys go through the window system's interface to the window (as the
// platform delivers a real key), not straight to a widget; the menu key and
// Shift+F10 come from the keyboard device itself (X's test extension,
// Windows' SendInput), since the platform itself turns them into a menu.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include "app/application.h"
#include "print/pagecomposer.h"
#include "print/targets/printtarget.h"
#include "support/openmenu.h"
#include "support/recordingservices.h"
#include "support/testmain.h"
#include "window/frmmain.h"
#include "window/qtservices.h"
#include "window/textbox.h"

using namespace rotamet;

namespace {

// Records every box as the tests' services do, and shows it as the program
// does: a real modal box that takes the activation from the window while it
// is open. Something must close it: closeBoxesWithEnter().
class RealBoxServices : public RecordingServices {
public:
    void setMainWindow(QWidget *window) { real_.setMainWindow(window); }
    void messageBox(const QString &text, const QString &title, BoxIcon icon) override
    {
        RecordingServices::messageBox(text, title, icon);
        real_.messageBox(text, title, icon);
    }
    void deliverHeldEvents() override { real_.deliverHeldEvents(); }
    // The program's own save dialog, when a test asks for it.
    bool realSaveDialog = false;
    std::optional<QString> choosePdfFile(const QString &suggested) override
    {
        return realSaveDialog ? real_.choosePdfFile(suggested) : RecordingServices::choosePdfFile(suggested);
    }

private:
    QtServices real_;
};

struct Window {
    RealBoxServices services;
    FrmMain form{services};
    Window()
    {
        services.setMainWindow(&form);
        form.load();
        QVERIFY(QTest::qWaitForWindowActive(&form, kWindowSystemWait));
        QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::focusWindow() == form.windowHandle(), kWindowSystemWait);
    }
    template <class T = QWidget>
    T *control(const char *name)
    {
        return form.findChild<T *>(QLatin1String(name));
    }
    // A key as the window system delivers it: to the window that has the
    // focus, once one has it again (a popup that closed gives it back a
    // moment later).
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {})
    {
        QVERIFY(QTest::qWaitFor([] { return QGuiApplication::focusWindow() != nullptr; }));
        QTest::keyClick(QGuiApplication::focusWindow(), k, modifiers);
    }
    void type(const QString &digits)
    {
        for (QChar c : digits)
            key(Qt::Key(Qt::Key_0 + c.digitValue()));
    }
};

// Every box that opens is answered with Enter, as a user would answer it:
// once it has the activation and has been on the screen for a moment.
class BoxCloser : public QObject {
public:
    BoxCloser()
    {
        connect(&timer_, &QTimer::timeout, this, [this] {
            QWidget *box = QApplication::activeModalWidget();
            if (!box || !box->isActiveWindow() || !box->windowHandle()) {
                seen_ = nullptr;
                return;
            }
            if (box != seen_) {
                seen_ = box;
                since_.start();
            }
            if (since_.elapsed() < 150)
                return;
            seen_ = nullptr;
            ++closed;
            QTest::keyClick(box->windowHandle(), Qt::Key_Return);
        });
        timer_.start(20);
    }
    int closed = 0;

private:
    QTimer timer_;
    QPointer<QWidget> seen_;
    QElapsedTimer since_;
};

// The menu key, or Shift+F10, pressed on the keyboard: the window system
// makes of it what it makes of the user's.
void pressOnTheKeyboard(bool menuKey)
{
#ifdef Q_OS_WIN
    std::vector<INPUT> keys;
    const auto key = [&](WORD vk, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        keys.push_back(in);
    };
    if (menuKey) {
        key(VK_APPS, false);
        key(VK_APPS, true);
    } else {
        key(VK_SHIFT, false);
        key(VK_F10, false);
        key(VK_F10, true);
        key(VK_SHIFT, true);
    }
    QCOMPARE(SendInput(UINT(keys.size()), keys.data(), sizeof(INPUT)), UINT(keys.size()));
#else
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  {QStringLiteral("key"), menuKey ? QStringLiteral("Menu") : QStringLiteral("shift+F10")});
    QVERIFY(xdotool.waitForFinished(10000) && xdotool.exitCode() == 0);
#endif
}

// Counts the times a widget is shown.
class Shows : public QObject {
public:
    explicit Shows(QWidget *widget) : watched_(widget) { widget->installEventFilter(this); }
    // The shows of a widget of that name that may not exist yet.
    Shows(QObject *application, const char *name) : name_(QLatin1String(name))
    {
        application->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::Show
            && (object == watched_ || (!name_.isEmpty() && object->objectName() == name_)))
            ++count;
        return false;
    }

private:
    QObject *watched_ = nullptr;
    QString name_;
};

// Answers the program's save dialog as a user does, from a timer of the
// window's thread: the file's path in the name field and Enter; Sì when it
// asks to replace a file; Enter on the box that ends the print. Notes what
// the dialog showed. Each answer is given after the timer's own event, since
// it may open a box in an event loop of its own where the timer, still busy,
// would not come again.
class SaveDialogAnswer : public QObject {
public:
    explicit SaveDialogAnswer(QString path) : path_(std::move(path))
    {
        connect(&timer_, &QTimer::timeout, this, [this] { answer(); });
        timer_.start(50);
    }
    QPointer<QWidget> parent;
    QString title, offered, folder, question, closingBox;

private:
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isActiveWindow() || !modal->windowHandle())
            return;
        if (auto *dialog = qobject_cast<QFileDialog *>(modal); dialog && !typed_) {
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            if (!name || !name->hasFocus())
                return;
            typed_ = true;
            parent = dialog->parentWidget();
            title = dialog->windowTitle();
            offered = name->text();
            folder = dialog->directory().absolutePath();
            name->setText(path_);
            later([window = dialog->windowHandle()] { QTest::keyClick(window, Qt::Key_Return); });
        } else if (auto *box = qobject_cast<QMessageBox *>(modal); box && box != answered_) {
            answered_ = box;
            if (QAbstractButton *yes = box->button(QMessageBox::Yes)) {
                question = box->text();
                later([yes] { QTest::mouseClick(yes, Qt::LeftButton); });
            } else {
                closingBox = box->text();
                later([window = box->windowHandle()] { QTest::keyClick(window, Qt::Key_Return); });
            }
        }
    }
    template <class F>
    void later(F &&f)
    {
        QMetaObject::invokeMethod(this, std::forward<F>(f), Qt::QueuedConnection);
    }
    QString path_;
    QTimer timer_;
    bool typed_ = false;
    QPointer<QMessageBox> answered_;
};

#ifdef Q_OS_WIN
// Another top-level window takes the activation, then the user comes back.
class Elsewhere {
public:
    void goThere()
    {
        other_.setWindowTitle(QStringLiteral("Altro programma"));
        other_.resize(200, 100);
        other_.show();
        other_.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other_));
    }
    void comeBack(QWidget &window)
    {
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        other_.hide();
    }

private:
    QWidget other_;
};
#else
// Another program (xmessage) takes the activation through the window
// manager, then the user clicks back into the window's frame (xdotool asks
// the window manager, as a click on the title bar does).
class Elsewhere {
public:
    ~Elsewhere()
    {
        other_.kill();
        other_.waitForFinished();
    }
    void goThere()
    {
        const QString title = QStringLiteral("Altro programma %1").arg(QCoreApplication::applicationPid());
        other_.start(QStringLiteral("xmessage"), {QStringLiteral("-title"), title, title});
        QVERIFY(other_.waitForStarted());
        QString id;
        QTRY_VERIFY_WITH_TIMEOUT(!(id = windowNamed(title)).isEmpty(), 10000);
        QVERIFY(xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), id}));
        QTRY_VERIFY(QGuiApplication::focusWindow() == nullptr);
    }
    void comeBack(QWidget &window)
    {
        QVERIFY(xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"),
                         QString::number(window.windowHandle()->winId())}));
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

private:
    static bool xdotool(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral("xdotool"), args);
        return p.waitForFinished(10000) && p.exitCode() == 0;
    }
    static QString windowNamed(const QString &title)
    {
        QProcess p;
        p.start(QStringLiteral("xdotool"),
                {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), title});
        p.waitForFinished(10000);
        return QString::fromLatin1(p.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0).trimmed();
    }
    QProcess other_;
};
#endif

// A target that keeps the page until the test lets it go (at most 20 s).
class HeldTarget : public print::PrintTarget {
public:
    std::string deviceName() const override { return "Bersaglio di prova"; }
    std::string secondText() const override { return "TEST:"; }
    std::optional<Handed> deliver(const print::Page &) override
    {
        entered = true;
        gate.tryAcquire(1, 20000);
        return Handed{deviceName(), {}};
    }
    QSemaphore gate;
    std::atomic<bool> entered = false;
};

// The user closes the window as a window manager passes it on: Alt+F4,
// which openbox turns into a close; on Windows the title bar's close.
void askToClose(QWidget &window)
{
#ifdef Q_OS_WIN
    QVERIFY(PostMessageW(HWND(window.winId()), WM_SYSCOMMAND, SC_CLOSE, 0));
#else
    QVERIFY(window.isActiveWindow());
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+F4")});
    QVERIFY(xdotool.waitForFinished(10000) && xdotool.exitCode() == 0);
#endif
}

}  // namespace

class TestDesktop : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            QSKIP("needs a window system where windows gain and lose the activation");
        QVERIFY(installQtTranslations());
    }
    void cleanup() { QApplication::clipboard()->clear(); }

    void speedTypedBeforeASwitchToAnotherProgramIsKept();
    void speedTypedBetweenBoxesIsKept();
    void halfTypedCodeSurvivesASwitchAndGivesWayWhenTheListIsLeft();
    void enterOnAStepButtonAfterComingBackClicksItOnce();
    void speedTypedAroundAContextMenuIsKept();
    void afterComingBackTheFirstClickSelectsTheSpeedAndTheNextPlacesTheCaret();
    void thePrintsBoxGivesTheWindowBackAsItWas();
    void theMenuKeyAndShiftF10OpenOneMenuOfStampa_data();
    void theMenuKeyAndShiftF10OpenOneMenuOfStampa();
    void aPdfSavedThroughTheSaveDialog_data();
    void aPdfSavedThroughTheSaveDialog();
    void aCloseDuringAPrintEndsTheProgramAfterItsBox();
};

// Tab into the speed field, type 12, another program takes the activation,
// back to the window, type 3.
void TestDesktop::speedTypedBeforeASwitchToAnotherProgramIsKept()
{
    Window w;
    auto *speed = w.control<TextBox>("txtGiriMinuto");
    QVERIFY(w.control<QComboBox>("cboCodice")->hasFocus());
    w.key(Qt::Key_Tab);
    QVERIFY(speed->hasFocus());
    QCOMPARE(speed->selectedText(), QStringLiteral("1000"));  // Tab selects the whole speed
    w.type(QStringLiteral("12"));
    QCOMPARE(speed->text(), QStringLiteral("12"));

    Elsewhere elsewhere;
    elsewhere.goThere();
    elsewhere.comeBack(w.form);
    QVERIFY(speed->hasFocus());
    QVERIFY(!speed->hasSelectedText());

    w.type(QStringLiteral("3"));
    QCOMPARE(speed->text(), QStringLiteral("123"));
    QCOMPARE(w.control<QLabel>("lblValori_0")->text(), QStringLiteral("2,05"));  // 123 rpm in hertz
}

// Another field holds what the calculation cannot read, so every keystroke
// in the speed field brings the calculation's box, and closing it gives the
// window the activation back.
void TestDesktop::speedTypedBetweenBoxesIsKept()
{
    Window w;
    auto *speed = w.control<TextBox>("txtGiriMinuto");
    auto *stroke = w.control<TextBox>("txtMillimetri");
    stroke->setFocus(Qt::TabFocusReason);
    stroke->selectAll();
    QApplication::clipboard()->setText(QStringLiteral(",,"));
    w.key(Qt::Key_Insert, Qt::ShiftModifier);  // a paste is not filtered
    QCOMPARE(stroke->text(), QStringLiteral(",,"));

    const BoxCloser closer;
    const int before = int(w.services.boxes.size());
    speed->setFocus(Qt::TabFocusReason);
    QVERIFY(speed->hasSelectedText());
    for (QChar digit : QStringLiteral("4104")) {
        w.type(digit);
        QTRY_VERIFY2_WITH_TIMEOUT(w.form.isActiveWindow(), qPrintable(QStringLiteral("after the box of %1").arg(digit)),
                                  kWindowSystemWait);
        QTest::qWait(50);  // the activation's focus-in comes after the window is active
    }
    QCOMPARE(speed->text(), QStringLiteral("4104"));
    QVERIFY(int(w.services.boxes.size()) > before);
    QCOMPARE(w.services.boxes.back().title, QStringLiteral("Errore di calcolo"));
    QCOMPARE(closer.closed, int(w.services.boxes.size()) - before);
}

// A technician types part of a code, switches to a parts list to read the
// rest and comes back: the text is still there. Leaving the list for another
// control brings back the code whose data the window shows.
void TestDesktop::halfTypedCodeSurvivesASwitchAndGivesWayWhenTheListIsLeft()
{
    Window w;
    auto *list = w.control<QComboBox>("cboCodice");
    QVERIFY(list->hasFocus());
    list->lineEdit()->selectAll();
    for (Qt::Key k : {Qt::Key_0, Qt::Key_4, Qt::Key_4, Qt::Key_5})
        w.key(k);
    QCOMPARE(list->currentText(), QStringLiteral("0445"));

    Elsewhere elsewhere;
    elsewhere.goThere();
    elsewhere.comeBack(w.form);
    QCOMPARE(list->currentText(), QStringLiteral("0445"));

    w.key(Qt::Key_Tab);
    QCOMPARE(list->currentText(), QStringLiteral("0445010760"));
}

// Enter on a step button that has the focus clicks it, also once the window
// has been left and come back to, and exactly once.
void TestDesktop::enterOnAStepButtonAfterComingBackClicksItOnce()
{
    Window w;
    auto *up = w.control<QPushButton>("cmdMMUp");
    up->setFocus(Qt::TabFocusReason);
    Elsewhere elsewhere;
    elsewhere.goThere();
    elsewhere.comeBack(w.form);
    QVERIFY(up->hasFocus());
    w.key(Qt::Key_Return);
    QCOMPARE(w.control<TextBox>("txtMillimetri")->text(), QStringLiteral("0,45"));
}

// A popup takes the focus while it is open and gives it back: typing goes on
// where it was after the speed field's context menu.
void TestDesktop::speedTypedAroundAContextMenuIsKept()
{
    Window w;
    auto *speed = w.control<TextBox>("txtGiriMinuto");
    speed->setFocus(Qt::TabFocusReason);
    w.type(QStringLiteral("12"));
    QTest::mouseClick(w.form.windowHandle(), Qt::RightButton, {}, speed->mapTo(&w.form, speed->rect().center()));
    QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
    w.key(Qt::Key_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    w.type(QStringLiteral("3"));
    QCOMPARE(speed->text(), QStringLiteral("123"));
}

// The selection rules of the speed field hold once the window is active
// again: a click into it (the focus was elsewhere) selects the speed, the
// next one places the caret.
void TestDesktop::afterComingBackTheFirstClickSelectsTheSpeedAndTheNextPlacesTheCaret()
{
    Window w;
    auto *speed = w.control<TextBox>("txtGiriMinuto");
    Elsewhere elsewhere;
    elsewhere.goThere();
    elsewhere.comeBack(w.form);
    QVERIFY(w.control<QComboBox>("cboCodice")->hasFocus());
    QTest::mouseClick(speed, Qt::LeftButton, {}, QPoint(4, speed->height() / 2));
    QVERIFY(speed->hasFocus());
    QCOMPARE(speed->selectedText(), QStringLiteral("1000"));
    QTest::mouseClick(speed, Qt::LeftButton, {}, QPoint(4, speed->height() / 2));
    QVERIFY(!speed->hasSelectedText());
}

// "stampa" from the keyboard: the closing box takes the activation, and
// closing it gives the window back with the user's speed and angle, the
// focus where it was, and no further box.
void TestDesktop::thePrintsBoxGivesTheWindowBackAsItWas()
{
    Window w;
    auto *print = w.control<QPushButton>("cmdStampa");
    print->setFocus(Qt::TabFocusReason);
    const BoxCloser closer;
    w.key(Qt::Key_Space);
    QTRY_COMPARE_WITH_TIMEOUT(closer.closed, 1, kWindowSystemWait);
    QTRY_VERIFY_WITH_TIMEOUT(w.form.isActiveWindow(), kWindowSystemWait);
    QTest::qWait(100);
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes.front().title, QStringLiteral("Stampa scala"));
    QVERIFY(print->hasFocus());
    QCOMPARE(w.control<TextBox>("txtGiriMinuto")->text(), QStringLiteral("1000"));
    QCOMPARE(w.control<TextBox>("txtAngolo")->text(), QStringLiteral("7,0°"));
}

// The keyboard's way to the print choices: Tab to "stampa", the menu key or
// Shift+F10 opens its menu once, below the button, and a letter picks an
// entry; the print's box closes and the focus is back on "stampa".
void TestDesktop::theMenuKeyAndShiftF10OpenOneMenuOfStampa_data()
{
    QTest::addColumn<bool>("menuKey");
    QTest::newRow("menu key") << true;
    QTest::newRow("Shift+F10") << false;
}

void TestDesktop::theMenuKeyAndShiftF10OpenOneMenuOfStampa()
{
    QFETCH(bool, menuKey);
    Window w;
    auto *print = w.control<QPushButton>("cmdStampa");
    // The menu is built when it first opens: its shows are counted from the
    // start on the application.
    const Shows shows(qApp, "mnuStampa");
    print->setFocus(Qt::TabFocusReason);
    pressOnTheKeyboard(menuKey);
    QTRY_VERIFY(w.control<QMenu>("mnuStampa") && w.control<QMenu>("mnuStampa")->isVisible());
    auto *menu = w.control<QMenu>("mnuStampa");
    QTest::qWait(300);  // a second menu for the same key would show by now
    QCOMPARE(shows.count, 1);
    QCOMPARE(QApplication::activePopupWidget(), menu);
    const QPoint below = print->mapToGlobal(QPoint(0, print->height()));
    QVERIFY2((menu->pos() - below).manhattanLength() <= 4,
             qPrintable(QStringLiteral("menu at %1,%2, button's corner at %3,%4")
                            .arg(menu->x())
                            .arg(menu->y())
                            .arg(below.x())
                            .arg(below.y())));

    const BoxCloser closer;
    w.key(Qt::Key_S);  // "&Stampa"
    QTRY_COMPARE_WITH_TIMEOUT(closer.closed, 1, kWindowSystemWait);
    QTRY_VERIFY_WITH_TIMEOUT(w.form.isActiveWindow(), kWindowSystemWait);
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes.front().title, QStringLiteral("Stampa scala"));
    QTRY_VERIFY(print->hasFocus());
    QCOMPARE(shows.count, 1);
}

// "Salva come PDF…" through the program's own save dialog: Italian, over the
// window, on the fallback's file name; a name typed and Enter writes the
// page there; an existing file is replaced once the user says Sì.
void TestDesktop::aPdfSavedThroughTheSaveDialog_data()
{
    QTest::addColumn<bool>("exists");
    QTest::newRow("a new file") << false;
    QTest::newRow("a file replaced") << true;
}

void TestDesktop::aPdfSavedThroughTheSaveDialog()
{
#ifdef Q_OS_WIN
    QSKIP("Windows' own save dialog: tests/windows/tst_winspool.cpp");
#endif
    QFETCH(bool, exists);
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("scala per il cliente.pdf"));
    if (exists) {
        QFile old(pdf);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("la scala di ieri");
    }
    Window w;
    w.services.realSaveDialog = true;
    QTest::mouseClick(w.form.windowHandle(), Qt::RightButton, {},
                      w.control("cmdStampa")->mapTo(&w.form, w.control("cmdStampa")->rect().center()));
    QTRY_VERIFY(w.control<QMenu>("mnuStampa")->isVisible());
    const SaveDialogAnswer user(pdf);
    w.key(Qt::Key_P);  // "Salva come &PDF…"
    QTRY_VERIFY(!user.closingBox.isEmpty());

    QCOMPARE(user.parent.data(), &w.form);
    QCOMPARE(user.title, QStringLiteral("Salva come PDF"));
    QVERIFY2(user.offered.startsWith(QStringLiteral("Rotamet ") + QDate::currentDate().toString(Qt::ISODate))
                 && user.offered.endsWith(QStringLiteral(".pdf")),
             qPrintable(user.offered));
    if (exists)
        QVERIFY2(user.question.contains(QStringLiteral("esiste già")), qPrintable(user.question));
    else
        QVERIFY(user.question.isEmpty());
    QCOMPARE(user.closingBox, QStringLiteral("Stampa effettuata su '") + QDir::toNativeSeparators(pdf) + '\'');
    QFile written(pdf);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.read(4), QByteArray("%PDF"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot).size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(w.form.isActiveWindow(), kWindowSystemWait);
}

// A close while a print waits for its target is kept: the print ends as it
// would, its box opens over the window, and once the box is closed the
// window closes and the program ends, as a close at any other time would.
void TestDesktop::aCloseDuringAPrintEndsTheProgramAfterItsBox()
{
    Window w;
    auto target = std::make_shared<HeldTarget>();
    print::PageComposer printer(target);
    w.services.printerInUse = &printer;
    int quitsWithTheBoxOpen = -1;
    bool visibleWithTheBoxOpen = false;
    w.services.onBox = [&](const RecordingServices::Box &) {
        quitsWithTheBoxOpen = w.services.quitCalls;
        visibleWithTheBoxOpen = w.form.isVisible();
    };
    const BoxCloser closer;
    // The user, on the window's own thread while the print waits: the close,
    // then half a second later the target takes the page.
    QTimer user;
    QElapsedTimer sinceClose;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (!target->entered)
            return;
        if (!sinceClose.isValid()) {
            askToClose(w.form);
            sinceClose.start();
        } else if (sinceClose.elapsed() > 500) {
            user.stop();
            target->gate.release();
        }
    });
    user.start(20);
    auto *print = w.control<QPushButton>("cmdStampa");
    print->setFocus(Qt::TabFocusReason);
    w.key(Qt::Key_Space);
    QTRY_COMPARE_WITH_TIMEOUT(closer.closed, 1, kWindowSystemWait);
    QTRY_COMPARE(w.services.quitCalls, 1);
    QVERIFY(sinceClose.isValid());
    QCOMPARE(quitsWithTheBoxOpen, 0);
    QVERIFY(visibleWithTheBoxOpen);
    QVERIFY(!w.form.isVisible());
    QCOMPARE(w.services.boxes.size(), std::size_t(1));
    QCOMPARE(w.services.boxes.front().text, QStringLiteral("Stampa effettuata su 'Bersaglio di prova'"));
}

ROTAMET_TEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
