#include "support/openmenu.h"

#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QTest>

namespace rotamet {

QMenu *openMenu(QWidget &window, const std::function<void()> &open)
{
    // Only X has been seen closing a popup that way; elsewhere one try.
    const bool xcb = QGuiApplication::platformName() == QLatin1String("xcb");
    for (int attempt = 0; attempt < (xcb ? 3 : 1); ++attempt) {
        if (attempt > 0 && !QTest::qWaitForWindowActive(&window, kWindowSystemWait))
            break;
        open();
        QPointer<QMenu> menu;
        if (!QTest::qWaitFor([&] { return (menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())); }))
            continue;
        if (xcb)  // well past the platform's 100 ms
            QTest::qWait(300);
        if (menu && menu->isVisible() && QApplication::activePopupWidget() == menu)
            return menu;
    }
    return nullptr;
}

}  // namespace rotamet
