#include "window/textbox.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>

namespace rotamet {

TextBox::TextBox(QWidget *parent) : QLineEdit(parent)
{
    // Dropped text would bypass the key hook and the limit.
    setAcceptDrops(false);
}

int TextBox::characterCode(const QKeyEvent *event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (key == Qt::Key_Backspace)
        return 8;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return 13;
    if (key == Qt::Key_Escape)
        return 27;
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier)) {
        // Ctrl with a letter types a control character (Ctrl+V is 22).
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return key - Qt::Key_A + 1;
        return -1;
    }
    const QString text = event->text();
    if (text.isEmpty())
        return -1;
    const char16_t c = text.at(0).unicode();
    if (c < 32 || c == 127)
        return -1;
    return c;
}

int TextBox::room() const
{
    if (limit_ <= 0)
        return INT_MAX;
    return limit_ - (int(text().size()) - int(selectedText().size()));
}

void TextBox::insertBounded(QString input)
{
    const int left = room();
    if (left <= 0 && !input.isEmpty())
        return;
    if (input.size() > left) {
        input.truncate(left);
        // Never split a surrogate pair.
        if (!input.isEmpty() && input.back().isHighSurrogate())
            input.chop(1);
    }
    insert(input);
}

QString TextBox::pastedText(const QString &clipboard)
{
    QString out;
    out.reserve(clipboard.size());
    for (qsizetype i = 0; i < clipboard.size(); ++i) {
        const QChar c = clipboard.at(i);
        if (c.isHighSurrogate() && i + 1 < clipboard.size() && clipboard.at(i + 1).isLowSurrogate()) {
            const char32_t code = QChar::surrogateToUcs4(c, clipboard.at(i + 1));
            if (QChar::category(code) != QChar::Other_Format)
                out.append(c).append(clipboard.at(i + 1));
            ++i;
            continue;
        }
        switch (c.category()) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
        case QChar::Other_Surrogate:  // a half without its other half
            break;
        default: out.append(c);
        }
    }
    return out;
}

void TextBox::pasteBounded()
{
    if (isReadOnly())
        return;
    insertBounded(pastedText(QGuiApplication::clipboard()->text()));
}

void TextBox::keyPressEvent(QKeyEvent *event)
{
    if (!onKeyPress) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const int first = characterCode(event);
    if (first < 0) {
        if (event->matches(QKeySequence::Paste)) {  // Shift+Insert
            pasteBounded();
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    // A key normally types one character; a dead key or compose sequence may
    // type several, and each goes through the hook. A Ctrl+letter key types
    // its control character alone.
    QList<int> codes{first};
    const QString text = event->text();
    if (!text.isEmpty() && text.at(0).unicode() == first) {
        for (qsizetype i = 1; i < text.size(); ++i)
            codes.append(text.at(i).unicode());
    }
    for (int code : codes) {
        onKeyPress(code);
        if (code == 0 || code == 13)
            continue;
        if (code == 8) {
            QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
            QLineEdit::keyPressEvent(&backspace);
            continue;
        }
        if (code < 32 || code > 0xFFFF)
            continue;
        insertBounded(QString(QChar(char16_t(code))));
    }
}

void TextBox::inputMethodEvent(QInputMethodEvent *event)
{
    if (!onKeyPress || event->commitString().isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QString taken;
    for (QChar ch : event->commitString()) {
        int code = ch.unicode();
        onKeyPress(code);
        if (code >= 32 && code <= 0xFFFF)
            taken += QChar(char16_t(code));
    }
    const int left = room();
    if (taken.size() > left)
        taken.truncate(std::max(left, 0));
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(taken, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
}

namespace {
// The standard menu's paste action. Qt names its actions only in some
// versions, so the action is also known by its (translated) text.
bool isPasteAction(const QAction *action)
{
    if (action->objectName() == QLatin1String("edit-paste"))
        return true;
    const QString text = action->text().section(QLatin1Char('\t'), 0, 0);
    return !text.isEmpty() && text == QLineEdit::tr("&Paste");
}
}  // namespace

void TextBox::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    for (QAction *action : menu->actions()) {
        if (isPasteAction(action)) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, &TextBox::pasteBounded);
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TextBox::mousePressEvent(QMouseEvent *event)
{
    if (keepFocusSelection_ && event->button() == Qt::LeftButton) {
        event->accept();
        return;
    }
    keepFocusSelection_ = false;
    QLineEdit::mousePressEvent(event);
}

void TextBox::mouseMoveEvent(QMouseEvent *event)
{
    if (keepFocusSelection_) {
        event->accept();
        return;
    }
    QLineEdit::mouseMoveEvent(event);
}

void TextBox::mouseReleaseEvent(QMouseEvent *event)
{
    keepFocusSelection_ = false;
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        if (!isReadOnly()) {
            deselect();
            insertBounded(pastedText(QGuiApplication::clipboard()->text(QClipboard::Selection)));
        }
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

bool focusMovedWithinWindow(const QFocusEvent &event)
{
    return event.reason() != Qt::ActiveWindowFocusReason && event.reason() != Qt::PopupFocusReason;
}

void TextBox::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (!focusMovedWithinWindow(*event) && holdsFocus_)
        return;
    holdsFocus_ = true;
    if (onGotFocus) {
        onGotFocus();
        // The press that gave the focus arrives next and would place the caret.
        keepFocusSelection_ = event->reason() == Qt::MouseFocusReason && hasSelectedText();
    }
}

void TextBox::focusOutEvent(QFocusEvent *event)
{
    keepFocusSelection_ = false;
    QLineEdit::focusOutEvent(event);
    if (!focusMovedWithinWindow(*event))
        return;
    holdsFocus_ = false;
    if (onLostFocus)
        onLostFocus();
}

}  // namespace rotamet
