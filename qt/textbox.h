// A text box whose every change, the user's or the program's, is one notification, and whose
// undo history survives the program's rewriting of what the user typed.
#pragma once

#include <QLineEdit>
#include <QList>

namespace fuelix {

class TextBox : public QLineEdit
{
    Q_OBJECT

public:
    explicit TextBox(const QString &text, QWidget *parent = nullptr);

    // The program's assignment of a different text: changed() runs inside the call. The insertion
    // point keeps its distance from the end of the text. Made while the user's own change is
    // being handled, it joins that change's undo step.
    void assign(const QString &text);

    bool canUndo() const { return !m_undo.isEmpty(); }
    bool canRedo() const { return !m_redo.isEmpty(); }
    void undoStep();
    void redoStep();

signals:
    void changed();
    // The keyboard focus left the box, or Enter was pressed in it.
    void finished();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    struct State
    {
        QString text;
        int cursor;
    };
    void onTextChanged();
    void restore(const State &state);

    // QLineEdit's own history cannot take a rewrite into the user's step; this one can.
    QList<State> m_undo, m_redo;
    State m_settled; // the text once the last change has been handled
    int m_depth = 0; // changes being handled, nested
    bool m_restoring = false;
};

} // namespace fuelix
