#include "window/screenreader.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QWidget>

namespace rotamet {

namespace {

const char *const kHiddenProperty = "rotametHiddenFromScreenReaders";
const char *const kWindowProperty = "rotametHidesChildrenFromScreenReaders";
const char *const kResultProperty = "rotametNamedResult";

bool isHidden(const QObject *child)
{
    auto *w = qobject_cast<const QWidget *>(child);
    return !w || w->isWindow() || w->property(kHiddenProperty).toBool();
}

// The window's accessible interface as Qt makes it, but for the children it
// leaves out.
class WindowAccessible : public QAccessibleWidget {
public:
    explicit WindowAccessible(QWidget *window) : QAccessibleWidget(window, QAccessible::Window) {}

    int childCount() const override { return int(children().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> list = children();
        if (index < 0 || index >= list.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(list.at(index));
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child)
            return -1;
        return int(children().indexOf(qobject_cast<QWidget *>(child->object())));
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (int i = childCount() - 1; i >= 0; --i) {
            QAccessibleInterface *c = child(i);
            if (c && c->isValid() && c->rect().contains(x, y))
                return c;
        }
        return nullptr;
    }

private:
    QList<QWidget *> children() const
    {
        QList<QWidget *> list;
        for (QObject *o : widget()->children()) {
            if (!isHidden(o))
                list.append(static_cast<QWidget *>(o));
        }
        return list;
    }
};

// A result label: named by its meaning, its value its text. Qt's own
// interface of a label reads the text as the name only while the label has
// no name of its own.
class ResultAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ResultAccessible(QLabel *label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return value();
        return QAccessibleWidget::text(t);
    }
    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        return s;
    }

    // QAccessibleTextInterface: the value, read-only, with no selection.
    void selection(int, int *start, int *end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return value().mid(start, end - start); }
    int characterCount() const override { return int(value().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int *start, int *end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    QString value() const { return static_cast<QLabel *>(widget())->text(); }
};

// Qt asks for each class of an object, the most derived first: answering that
// one is enough.
QAccessibleInterface *factory(const QString &className, QObject *object)
{
    auto *w = qobject_cast<QWidget *>(object);
    if (!w || className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    if (w->property(kWindowProperty).toBool())
        return new WindowAccessible(w);
    if (auto *label = qobject_cast<QLabel *>(w); label && label->property(kResultProperty).toBool())
        return new ResultAccessible(label);
    return nullptr;
}

void installFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

}  // namespace

void hideFromScreenReaders(QWidget *window, QWidget *hidden)
{
    installFactory();
    window->setProperty(kWindowProperty, true);
    hidden->setProperty(kHiddenProperty, true);
}

void nameResult(QLabel *value, const QString &meaning)
{
    installFactory();
    if (!value->property(kResultProperty).toBool()) {
        value->setProperty(kResultProperty, true);
        // A label that was given a text has an interface of Qt's own already
        // (Qt makes one for each change it announces, listened to or not):
        // it goes, and the next one asked for is the result's.
        if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(value);
            made && !dynamic_cast<ResultAccessible *>(made))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
    value->setAccessibleName(meaning);
}

}  // namespace rotamet
