#include "window/windowplacement.h"

#include <QEvent>
#include <QWidget>

namespace rotamet {

WindowPlacement::WindowPlacement(QWidget &window, std::function<QSize()> screenSize)
    : window_(window), screenSize_(std::move(screenSize))
{
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    window.installEventFilter(this);
}

QPoint WindowPlacement::placement(QSize screen, QSize outer)
{
    const float left = float(screen.width() - outer.width()) / 2.0f;
    const float top = float(screen.height() - outer.height()) / 3.0f;
    return QPoint(qRound(left), qRound(top));
}

void WindowPlacement::place() { window_.move(placement(screenSize_(), window_.frameGeometry().size())); }

void WindowPlacement::placeByFrame()
{
    if (placedByFrame_ || !window_.isVisible())
        return;
    const QSize outer = window_.frameGeometry().size();
    if (outer == window_.size())
        return;
    placedByFrame_ = true;
    window_.move(placement(screenSize_(), outer));
}

bool WindowPlacement::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &window_) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate: placeByFrame(); break;
        default: break;
        }
    }
    return false;
}

}  // namespace rotamet
