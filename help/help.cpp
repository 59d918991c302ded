#include "help/help.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "help/aboutbox.h"
#include "help/helpwindow.h"
#include "help/topics.h"

namespace rotamet::help {

Help::Help(PlatformServices &services, QWidget &window) : services_(services), main_(window)
{
    // On the application: F1 reaches whichever of the program's windows has
    // the focus, message boxes included.
    QCoreApplication::instance()->installEventFilter(this);
}

Help::~Help()
{
    QCoreApplication::instance()->removeEventFilter(this);
    delete help_.data();
}

bool Help::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_F1 || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget)
        return false;
    // F1 inside the help itself stays there.
    if (help_ && widget->window() == help_.data())
        return true;
    // The key comes first to the widget that has the focus.
    show(topicFor(widget));
    return true;
}

void Help::show(const QUrl &section)
{
    if (!help_) {
        help_ = new HelpWindow(&main_);
        connect(help_, &HelpWindow::aboutAsked, this, &Help::showAbout);
    }
    help_->showAt(section);
}

HelpWindow *Help::window() const { return help_; }

void Help::showAbout()
{
    QWidget *over = QApplication::activeWindow() ? QApplication::activeWindow() : &main_;
    AboutBox box(services_, over);
    box.exec();
}

}  // namespace rotamet::help
