// The program's own platform services (its real printer and print dialogs),
// with message boxes noted instead of shown, for tests that print through a
// real print server or spooler.
#pragma once

#include <QList>
#include <QString>

#include "window/qtservices.h"

namespace rotamet {

struct NotedBoxes : QtServices {
    struct Box {
        QString text, title;
    };
    QList<Box> boxes;
    void messageBox(const QString &text, const QString &title, BoxIcon) override { boxes.append({text, title}); }
};

}  // namespace rotamet
