// A text box whose every change, the user's or the program's, is one notification. Its undo
// history is the window core's: Undo and Redo, by key or menu, are forwarded to it.
#pragma once

#include <QLineEdit>

#include <functional>

namespace fuelix {

class TextBox : public QLineEdit
{
    Q_OBJECT

public:
    explicit TextBox(const QString &text, QWidget *parent = nullptr);

    // The program's assignment of a different text: changed() runs inside the call. In a box
    // being edited the insertion point keeps its distance from the end of the text; any other
    // box shows the start of its text.
    void assign(const QString &text);

    // Whether the history has a step to take back or to do again, for the context menu.
    std::function<bool()> canUndo = [] { return false; }, canRedo = [] { return false; };

signals:
    void changed();
    // The keyboard focus left the box, or Enter was pressed in it.
    void finished();
    void undoRequested();
    void redoRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
};

} // namespace fuelix
