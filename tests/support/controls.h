// The window's controls as a test reaches them: the window's own list,
// found by the design names.
#pragma once

#include <QWidget>

#include "window/formcontrols.h"

namespace rotamet {

using Controls = FormControls;

// The window's control of that name; the test ends when there is none.
template <class T>
T *child(const QWidget &window, const char *name)
{
    T *found = window.findChild<T *>(name);
    if (!found)
        qFatal("no control named %s", name);
    return found;
}

}  // namespace rotamet
