// One text box's undo history. Each outermost change of the box's text is one step, the user's
// edit or the program's assignment alike; the changes nested inside it (the handler's tidying)
// join that step, and a step that ends where it began (a sign tidied away) is none at all.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace fuelix {

class EditHistory
{
public:
    struct State
    {
        std::string text;
        int caret = 0; // as the front end counts it; only stored and given back
    };

    explicit EditHistory(State start) : m_settled(std::move(start)) {}

    // Lives as long as the handling of one change of the text, nested or not; the outermost
    // one settles the step with the text and caret the handling left.
    class Change
    {
    public:
        explicit Change(EditHistory &history);
        ~Change() { --m_history.m_depth; }
        Change(const Change &) = delete;
        Change &operator=(const Change &) = delete;
        void settle(State now);

    private:
        EditHistory &m_history;
    };

    // Lives as long as a restored state is being assigned.
    class Restoring
    {
    public:
        explicit Restoring(EditHistory &history) : m_history(history)
        {
            history.m_restoring = true;
        }
        ~Restoring() { m_history.m_restoring = false; }
        Restoring(const Restoring &) = delete;
        Restoring &operator=(const Restoring &) = delete;

    private:
        EditHistory &m_history;
    };
    // After a restore: the caret the restored state brought back.
    void settle(State now) { m_settled = std::move(now); }

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    // The state to restore, moving the present one to the other list; the change that restoring
    // it sets off makes no step of its own.
    std::optional<State> takeUndo() { return take(m_undo, m_redo); }
    std::optional<State> takeRedo() { return take(m_redo, m_undo); }

private:
    std::optional<State> take(std::vector<State> &from, std::vector<State> &to);

    std::vector<State> m_undo, m_redo;
    State m_settled; // the text once the last change had been handled
    int m_depth = 0;
    bool m_restoring = false;
};

} // namespace fuelix
