// The floor for the start-up benchmarks: the very window that Rotamet shows
// when it starts (the same widgets, geometry, fonts, texts, tooltips and
// colours, built from the same design table, window/design.cpp) with no
// logic behind it: no calculation, no printer, no event handlers. The texts
// that the program's start-up writes are set here as constants. It ends as
// startup_rotamet.cpp does, once the window is on the screen.
#include "startup_common.h"
#include "window/design.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <algorithm>
#include <utility>
#include <vector>

namespace design = rotamet::design;

namespace {

int px(int twips) { return qRound(twips / double(design::kTwipsPerPixel)); }

QFont fontOf(const design::Font &f)
{
    const design::Font &use = f.face ? f : design::kDefaultFont;
    QFont font(QString::fromUtf8(use.face));
    font.setPixelSize(qRound(use.points * 96.0 / 72.0));
    font.setBold(use.bold);
    return font;
}

Qt::Alignment alignmentOf(design::Align a)
{
    return a == design::Align::Centre ? Qt::AlignHCenter : a == design::Align::Right ? Qt::AlignRight : Qt::AlignLeft;
}

void setForeground(QWidget *w, QColor colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::ButtonText, colour);
    p.setColor(QPalette::Text, colour);
    w->setPalette(p);
}

void setBackground(QWidget *w, QColor colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    w->setBackgroundRole(QPalette::Window);
    w->setAutoFillBackground(true);
}

QColor colourOf(design::Colour c) { return QColor(c.red, c.green, c.blue); }

// What Rotamet's start-up writes over the design: captions, tooltips.
struct Written {
    const char *name;
    const char *text;     // nullptr: as designed
    const char *toolTip;  // nullptr: as designed
};
constexpr Written kWritten[] = {
    {"lblValori_0", "16,67", nullptr},
    {"lblValori_1", "0,060", nullptr},
    {"lblValori_2", "60,00", nullptr},
    {"lblValori_3", "37,35", nullptr},
    {"lblValori_4", "46,95", nullptr},
    {"lblValori_5", "4,80", nullptr},
    {"lblValori_6", "110°", nullptr},
    {"lblEtichetta_4", "Salita e discesa [180°]", nullptr},
    {"lblValori_7", "ms 30,00", nullptr},
    {"lblValori_8", "ms 15,00", nullptr},
    {"lblValori_9", "mm 0,305", "Millimetri di escursione del pompante con 7,0° di comando elettrico"},
    {"lblValori_10", "ms 1,17", "Millisecondi di comando elettrico corrispondenti a 7,0°"},
    {"lblValori_11", "6,0°", "Angolo corrispondente a 1,00 ms di comando elettrico"},
    {"lblValori_12", "mm 0,262", "Millimetri di escursione del pompante con 1,00 ms di comando elettrico"},
    {"lblValori_13", "9,17°", "Angolo di rotazione corrispondente a 0,40 di corsa del pompante"},
    {"lblValori_14", "ms 1,53", "Millisecondi di comando corrispondenti a 0,40 di corsa del pompante"},
    {"lblComando_1", "827,777777777778 µs", nullptr},
    {"cmdStampa", nullptr, "Stampa su: "},
};

}  // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setObjectName(QStringLiteral("frmMain"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    window.setFont(fontOf(design::kDefaultFont));
    window.setFixedSize(px(design::kClientWidth), px(design::kClientHeight));

    QFrame *fraMain = nullptr, *frame1 = nullptr;
    QComboBox *combo = nullptr;
    std::vector<QRadioButton *> options;
    std::vector<std::pair<int, QWidget *>> tabOrder;
    for (const design::Control &c : design::controls()) {
        QWidget *parent = qstrcmp(c.container, "fraMain") == 0 ? fraMain
            : qstrcmp(c.container, "Frame1") == 0              ? frame1
                                                               : &window;
        const QString caption = QString::fromUtf8(c.caption);
        QWidget *w = nullptr;
        switch (c.kind) {
        case design::Kind::Frame: {
            auto *frame = new QFrame(parent);
            frame->setFrameShape(QFrame::Box);
            frame->setFrameShadow(QFrame::Sunken);
            (qstrcmp(c.name, "fraMain") == 0 ? fraMain : frame1) = frame;
            w = frame;
            break;
        }
        case design::Kind::Label: {
            auto *label = new QLabel(caption, parent);
            label->setAlignment(alignmentOf(c.align) | Qt::AlignTop);
            label->setWordWrap(c.wordWrap);
            label->setTextFormat(Qt::PlainText);
            w = label;
            break;
        }
        case design::Kind::TextBox: {
            auto *box = new QLineEdit(caption, parent);
            box->setAlignment(alignmentOf(c.align) | Qt::AlignVCenter);
            w = box;
            break;
        }
        case design::Kind::ComboBox:
            combo = new QComboBox(parent);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setCompleter(nullptr);
            w = combo;
            break;
        case design::Kind::Option:
            options.push_back(new QRadioButton(caption, parent));
            w = options.back();
            break;
        case design::Kind::Button: {
            auto *button = new QPushButton(caption, parent);
            button->setAutoDefault(false);
            w = button;
            break;
        }
        case design::Kind::Shape: {
            auto *shape = new QFrame(parent);
            shape->setFrameShape(QFrame::Box);
            shape->setFrameShadow(QFrame::Plain);
            w = shape;
            break;
        }
        case design::Kind::Line: {
            auto *line = new QFrame(parent);
            line->setGeometry(px(c.left), px(c.top), std::max(1, px(c.width - c.left)),
                              std::max(1, px(c.height - c.top)));
            line->setObjectName(QString::fromUtf8(c.name));
            setBackground(line, colourOf(c.fore));
            continue;
        }
        }
        w->setObjectName(c.index >= 0 ? QString::fromUtf8(c.name) + QLatin1Char('_') + QString::number(c.index)
                                      : QString::fromUtf8(c.name));
        w->setGeometry(px(c.left), px(c.top), px(c.width), px(c.height));
        if (c.font.face)
            w->setFont(fontOf(c.font));
        if (c.toolTip)
            w->setToolTip(QString::fromUtf8(c.toolTip));
        if (c.fore.isSet())
            setForeground(w, colourOf(c.fore));
        if (c.back.isSet())
            setBackground(w, colourOf(c.back));
        if (c.tabOrder > 0)
            tabOrder.emplace_back(c.tabOrder, w);
    }
    std::sort(tabOrder.begin(), tabOrder.end(), [](auto &a, auto &b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
    auto *group = new QButtonGroup(&window);
    for (int i = 0; i < int(options.size()); ++i)
        group->addButton(options[std::size_t(i)], i);

    // The state start-up leaves.
    for (const Written &written : kWritten) {
        QWidget *w = window.findChild<QWidget *>(QString::fromUtf8(written.name));
        if (written.text) {
            if (auto *label = qobject_cast<QLabel *>(w))
                label->setText(QString::fromUtf8(written.text));
        }
        if (written.toolTip)
            w->setToolTip(QString::fromUtf8(written.toolTip));
    }
    for (const char *code : {"0445010760", "0445010790", "0445010799", "A2C1637670080"})
        combo->addItem(QString::fromUtf8(code));
    combo->setCurrentIndex(0);
    options[1]->setChecked(true);
    for (int i = 0; i < 3; ++i)
        setForeground(options[std::size_t(i)], i == 1 ? QColor(0, 128, 0) : QColor(0, 0, 0));
    auto *shape2 = window.findChild<QFrame *>(QStringLiteral("Shape2"));
    shape2->resize(55, shape2->height());
    window.findChild<QFrame *>(QStringLiteral("Shape3"))->setBackgroundRole(QPalette::Button);

    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const QSize outer = window.frameGeometry().size();
    window.move((screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 3);
    window.setWindowTitle(QStringLiteral("Rotamet - 09/12/2023"));

    window.show();
    window.activateWindow();
    combo->setFocus();
    return endWhenShown(window);
}
