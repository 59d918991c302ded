"""What a screen reader reads of Rotamet, through AT-SPI: the result labels of
the window by their meaning and value, and the help window that F1 opens.
Started by run-screen-reader.sh with the program running on its display."""
import subprocess
import sys
import time

import pyatspi

failures = []


def check(condition, what):
    print(("ok     " if condition else "FAIL   ") + what)
    if not condition:
        failures.append(what)


def text_of(node):
    try:
        t = node.queryText()
        return t.getText(0, t.characterCount)
    except NotImplementedError:
        return ""


def nodes(node):
    yield node
    for child in node:
        if child is not None:
            yield from nodes(child)


def program(timeout=30):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        for app in pyatspi.Registry.getDesktop(0):
            # The only program on this private bus.
            if app is not None and app.childCount > 0:
                return app
        time.sleep(0.2)
    sys.exit("FAIL   the program never showed up on the accessibility bus")


def wait_for(find, timeout=20):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    return None


def help_window(app):
    for child in app:
        if child is not None and child.name == "Guida di Rotamet" and showing(child):
            return child
    return None


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def active(node):
    return node.getState().contains(pyatspi.STATE_ACTIVE)


app = program()
windows = [c for c in app if c is not None and showing(c)]
check([(w.getRoleName(), w.name.split(" - ")[0]) for w in windows] == [("frame", "Rotamet")],
      f"one window, a frame named by its title (got {[(w.getRoleName(), w.name) for w in windows]})")
labels = {}
for n in nodes(app):
    if n.getRoleName() == "label" and text_of(n):
        labels[n.name] = text_of(n)

# Each result is named by the caption beside it and reads its value.
for name, value in [
    ("Giri al secondo", "16,67"),
    ("Secondi per 1 giro", "0,060"),
    ("Dimensioni albero mm, minima", "37,35"),
    ("Dimensioni albero mm, massima", "46,95"),
    ("Tempo di salita [90°]", "ms 15,00"),
    ("Angolo di comando, millimetri", "mm 0,305"),
    ("Millisecondi di comando elettr., angolo", "6,0°"),
    ("Millimetri di corsa pompante, millisecondi", "ms 1,53"),
]:
    check(labels.get(name) == value, f"result {name!r} reads {value!r} (got {labels.get(name)!r})")
check(not any(name == value for name, value in labels.items()), "no result is named by its value alone")

# F1 on the speed field (it has the focus at start) opens the help there,
# once the window manager has given the window the activation.
check(wait_for(lambda: True if active(windows[0]) else None) is True, "the window is active")
subprocess.run(["xdotool", "key", "F1"], check=True)
window = wait_for(lambda: help_window(app))
check(window is not None, "F1 opens a window named 'Guida di Rotamet'")
if window is not None:
    texts = [n for n in nodes(window) if n.name == "Testo della guida"]
    page = text_of(texts[0]) if texts else ""
    check("Giri al minuto" in page and "Alzate per giro" in page,
          "the help's text reads the section on the speed, and the names of the sections it links")
    contents = [n.name for n in nodes(window) if n.getRoleName() == "table cell"]
    check("Giri al minuto" in contents and "I messaggi e cosa fare" in contents,
          "the table of contents reads its entries")
    check(any(n.name == "Cerca nella guida" for n in nodes(window)), "the search field is named")
    check(wait_for(lambda: True if active(window) else None) is True, "the help window is active")
    subprocess.run(["xdotool", "key", "Escape"], check=True)
    check(wait_for(lambda: None if help_window(app) else True) is True, "Esc closes the help window")

sys.exit(1 if failures else 0)
