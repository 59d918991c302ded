// A monkey on the real window: a seeded, reproducible stream of user actions
// (keys in every field, pastes of anything, clicks on every button and
// option, choices and typing in the pump list, now and then a print on the
// recording printer). After every gesture (a key, a click, a paste, a move
// of the focus): at most one message box, typed and pasted input within each
// field's limit, nothing changed unless the calculation ran, and every figure
// equal to what one calculation of the inputs gives in a fresh window.
// Beside it, what the monkey's held keys showed about the program's own box.
//
// A failure names the seed, the action and the gestures before it;
// MONKEY_SEED=<n> (and MONKEY_ACTIONS=<n>) replays one seed alone.
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyleHints>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <random>
#include <thread>

#include "numtext/numtext.h"
#include "support/controls.h"
#include "support/recordingservices.h"
#include "support/testmain.h"
#include "window/frmmain.h"
#include "window/qtservices.h"
#include "window/textbox.h"

using namespace rotamet;

namespace {

// The inputs one calculation run reads, taken as the run starts.
struct Inputs {
    QString speed, angle, ms, mm;
    QString shaftMin, shaftMax, endOfLift;  // lblValori(3), (4), (6): the last pump chosen
    int option = -1;

    static Inputs of(const FrmMain &f)
    {
        const Controls ui(f);
        Inputs in{
            ui.txtGiriMinuto->text(), ui.txtAngolo->text(),    ui.txtMillisecondi->text(), ui.txtMillimetri->text(),
            ui.lblValori[3]->text(),  ui.lblValori[4]->text(), ui.lblValori[6]->text(),    -1};
        for (int i = 0; i < 3; ++i)
            if (ui.optAlzataGiro[i]->isChecked())
                in.option = i;
        return in;
    }
};

// Recording services that also note the inputs of the last outermost
// calculation run: every run asks for the printer first thing. A run that
// finds the speed empty writes "0", which runs a nested calculation; the
// outer run then goes on with what the nested one left, so the inputs that
// explain the figures are the outer run's.
struct MonkeyServices : RecordingServices {
    FrmMain *form = nullptr;
    Inputs lastRun;
    int seenRun = -1;
    int outerRun = -1;
    bool outerFoundNoSpeed = false;

    print::Printer &printer() override
    {
        if (form && form->calculationRuns() != seenRun) {
            seenRun = form->calculationRuns();
            const bool nested = outerFoundNoSpeed && seenRun == outerRun + 1;
            if (!nested) {
                lastRun = Inputs::of(*form);
                outerRun = seenRun;
                outerFoundNoSpeed = lastRun.speed.isEmpty();
            }
        }
        return RecordingServices::printer();
    }
};

QString fill(const QFrame *shape)
{
    if (shape->backgroundRole() == QPalette::Button)
        return QStringLiteral("button face");
    return shape->palette().color(QPalette::Window).name();
}

// Every figure a calculation run writes, by name.
QList<QPair<QString, QString>> figures(const FrmMain &f)
{
    const Controls ui(f);
    QList<QPair<QString, QString>> out;
    for (int i = 0; i < 15; ++i) {
        out.append({QString("lblValori(%1)").arg(i), ui.lblValori[i]->text()});
        out.append({QString("lblValori(%1) tooltip").arg(i), ui.lblValori[i]->toolTip()});
    }
    out.append({"lblComando(1)", ui.lblComando[1]->text()});
    out.append({"Shape2 width", QString::number(ui.Shape[2]->property("widthTwips").toFloat(), 'g', 9)});
    out.append({"Shape2 fill", fill(ui.Shape[2])});
    out.append({"Shape3 fill", fill(ui.Shape[3])});
    out.append({"txtGiriMinuto", ui.txtGiriMinuto->text()});
    return out;
}

QString differences(const QList<QPair<QString, QString>> &got, const QList<QPair<QString, QString>> &want)
{
    QString out;
    for (qsizetype i = 0; i < got.size() && i < want.size(); ++i)
        if (got[i].second != want[i].second)
            out += QString("\n  %1: window '%2', one calculation '%3'")
                       .arg(got[i].first, got[i].second, want[i].second);
    return out;
}

// One calculation of the given inputs in a fresh window. The strip keeps
// what it shows from an earlier run when the command time is 1700 µs or
// more, and its blocks when below 700 µs, so it starts as the monkey's
// window shows it (which is what the last run found, whenever the run
// leaves it alone).
struct Reference {
    RecordingServices services;
    FrmMain form{services};
    Controls ui{form};
    int boxes = 0;

    Reference(const Inputs &in, const FrmMain &window)
    {
        const Controls monkey(window);
        if (in.option >= 0)
            form.setOptionValue(in.option);
        ui.lblValori[3]->setText(in.shaftMin);
        ui.lblValori[4]->setText(in.shaftMax);
        ui.lblValori[6]->setText(in.endOfLift);
        form.setCommandCaption(1, monkey.lblComando[1]->text().toStdString());
        form.setShapeWidth(2, monkey.Shape[2]->property("widthTwips").toFloat());
        for (int s : {2, 3}) {
            const QFrame *shape = monkey.Shape[s];
            const QColor c = shape->palette().color(QPalette::Window);
            form.setShapeFill(
                s,
                shape->backgroundRole() == QPalette::Button
                    ? calc::Fill::ButtonFace()
                    : calc::Fill::Rgb(std::uint8_t(c.red()), std::uint8_t(c.green()), std::uint8_t(c.blue())));
        }
        {
            // Written quietly: the one run below must be the only one.
            const QSignalBlocker quiet(ui.txtGiriMinuto);
            ui.txtGiriMinuto->setText(in.speed);
        }
        ui.txtAngolo->setText(in.angle);
        ui.txtMillisecondi->setText(in.ms);
        ui.txtMillimetri->setText(in.mm);
        services.boxes.clear();
        form.cmdCalcola_Click();
        boxes = int(services.boxes.size());
    }
};

// What the user may add to a field: the text after an action is the text
// before it with one stretch removed (Backspace, Delete, cutting), or else
// something was added and the whole text is within the limit.
bool onlyRemoved(const QString &before, const QString &after)
{
    if (after.size() > before.size())
        return false;
    qsizetype common = 0;
    while (common < after.size() && after[common] == before[common])
        ++common;
    return before.endsWith(QStringView(after).mid(common));
}

// Stops the program with the seed and the action when one action does not
// end: a hang must not pass as a slow test. It only measures progress.
class Watchdog {
public:
    Watchdog()
        : thread_([this] {
              using namespace std::chrono;
              int last = -1;
              auto since = steady_clock::now();
              while (!stop_) {
                  std::this_thread::sleep_for(milliseconds(100));
                  const int beat = beat_;
                  if (beat != last) {
                      last = beat;
                      since = steady_clock::now();
                  } else if (steady_clock::now() - since > seconds(60)) {
                      const std::lock_guard<std::mutex> lock(mutex_);
                      std::fprintf(stderr, "monkey: one action has not ended in 60 s: %s\n", what_.c_str());
                      std::abort();
                  }
              }
          })
    {}
    ~Watchdog()
    {
        stop_ = true;
        thread_.join();
    }
    Watchdog(const Watchdog &) = delete;
    Watchdog &operator=(const Watchdog &) = delete;

    void starting(const QString &what)
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            what_ = what.toStdString();
        }
        ++beat_;
    }

private:
    std::atomic<int> beat_{0};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::string what_;
    std::thread thread_;
};

// Reproducible on every standard library: no distributions, only the engine.
class Dice {
public:
    explicit Dice(quint32 seed) : engine_(seed) {}
    int below(int n) { return int(engine_() % quint32(n)); }
    bool percent(int p) { return below(100) < p; }
    template <class List>
    const auto &pick(const List &list)
    {
        return list[below(int(std::size(list)))];
    }

private:
    std::mt19937 engine_;
};

struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    QString text;
    QString name;
};

Key character(QChar c)
{
    const ushort u = c.unicode();
    Qt::Key key = Qt::Key_unknown;
    if (u >= 'a' && u <= 'z')
        key = Qt::Key(Qt::Key_A + (u - 'a'));
    else if (u >= 'A' && u <= 'Z')
        key = Qt::Key(Qt::Key_A + (u - 'A'));
    else if (u >= 0x20 && u < 0x7f)
        key = Qt::Key(u);
    else if (u == 0xb0)
        key = Qt::Key_degree;
    return {key, (u >= 'A' && u <= 'Z') ? Qt::ShiftModifier : Qt::NoModifier, QString(c), QString("'%1'").arg(c)};
}

Key randomKey(Dice &dice)
{
    static const QString typed = QString::fromUtf8("0123456789012345678901234567890123456789,,,,..-- °aZxE数١é");
    const int kind = dice.below(100);
    if (kind < 60)
        return character(typed[dice.below(int(typed.size()))]);
    static const QList<Key> named{
        {Qt::Key_Return, Qt::NoModifier, "\r", "Return"},
        {Qt::Key_Enter, Qt::KeypadModifier, "\r", "keypad Enter"},
        {Qt::Key_Backspace, Qt::NoModifier, "\b", "Backspace"},
        {Qt::Key_Backspace, Qt::NoModifier, "\b", "Backspace"},
        {Qt::Key_Backspace, Qt::ControlModifier, "\b", "Ctrl+Backspace"},
        {Qt::Key_Delete, Qt::NoModifier, "\x7f", "Delete"},
        {Qt::Key_Delete, Qt::ShiftModifier, "\x7f", "Shift+Delete"},
        {Qt::Key_Left, Qt::NoModifier, "", "Left"},
        {Qt::Key_Right, Qt::NoModifier, "", "Right"},
        {Qt::Key_Left, Qt::ShiftModifier, "", "Shift+Left"},
        {Qt::Key_Right, Qt::ShiftModifier, "", "Shift+Right"},
        {Qt::Key_Left, Qt::ControlModifier, "", "Ctrl+Left"},
        {Qt::Key_Home, Qt::NoModifier, "", "Home"},
        {Qt::Key_End, Qt::NoModifier, "", "End"},
        {Qt::Key_Home, Qt::ShiftModifier, "", "Shift+Home"},
        {Qt::Key_End, Qt::ShiftModifier, "", "Shift+End"},
        {Qt::Key_Up, Qt::NoModifier, "", "Up"},
        {Qt::Key_Escape, Qt::NoModifier, "\x1b", "Escape"},
        {Qt::Key_Tab, Qt::NoModifier, "\t", "Tab"},
        {Qt::Key_Backtab, Qt::ShiftModifier, "", "Shift+Tab"},
        {Qt::Key_Insert, Qt::ShiftModifier, "", "Shift+Insert"},
        {Qt::Key_Insert, Qt::ControlModifier, "", "Ctrl+Insert"},
        {Qt::Key_F4, Qt::NoModifier, "", "F4"},
        {Qt::Key_A, Qt::AltModifier, "a", "Alt+A"},
    };
    if (kind < 90)
        return dice.pick(named);
    // Ctrl with a letter: the control character it types.
    const int letter = dice.below(26);
    const char name[] = {'C', 't', 'r', 'l', '+', char('A' + letter), 0};
    return {Qt::Key(Qt::Key_A + letter), Qt::ControlModifier, QString(QChar(char16_t(letter + 1))), name};
}

QString randomClipboard(Dice &dice)
{
    static const QStringList fixed{
        QString::fromUtf8("°"),
        "9E999",
        "-0",
        "1E39",
        "1,5E-3",
        "1.234,5",
        "0,05",
        "99999",
        "12345678",
        "",
        " ",
        "7,0°",
        "-1",
        "NaN",
        "inf",
        ",",
        ",,",
        "1..2",
        QString::fromUtf8("数字١٢٣𝟘𝟙"),
        QString::fromUtf8("𝟘𝟘𝟘𝟘𝟘𝟘𝟘"),
        QString::fromLatin1("1\n2\t3\r\0014\x7f\0", 10),
        "0x1F",
        "+5",
        QString::fromUtf8("Ωμ≈½"),
        "1e308",
        "32767,5",
        "40000",
        "2500",
    };
    switch (dice.below(5)) {
    case 0: {
        QString letters;
        for (int i = 1 + dice.below(12); i > 0; --i)
            letters += QChar(char16_t((dice.percent(50) ? 'a' : 'A') + dice.below(26)));
        return letters;
    }
    case 1: {
        QString digits;
        for (int i = 1 + dice.below(dice.percent(80) ? 12 : 3000); i > 0; --i)
            digits += QChar(char16_t('0' + dice.below(10)));
        return digits;
    }
    case 2: {
        static const QString pool = QString::fromUtf8("0123456789,.-+ E°\t\n\r\x01\x1b数Ω");
        QString mixed;
        for (int i = 1 + dice.below(10); i > 0; --i)
            mixed += pool[dice.below(int(pool.size()))];
        return mixed;
    }
    default: return dice.pick(fixed);
    }
}

QString shown(const QString &text)
{
    QString out;
    for (QChar c : text.left(40))
        out += c.unicode() < 32 || c.unicode() == 127 ? QString("\\x%1").arg(c.unicode(), 2, 16, QChar('0'))
                                                      : QString(c);
    if (text.size() > 40)
        out += QString("...(%1 characters)").arg(text.size());
    return "\"" + out + "\"";
}

// The window driven by the monkey, and what it knows between gestures.
class Monkey {
public:
    Monkey(quint32 seed, Watchdog &watchdog) : dice_(seed), seed_(seed), watchdog_(watchdog)
    {
        services_.form = &form_;
        form_.load();
        form_.activateWindow();
        active_ = QTest::qWaitForWindowActive(&form_);
        fields_ = {ui_.txtGiriMinuto, ui_.txtAngolo, ui_.txtMillisecondi, ui_.txtMillimetri};
        steps_ = {ui_.cmdAngUp, ui_.cmdAngDown, ui_.cmdMSUp, ui_.cmdMSDown, ui_.cmdMMUp, ui_.cmdMMDown};
        angleAfterRun_ = ui_.txtAngolo->text();
        QApplication::clipboard()->clear();
    }

    bool active() const { return active_; }

    // One user action (one or a few gestures, each checked on its own);
    // returns what went wrong.
    QString act(int ordinal)
    {
        ordinal_ = ordinal;
        const int roll = dice_.below(1000);
        if (roll < 3)
            return print();
        if (roll < 60)
            return retype();
        if (roll < 400)
            return keyInField();
        if (roll < 470)
            return keyToFocus();
        if (roll < 520)
            return clickField();
        if (roll < 620)
            return paste();
        if (roll < 780)
            return clickStep();
        if (roll < 810)
            return click(ui_.cmdCalcola, "click calcola");
        if (roll < 850)
            return clickOption();
        if (roll < 890)
            return comboKey();
        if (roll < 920)
            return comboChoice();
        return comboTyping();
    }

    int gestures = 0;
    int prints = 0;
    int boxesSeen = 0;
    int comparisons = 0;
    int cleanComparisons = 0;  // of which the calculation showed no box

private:
    // Runs one gesture and checks the window after it.
    template <class Body>
    QString gesture(const QString &what, Body &&body, TextBox *typedIn = nullptr, bool printing = false)
    {
        const QList<QPair<QString, QString>> before = figures(form_);
        const QStringList textsBefore = fieldTexts();
        const int runsBefore = form_.calculationRuns();
        services_.boxes.clear();
        const QString where = QString("seed %1, action %2: %3").arg(seed_).arg(ordinal_).arg(what);
        watchdog_.starting(where);
        body();
        ++gestures;
        log_.push_back(QString("%1: %2").arg(ordinal_).arg(what));
        if (log_.size() > 12)
            log_.pop_front();

        if (trace_)
            fprintf(
                trace_, "%s | %s | %s\n", qPrintable(where), qPrintable(fieldTexts().join(" / ")),
                qPrintable(QString::number(ui_.txtAngolo->cursorPosition()) + " sel " + ui_.txtAngolo->selectedText()));
        const QString wrong = check(before, textsBefore, runsBefore, typedIn, printing);
        if (wrong.isEmpty())
            return {};
        return QString("%1\n%2\nreplay with MONKEY_SEED=%3 MONKEY_ACTIONS=%4\nlast gestures:\n  %5")
            .arg(where, wrong)
            .arg(seed_)
            .arg(ordinal_ + 1)
            .arg(QStringList(log_.begin(), log_.end()).join("\n  "));
    }

    QStringList fieldTexts() const
    {
        QStringList out;
        for (TextBox *box : fields_)
            out << box->text();
        return out;
    }

    static QString nameOf(const QWidget *w) { return w ? w->objectName() : QStringLiteral("(nothing)"); }

    // The user puts the focus on a widget first: a click, or Tab from
    // elsewhere. Leaving the pump list may choose the code typed there.
    QString focus(QWidget *w)
    {
        if (QApplication::focusWidget() == w)
            return {};
        if (dice_.percent(50)) {
            const QPoint at(1 + dice_.below(std::max(1, w->width() - 2)), w->height() / 2);
            return gesture(QString("click in %1 at x %2").arg(nameOf(w)).arg(at.x()),
                           [&] { QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at); });
        }
        return gesture(QString("Tab to %1").arg(nameOf(w)), [&] { w->setFocus(Qt::TabFocusReason); });
    }

    // A mouse click on a button or an option. The press moves the focus
    // first, and leaving the pump list may choose the code typed there and
    // run the calculation; a box it shows is modal and takes the release, so
    // the click proper is a gesture of its own.
    QString click(QAbstractButton *button, const QString &what, bool printing = false)
    {
        if (QApplication::focusWidget() != button && (button->focusPolicy() & Qt::ClickFocus))
            if (QString wrong = gesture("press on " + button->objectName() + " takes the focus",
                                        [&] { button->setFocus(Qt::MouseFocusReason); });
                !wrong.isEmpty())
                return wrong;
        return gesture(
            what, [&] { QTest::mouseClick(button, Qt::LeftButton); }, nullptr, printing);
    }

    void send(QWidget *w, const Key &k) { QTest::sendKeyEvent(QTest::Click, w, k.key, k.text, k.mods); }

    QString keyInField()
    {
        TextBox *box = dice_.pick(fields_);
        const Key k = randomKey(dice_);
        if (QString wrong = focus(box); !wrong.isEmpty())
            return wrong;
        return gesture(
            QString("key %1 in %2").arg(k.name, box->objectName()), [&] { send(box, k); }, box);
    }

    // The user clears a field and types a sensible value, so the window does
    // not stay in error for long.
    QString retype()
    {
        TextBox *box = dice_.pick(fields_);
        static const QStringList speeds{"1000", "2500", "7", "99999", "0800", "120", "0", "3600"};
        static const QStringList angles{"7", "7,25", "0,05", "15", "90", "1234,5", "0", ",5", "12.5"};
        static const QStringList times{"1", "0,4", "1,05", "3", "0,00", "99999", "0,7", "2,5"};
        static const QStringList strokes{"0,4", "0,45", "0,1", "1", "5,4", "0,05", "3,927", "0,5"};
        const QString text = box == ui_.txtGiriMinuto ? dice_.pick(speeds)
            : box == ui_.txtAngolo                    ? dice_.pick(angles)
            : box == ui_.txtMillisecondi              ? dice_.pick(times)
                                                      : dice_.pick(strokes);
        const bool enter = dice_.percent(70);
        if (QString wrong = focus(box); !wrong.isEmpty())
            return wrong;
        for (const Key &k :
             {Key{Qt::Key_End, Qt::NoModifier, "", "End"}, Key{Qt::Key_Home, Qt::ShiftModifier, "", "Shift+Home"},
              Key{Qt::Key_Backspace, Qt::NoModifier, "\b", "Backspace"}})
            if (QString wrong = gesture(
                    QString("key %1 in %2").arg(k.name, box->objectName()), [&] { send(box, k); }, box);
                !wrong.isEmpty())
                return wrong;
        for (QChar c : text)
            if (QString wrong = gesture(
                    QString("key '%1' in %2").arg(c).arg(box->objectName()), [&] { send(box, character(c)); }, box);
                !wrong.isEmpty())
                return wrong;
        if (!enter)
            return {};
        return gesture(
            "key Return in " + box->objectName(),
            [&] {
                send(box, {Qt::Key_Return, Qt::NoModifier, "\r", "Return"});
            },
            box);
    }

    // A key to whatever has the focus: buttons, options, the list.
    QString keyToFocus()
    {
        QWidget *w = QApplication::focusWidget();
        if (!w)
            w = &form_;
        static const QList<Key> keys{
            {Qt::Key_Tab, Qt::NoModifier, "\t", "Tab"},
            {Qt::Key_Backtab, Qt::ShiftModifier, "", "Shift+Tab"},
            {Qt::Key_Space, Qt::NoModifier, " ", "Space"},
            {Qt::Key_Return, Qt::NoModifier, "\r", "Return"},
            {Qt::Key_Up, Qt::NoModifier, "", "Up"},
            {Qt::Key_Down, Qt::NoModifier, "", "Down"},
            {Qt::Key_Left, Qt::NoModifier, "", "Left"},
            {Qt::Key_Right, Qt::NoModifier, "", "Right"},
            {Qt::Key_Escape, Qt::NoModifier, "\x1b", "Escape"},
            {Qt::Key_5, Qt::NoModifier, "5", "'5'"},
        };
        Key k = dice_.pick(keys);
        // Space or Enter on "stampa" prints: as rare as the other prints.
        if (w == ui_.cmdStampa && (k.key == Qt::Key_Space || k.key == Qt::Key_Return))
            k = keys[0];
        return gesture(
            QString("key %1 to the focus (%2)").arg(k.name, nameOf(w)), [&] { send(w, k); },
            qobject_cast<TextBox *>(w));
    }

    QString clickField()
    {
        TextBox *box = dice_.pick(fields_);
        const QPoint at(1 + dice_.below(std::max(1, box->width() - 2)), box->height() / 2);
        if (dice_.percent(20))
            return gesture(QString("double click in %1 at x %2").arg(box->objectName()).arg(at.x()),
                           [&] { QTest::mouseDClick(box, Qt::LeftButton, Qt::NoModifier, at); });
        return gesture(QString("click in %1 at x %2").arg(box->objectName()).arg(at.x()),
                       [&] { QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, at); });
    }

    QString paste()
    {
        TextBox *box = dice_.pick(fields_);
        const QString text = randomClipboard(dice_);
        const bool byKey = dice_.percent(30);
        if (QString wrong = focus(box); !wrong.isEmpty())
            return wrong;
        QApplication::clipboard()->setText(text);
        if (byKey)
            return gesture(
                QString("Shift+Insert of %1 in %2").arg(shown(text), box->objectName()),
                [&] {
                    send(box, {Qt::Key_Insert, Qt::ShiftModifier, "", "Shift+Insert"});
                },
                box);
        return gesture(
            QString("paste of %1 in %2").arg(shown(text), box->objectName()), [&] { box->pasteBounded(); }, box);
    }

    QString clickStep()
    {
        QPushButton *button = dice_.pick(steps_);
        if (!dice_.percent(10))
            return click(button, "click " + button->objectName());
        // Enter held down on the focused button: each auto-repeated press is
        // a key event of its own.
        const int repeats = 2 + dice_.below(20);
        if (QString wrong = gesture("Tab to " + button->objectName(), [&] { button->setFocus(Qt::TabFocusReason); });
            !wrong.isEmpty())
            return wrong;
        for (int i = 0; i < repeats; ++i) {
            const QString wrong = gesture(QString("Enter held on %1, press %2").arg(button->objectName()).arg(i + 1),
                                          [&] { QTest::keyPress(button, Qt::Key_Return); });
            if (!wrong.isEmpty())
                return wrong;
        }
        return gesture("Enter released on " + button->objectName(), [&] { QTest::keyRelease(button, Qt::Key_Return); });
    }

    QString clickOption()
    {
        const int i = dice_.below(3);
        return click(ui_.optAlzataGiro[i], QString("click optAlzataGiro(%1)").arg(i));
    }

    QString comboKey()
    {
        static const QList<Key> keys{
            {Qt::Key_Up, Qt::NoModifier, "", "Up"},
            {Qt::Key_Down, Qt::NoModifier, "", "Down"},
            {Qt::Key_Down, Qt::NoModifier, "", "Down"},
            {Qt::Key_PageUp, Qt::NoModifier, "", "PageUp"},
            {Qt::Key_PageDown, Qt::NoModifier, "", "PageDown"},
        };
        const Key k = dice_.pick(keys);
        if (QString wrong = focus(ui_.cboCodice->lineEdit()); !wrong.isEmpty())
            return wrong;
        return gesture(QString("key %1 in cboCodice").arg(k.name), [&] { send(ui_.cboCodice, k); });
    }

    // A choice in the list as the popup makes it: the item becomes current,
    // then activated (also when it already was).
    QString comboChoice()
    {
        const int i = dice_.below(ui_.cboCodice->count());
        return gesture(QString("choice of %1 in the list").arg(ui_.cboCodice->itemText(i)), [&] {
            ui_.cboCodice->setCurrentIndex(i);
            emit ui_.cboCodice->activated(i);
        });
    }

    QString comboTyping()
    {
        QLineEdit *edit = ui_.cboCodice->lineEdit();
        static const QStringList texts{"0445010790",    "A2C1637670080", "0445010799", "0445010760",
                                       "a2c1637670080", " 0445010760",   "0445010790X"};
        const bool whole = dice_.percent(40);
        QString text;
        if (whole) {
            text = dice_.pick(texts);
        } else {
            static const QString pool = QString::fromUtf8("0123456789AC ,.-°x");
            for (int i = 1 + dice_.below(4); i > 0; --i)
                text += pool[dice_.below(int(pool.size()))];
        }
        const bool enter = dice_.percent(50);
        if (QString wrong = focus(edit); !wrong.isEmpty())
            return wrong;
        if (whole)
            edit->selectAll();
        for (QChar c : text)
            if (QString wrong = gesture(QString("key '%1' in cboCodice").arg(c), [&] { send(edit, character(c)); });
                !wrong.isEmpty())
                return wrong;
        if (!enter)
            return {};
        return gesture(QString("Return in cboCodice after %1").arg(shown(edit->text())), [&] {
            send(edit, {Qt::Key_Return, Qt::NoModifier, "\r", "Return"});
        });
    }

    QString print()
    {
        ++prints;
        services_.recordingPrinter.ops.clear();
        return click(ui_.cmdStampa, "click stampa", true);
    }

    QString check(const QList<QPair<QString, QString>> &before, const QStringList &textsBefore, int runsBefore,
                  TextBox *typedIn, bool printing)
    {
        QCoreApplication::processEvents();
        boxesSeen += int(services_.boxes.size());

        // One gesture, one message box at most, a print included: its
        // closing box, or the one box of its calculations.
        int calculationBoxes = 0;
        QStringList titles;
        for (const auto &b : services_.boxes) {
            calculationBoxes += b.title == "Errore di calcolo";
            titles << b.title + ": " + b.text;
        }
        if (services_.boxes.size() > 1 || calculationBoxes > 1)
            return QString("%1 message boxes: %2").arg(services_.boxes.size()).arg(titles.join(" | "));
        if (services_.quitCalls != 0 || !form_.isVisible())
            return "the window closed";

        const int runs = form_.calculationRuns() - runsBefore;
        if (runs > 100)
            return QString("%1 calculation runs for one gesture").arg(runs);

        if (printing) {
            if (services_.boxes.empty())
                return "a print ended without a word";
            const auto &last = services_.boxes.back();
            if (last.title == "Stampa scala" || last.title == "Errore di calcolo") {
                // The user's speed comes back as a whole number.
                const QString speed = QString::fromStdString(NumberText(ParseInt16(textsBefore[0].toStdString())));
                if (ui_.txtGiriMinuto->text() != speed)
                    return QString("after the print the speed is %1, not %2")
                        .arg(shown(ui_.txtGiriMinuto->text()), shown(speed));
                // Inputs the calculation cannot read: nothing reaches the printer.
                if (last.title == "Errore di calcolo" && !services_.recordingPrinter.ops.empty())
                    return "a print whose inputs could not be read printed: " + last.text;
            } else if (last.title == "Errore di stampa") {
                // The speed could not be read: nothing printed, nothing written.
                if (!services_.recordingPrinter.ops.empty() || fieldTexts() != textsBefore)
                    return "a print that could not read the speed printed or wrote: " + last.text;
            } else {
                return "a print ended with " + last.title + ": " + last.text;
            }
        }

        for (TextBox *box : fields_)
            if (!QStringView(box->text()).isValidUtf16())
                return box->objectName() + " holds broken text " + shown(box->text());

        // Typed and pasted input within the field's limit. A run in the
        // angle field's own gesture (Enter) rewrites that field whole.
        if (typedIn && !(typedIn == ui_.txtAngolo && runs > 0)) {
            const QString was = textsBefore[int(fields_.indexOf(typedIn))];
            const QString now = typedIn->text();
            if (!onlyRemoved(was, now) && now.size() > typedIn->typedLengthLimit())
                return QString("%1 took input beyond its limit of %2: %3 became %4")
                    .arg(typedIn->objectName())
                    .arg(typedIn->typedLengthLimit())
                    .arg(shown(was), shown(now));
        }

        const QList<QPair<QString, QString>> now = figures(form_);
        if (runs == 0) {
            // Nothing ran: nothing the calculation writes may have changed.
            const QString changed = differences(now, before);
            if (!changed.isEmpty())
                return "figures changed without a calculation:" + changed;
            return {};
        }

        // The angle field as the last run left it; typing may follow.
        angleAfterRun_ = ui_.txtAngolo->text();
        ++comparisons;
        const Reference reference(services_.lastRun, form_);
        if (reference.boxes > 1)
            return "one calculation showed more than one box";
        cleanComparisons += reference.boxes == 0;
        QString wrong = differences(now, figures(reference.form));
        if (angleAfterRun_ != reference.ui.txtAngolo->text())
            wrong += QString("\n  txtAngolo: window '%1', one calculation '%2'")
                         .arg(angleAfterRun_, reference.ui.txtAngolo->text());
        if (!wrong.isEmpty()) {
            const Inputs &in = services_.lastRun;
            return QString("figures differ from one calculation of speed %1, angle %2, ms %3, mm %4, "
                           "shaft %5/%6, end of lift %7, option %8:%9")
                .arg(shown(in.speed), shown(in.angle), shown(in.ms), shown(in.mm), in.shaftMin, in.shaftMax,
                     in.endOfLift)
                .arg(in.option)
                .arg(wrong);
        }
        return {};
    }

    MonkeyServices services_;
    FrmMain form_{services_};
    Controls ui_{form_};
    Dice dice_;
    quint32 seed_;
    Watchdog &watchdog_;
    bool active_ = false;
    QList<TextBox *> fields_;
    QList<QPushButton *> steps_;
    QString angleAfterRun_;
    std::deque<QString> log_;
    int ordinal_ = 0;
    FILE *trace_
        = qEnvironmentVariableIsSet("MONKEY_TRACE") ? fopen(qgetenv("MONKEY_TRACE").constData(), "w") : nullptr;
};

}  // namespace

class TestMonkey : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup() { QApplication::clipboard()->clear(); }
    void randomUserActionsKeepEveryFigureConsistent_data();
    void randomUserActionsKeepEveryFigureConsistent();
    void aHeldKeyDoesNotCloseTheBoxItOpened_data();
    void aHeldKeyDoesNotCloseTheBoxItOpened();

private:
    int doubleClickInterval_ = 0;
};

// A click close to where a field was double-clicked selects everything, but
// only while the double-click interval lasts, measured in real time. An
// interval longer than any run makes that depend on the place alone, so the
// same seed always does the same thing.
void TestMonkey::initTestCase()
{
    doubleClickInterval_ = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    QGuiApplication::styleHints()->setMouseDoubleClickInterval(24 * 3600 * 1000);
}

void TestMonkey::cleanupTestCase() { QGuiApplication::styleHints()->setMouseDoubleClickInterval(doubleClickInterval_); }

void TestMonkey::randomUserActionsKeepEveryFigureConsistent_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("actions");
    const QByteArray replay = qgetenv("MONKEY_SEED");
    if (!replay.isEmpty()) {
        const int actions
            = qEnvironmentVariableIsSet("MONKEY_ACTIONS") ? qEnvironmentVariableIntValue("MONKEY_ACTIONS") : 2000;
        QTest::addRow("seed %s", replay.constData()) << quint32(replay.toULong()) << actions;
        return;
    }
    for (quint32 seed : {1u, 2u, 3u, 20231209u})
        QTest::addRow("seed %u", seed) << seed << 1500;
}

void TestMonkey::randomUserActionsKeepEveryFigureConsistent()
{
    QFETCH(quint32, seed);
    QFETCH(int, actions);
    qInfo("monkey seed %u, %d actions", seed, actions);  // shown before any crash
    Watchdog watchdog;
    Monkey monkey(seed, watchdog);
    QVERIFY(monkey.active());
    for (int i = 0; i < actions; ++i) {
        const QString wrong = monkey.act(i);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }
    qInfo("%d gestures, %d prints, %d message boxes; %d compared with one calculation in a fresh window, "
          "%d of them without a box",
          monkey.gestures, monkey.prints, monkey.boxesSeen, monkey.comparisons, monkey.cleanComparisons);
}

// Enter held on a step button, on "calcola" or in a conversion field whose
// text is not a number: the first press shows the box, and the key goes on
// repeating into it. If a repeat closed the box, the next one would reach the
// window again and open another, box after box for as long as the key is
// held. The program's own box (QtServices) must stay until a key is pressed
// anew.
void TestMonkey::aHeldKeyDoesNotCloseTheBoxItOpened_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    QTest::newRow("Space") << int(Qt::Key_Space);
}

void TestMonkey::aHeldKeyDoesNotCloseTheBoxItOpened()
{
    QFETCH(int, key);
    const Qt::KeyboardModifiers mods = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
    const QString text = key == Qt::Key_Space ? " " : "\r";
    QtServices services;
    bool openAfterRepeats = false;
    bool closedByANewPress = false;
    QTimer::singleShot(0, [&] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box)
            return;
        // The keys go where the focus is in the box: its one button.
        QWidget *button = box->findChild<QPushButton *>();
        if (!button)
            return;
        for (int i = 0; i < 10 && box->isVisible(); ++i) {
            for (QEvent::Type type : {QEvent::KeyRelease, QEvent::KeyPress}) {
                QKeyEvent repeat(type, key, mods, text, true);
                QApplication::sendEvent(button, &repeat);
            }
        }
        openAfterRepeats = box->isVisible();
        // The key released at last, and pressed again: that answers the box.
        QKeyEvent release(QEvent::KeyRelease, key, mods, text);
        QApplication::sendEvent(button, &release);
        QTest::keyClick(button, Qt::Key(key), mods);
        closedByANewPress = !box->isVisible();
    });
    // Whatever happens, the box does not stay open past the test.
    QTimer::singleShot(10000, [] {
        if (QWidget *box = QApplication::activeModalWidget())
            box->close();
    });
    services.messageBox("Errore 13  Tipo non corrispondente", "Errore di calcolo", BoxIcon::Critical);
    QVERIFY2(openAfterRepeats, "the repeats of the held key closed the box");
    QVERIFY(closedByANewPress);
}

ROTAMET_TEST_MAIN(TestMonkey)
#include "tst_monkey.moc"
