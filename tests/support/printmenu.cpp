#include "support/printmenu.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "support/openmenu.h"

namespace rotamet {

QMenu *openPrintMenu(QWidget &window, QPushButton &stampa, Way way)
{
    QMenu *menu = openMenu(window, [&] {
        if (way == Way::RightClickAndMouse) {
            QTest::mouseClick(window.windowHandle(), Qt::RightButton, {},
                              stampa.mapTo(&window, stampa.rect().center()));
        } else {
            stampa.setFocus(Qt::TabFocusReason);
            QTest::keyClick(window.windowHandle(), Qt::Key_F10, Qt::ShiftModifier);
        }
    });
    return menu && menu->objectName() == "mnuStampa" ? menu : nullptr;
}

bool pickFromPrintMenu(QWidget &window, QPushButton &stampa, const char *entry, Way way)
{
    QMenu *menu = openPrintMenu(window, stampa, way);
    QAction *action = window.findChild<QAction *>(entry);
    if (!menu || !action || !menu->actions().contains(action))
        return false;
    if (way == Way::RightClickAndMouse) {
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    } else {
        const QString text = action->text();
        const QChar letter = text.at(text.indexOf('&') + 1).toUpper();
        QTest::keyClick(menu, Qt::Key(letter.unicode()));
    }
    return QTest::qWaitFor([] { return !QApplication::activePopupWidget(); });
}

}  // namespace rotamet
