// "Informazioni su Rotamet": the version record and the build's version,
// the licence, the Qt version, and the full path of the user's pump file
// with a button that shows its folder in the system's file manager
// (PlatformServices::openFolder).
#pragma once

#include <QDialog>

namespace rotamet {

class PlatformServices;

namespace help {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    AboutBox(PlatformServices &services, QWidget *parent);

    // The texts shown, as one line each (for the tests and screen readers).
    static QString versionText();
    static QString qtText();
};

}  // namespace help
}  // namespace rotamet
