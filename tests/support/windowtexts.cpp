#include "support/windowtexts.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace rotamet {

QStringList windowTexts(const QWidget &window)
{
    QStringList out;
    for (const QWidget *w : window.findChildren<QWidget *>()) {
        // Windows of their own (menus, dialogs, the help) are not the
        // window's texts: the menu of "stampa" is built when it first opens.
        if (w->objectName().isEmpty() || w->isWindow())
            continue;
        QString text;
        if (auto *label = qobject_cast<const QLabel *>(w))
            text = label->text();
        else if (auto *edit = qobject_cast<const QLineEdit *>(w))
            text = edit->text();
        else if (auto *button = qobject_cast<const QAbstractButton *>(w))
            text = button->text() + (button->isChecked() ? " [x]" : "");
        else if (auto *combo = qobject_cast<const QComboBox *>(w))
            text = QString("%1 (%2)").arg(combo->currentText()).arg(combo->currentIndex());
        out << w->objectName() + ": '" + text + "' tooltip '" + w->toolTip() + "'";
    }
    return out;
}

QString textDifferences(const QStringList &now, const QStringList &before)
{
    QString out;
    for (qsizetype i = 0; i < now.size() && i < before.size(); ++i)
        if (now[i] != before[i])
            out += "\n  " + now[i] + ", before " + before[i];
    if (now.size() != before.size())
        out += "\n  another set of controls";
    return out;
}

}  // namespace rotamet
