// Where the window goes and what its frame offers. The window has a fixed
// size, so its frame offers no maximise button. It is placed centred, with
// one third of the free height above it: first by its client area, since
// its frame is unknown until it is shown, then once more by its outer size
// as soon as a window manager has framed it. Only that first frame counts:
// the user may move the window afterwards.
#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>
#include <functional>

class QWidget;

namespace rotamet {

class WindowPlacement : public QObject {
public:
    // screenSize: the whole screen, in pixels, asked when the window is placed.
    WindowPlacement(QWidget &window, std::function<QSize()> screenSize);

    // Where the window's outer frame goes on a screen of that size.
    static QPoint placement(QSize screen, QSize outer);

    // Places the window by what is known of its frame now.
    void place();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeByFrame();

    QWidget &window_;
    std::function<QSize()> screenSize_;
    bool placedByFrame_ = false;
};

}  // namespace rotamet
