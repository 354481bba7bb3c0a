#include "qt/textbox.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>
#include <limits>

namespace fuelix {

TextBox::TextBox(const QString &text, QWidget *parent)
    : QLineEdit(text, parent), m_settled{text, cursorPosition()}
{
    setMaxLength(std::numeric_limits<int>::max());
    connect(this, &QLineEdit::textChanged, this, &TextBox::onTextChanged);
    connect(this, &QLineEdit::returnPressed, this, &TextBox::finished);
}

void TextBox::assign(const QString &text)
{
    if (text == this->text())
        return;
    const int fromEnd = static_cast<int>(this->text().size()) - cursorPosition();
    setText(text);
    setCursorPosition(std::max(0, static_cast<int>(text.size()) - fromEnd));
}

void TextBox::onTextChanged()
{
    // Only the outermost change of a text makes an undo step: the handler's rewriting of it,
    // nested inside, belongs to the same step.
    if (m_depth == 0 && !m_restoring) {
        m_undo.append(m_settled);
        m_redo.clear();
        // Bounded, so that editing a pasted megabyte does not keep a gigabyte of history.
        qsizetype characters = 0;
        for (const State &state : m_undo)
            characters += state.text.size();
        while (m_undo.size() > 100 || (m_undo.size() > 1 && characters > 4'000'000))
            characters -= m_undo.takeFirst().text.size();
    }
    ++m_depth;
    emit changed();
    --m_depth;
    if (m_depth > 0)
        return;
    // An edit that its tidying took back (a sign typed before a number) is no step at all.
    if (!m_restoring && !m_undo.isEmpty() && m_undo.last().text == text())
        m_undo.removeLast();
    m_settled = {text(), cursorPosition()};
}

void TextBox::restore(const State &state)
{
    m_restoring = true;
    setText(state.text); // the handler runs; a settled text needs no rewriting
    m_restoring = false;
    setCursorPosition(state.cursor);
    m_settled = {text(), cursorPosition()};
}

void TextBox::undoStep()
{
    if (m_undo.isEmpty())
        return;
    m_redo.append(m_settled);
    restore(m_undo.takeLast());
}

void TextBox::redoStep()
{
    if (m_redo.isEmpty())
        return;
    m_undo.append(m_settled);
    restore(m_redo.takeLast());
}

void TextBox::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Undo))
        return undoStep();
    if (event->matches(QKeySequence::Redo))
        return redoStep();
    QLineEdit::keyPressEvent(event);
}

void TextBox::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // The box's own context menu takes the focus only for a moment.
    if (event->reason() != Qt::PopupFocusReason)
        emit finished();
}

void TextBox::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (QAction *action : menu->actions()) {
        const bool undo = action->objectName() == QLatin1String("edit-undo");
        if (!undo && action->objectName() != QLatin1String("edit-redo"))
            continue;
        action->disconnect();
        action->setEnabled(undo ? canUndo() : canRedo());
        connect(action, &QAction::triggered, this, undo ? &TextBox::undoStep : &TextBox::redoStep);
    }
    menu->popup(event->globalPos());
}

} // namespace fuelix
