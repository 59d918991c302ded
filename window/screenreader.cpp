#include "window/screenreader.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace rotamet {

namespace {

const char *const kHiddenProperty = "rotametHiddenFromScreenReaders";
const char *const kWindowProperty = "rotametHidesChildrenFromScreenReaders";

bool isHidden(const QObject *child)
{
    auto *w = qobject_cast<const QWidget *>(child);
    return !w || w->isWindow() || w->property(kHiddenProperty).toBool();
}

// The window's accessible interface as Qt makes it, but for the children it
// leaves out.
class WindowAccessible : public QAccessibleWidget {
public:
    explicit WindowAccessible(QWidget *window) : QAccessibleWidget(window) {}

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

// Qt asks for each class of an object, the most derived first: answering that
// one is enough.
QAccessibleInterface *factory(const QString &className, QObject *object)
{
    auto *w = qobject_cast<QWidget *>(object);
    if (w && w->property(kWindowProperty).toBool() && className == QLatin1String(object->metaObject()->className()))
        return new WindowAccessible(w);
    return nullptr;
}

}  // namespace

void hideFromScreenReaders(QWidget *window, QWidget *hidden)
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
    window->setProperty(kWindowProperty, true);
    hidden->setProperty(kHiddenProperty, true);
}

}  // namespace rotamet
