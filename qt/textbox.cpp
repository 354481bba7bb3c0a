#include "qt/textbox.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>
#include <limits>

namespace fuelix {

TextBox::TextBox(const QString &text, QWidget *parent) : QLineEdit(text, parent)
{
    setMaxLength(std::numeric_limits<int>::max());
    connect(this, &QLineEdit::textChanged, this, &TextBox::changed);
    connect(this, &QLineEdit::returnPressed, this, &TextBox::finished);
}

void TextBox::assign(const QString &text)
{
    if (text == this->text())
        return;
    const int fromEnd = static_cast<int>(this->text().size()) - cursorPosition();
    setText(text);
    setCursorPosition(hasFocus() ? std::max(0, static_cast<int>(text.size()) - fromEnd) : 0);
}

void TextBox::keyPressEvent(QKeyEvent *event)
{
    // The desktop's own keys, and the ones the program promises everywhere: an X11 desktop's key
    // scheme has no Ctrl+Y.
    const QKeyCombination key = event->keyCombination();
    const auto ctrl = [&](Qt::KeyboardModifiers more, Qt::Key k) {
        return key == QKeyCombination(Qt::ControlModifier | more, k);
    };
    if (event->matches(QKeySequence::Undo) || ctrl({}, Qt::Key_Z))
        return emit undoRequested();
    if (event->matches(QKeySequence::Redo) || ctrl({}, Qt::Key_Y) ||
        ctrl(Qt::ShiftModifier, Qt::Key_Z))
        return emit redoRequested();
    // The keypad's decimal key writes the point the numbers use, whatever the keyboard layout.
    if (event->modifiers().testFlag(Qt::KeypadModifier) &&
        (event->key() == Qt::Key_Comma || event->key() == Qt::Key_Period))
        return insert(QStringLiteral("."));
    QLineEdit::keyPressEvent(event);
}

void TextBox::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // The box's own context menu takes the focus only for a moment.
    if (event->reason() == Qt::PopupFocusReason)
        return;
    emit finished();
    setCursorPosition(0); // a box not being edited shows the start of its number
}

void TextBox::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // Qt 6.4 names these actions only by their text.
    const QString undoText = QLineEdit::tr("&Undo"), redoText = QLineEdit::tr("&Redo");
    for (QAction *action : menu->actions()) {
        const bool undo = action->text().startsWith(undoText);
        if (!undo && !action->text().startsWith(redoText))
            continue;
        action->disconnect();
        action->setEnabled(undo ? canUndo() : canRedo());
        connect(action, &QAction::triggered, this,
                undo ? &TextBox::undoRequested : &TextBox::redoRequested);
    }
    menu->popup(event->globalPos());
}

} // namespace fuelix
