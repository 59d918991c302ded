// The floor for the start-up benchmarks: the very window that Rotamet shows
// when it starts (the same widgets, geometry, fonts, texts, tooltips and
// colours, built by the same code from the same design table,
// window/designwidgets.cpp and window/design.cpp) with no logic behind it: no calculation, no printer, no event
// handlers. The texts that the program's start-up writes are set here as constants. It ends as startup_rotamet.cpp
// does, once the window is on the screen.
#include "startup_common.h"
#include "window/designwidgets.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QScreen>

namespace design = rotamet::design;

namespace {

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
    design::setUpWindow(window);
    const design::Controls built = design::buildControls(window);
    auto *combo = built.get<QComboBox>("cboCodice");
    QAbstractButton *const options[] = {built.options->button(0), built.options->button(1), built.options->button(2)};

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
        design::setForeground(options[i], i == 1 ? QColor(0, 128, 0) : QColor(0, 0, 0));
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
