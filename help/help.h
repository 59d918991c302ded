// F1 anywhere in the program (the main window, the pump dialog, the print
// preview, the message boxes): the "Guida di Rotamet" opens at the section
// of the control that has the focus (help/topics.h). The help window and the
// "Informazioni su Rotamet" box are built on first use; until then the
// program holds only this filter of the F1 key.
#pragma once

#include <QObject>
#include <QPointer>
#include <QUrl>

class QWidget;

namespace rotamet {

class PlatformServices;

namespace help {

class HelpWindow;

class Help : public QObject {
    Q_OBJECT
public:
    // window: the program's main window, which the help window belongs to.
    Help(PlatformServices &services, QWidget &window);
    ~Help() override;

    // Shows the help window at a section of the manual.
    void show(const QUrl &section);
    // "Informazioni su Rotamet", over the active window.
    void showAbout();
    // The help window, once F1 has built it; null before.
    HelpWindow *window() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    PlatformServices &services_;
    QWidget &main_;
    QPointer<HelpWindow> help_;
};

}  // namespace help
}  // namespace rotamet
