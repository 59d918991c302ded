// An entry field with the behaviour the window relies on:
// - a key hook sees each typed character (as its character code) before the
//   field takes it, and may replace it or discard it (code 0);
// - typed and pasted input is bounded by the typed-length limit, while text
//   written by code (setText) is always taken whole. QLineEdit::setMaxLength
//   would also cut text written by code, so it is not used;
// - pasted text loses its line breaks, tabs and other invisible characters,
//   as the field holds one line;
// - a click that gives the field the focus keeps what the got-focus hook
//   selected, so a hook that selects the whole text works for the mouse as
//   for the Tab key; the next click places the caret;
// - the got-focus and lost-focus hooks run when the focus moves within the
//   window (Tab, a click, a shortcut, a call from code), not when the window
//   loses or regains the activation or a popup (a context menu) opens or
//   closes: the focus stays where it was then.
#pragma once

#include <QLineEdit>
#include <functional>

namespace rotamet {

// Whether a focus event means that the focus moved within the window (Tab,
// Backtab, a click, a shortcut, a call from code). The window losing or
// regaining the activation (a box, another program) or a popup opening or
// closing (a drop-down list, a context menu) moves it nowhere: the control
// that had the focus has it again afterwards.
bool focusMovedWithinWindow(const QFocusEvent &event);

class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent = nullptr);

    void setTypedLengthLimit(int limit) { limit_ = limit; }
    int typedLengthLimit() const { return limit_; }

    // Called with the character code of a typed key; the code left in the
    // argument is what the field takes: 0 nothing, 8 Backspace, 13 Enter
    // (which a single-line field does not insert).
    std::function<void(int &)> onKeyPress;
    std::function<void()> onGotFocus;
    std::function<void()> onLostFocus;

    // Pastes the clipboard's text, unfiltered by the key hook, as far as the
    // limit allows.
    void pasteBounded();

    // Text as pasted into one line: without control characters (line breaks,
    // tabs, NUL), line and paragraph separators and invisible format marks.
    static QString pastedText(const QString &clipboard);

    // The character code a key event stands for, or -1 when it stands for
    // none (arrows, Delete, Home, function keys...).
    static int characterCode(const QKeyEvent *event);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // Inserts user input in place of the selection, cut to the room left.
    void insertBounded(QString text);
    int room() const;
    int limit_ = 0;  // 0: no limit
    // The focus came with a mouse press and the got-focus hook selected text:
    // that press, and the drag after it, leave the selection alone.
    bool keepFocusSelection_ = false;
    // The focus is here as far as the hooks know: it arrived and has not
    // moved on within the window.
    bool holdsFocus_ = false;
};

}  // namespace rotamet
