#include "window/edithistory.h"

#include <cstddef>

namespace fuelix {

namespace {

// Bounded, so that editing a pasted megabyte does not keep a gigabyte of history.
constexpr std::size_t MaxSteps = 100;
constexpr std::size_t MaxCharacters = 4'000'000;

} // namespace

EditHistory::Change::Change(EditHistory &history) : m_history(history)
{
    if (history.m_depth++ > 0 || history.m_restoring)
        return;
    std::vector<State> &undo = history.m_undo;
    undo.push_back(history.m_settled);
    history.m_redo.clear();
    std::size_t characters = 0;
    for (const State &state : undo)
        characters += state.text.size();
    std::size_t drop = 0;
    while (undo.size() - drop > MaxSteps || (undo.size() - drop > 1 && characters > MaxCharacters))
        characters -= undo[drop++].text.size();
    undo.erase(undo.begin(), undo.begin() + static_cast<std::ptrdiff_t>(drop));
}

void EditHistory::Change::settle(State now)
{
    EditHistory &h = m_history;
    if (h.m_depth > 1)
        return;
    if (!h.m_restoring && !h.m_undo.empty() && h.m_undo.back().text == now.text)
        h.m_undo.pop_back();
    h.m_settled = std::move(now);
}

std::optional<EditHistory::State> EditHistory::take(std::vector<State> &from,
                                                    std::vector<State> &to)
{
    if (from.empty())
        return std::nullopt;
    to.push_back(m_settled);
    State state = std::move(from.back());
    from.pop_back();
    return state;
}

} // namespace fuelix
