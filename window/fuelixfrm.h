// FuelixFrm: the behaviour of the program's one window, whatever draws it. Its handlers keep the
// four results in step with the five inputs, tidy what is typed, reset, toggle the bevel, show
// About and quit; a front end calls them from its controls' notifications.
#pragma once

#include "window/controls.h"
#include "window/edithistory.h"

#include <array>
#include <string_view>

namespace fuelix {

class FuelixFrm
{
public:
    // The About box's message: the version line, two carriage returns, the contact address.
    static constexpr std::string_view AboutMessage =
        "            Fuelix v1.1.1         \r\rfuelix@example.org";
    static constexpr std::string_view AboutTitle = "About";

    explicit FuelixFrm(Controls &controls);

    // Change: a number being typed keeps its digits, any other number is tidied; then the
    // results are recomputed, whatever the text.
    void TankOctaneRatingTxt_Change() { change(Box::TankOctaneRatingTxt); }
    void TankCapacityTxt_Change() { change(Box::TankCapacityTxt); }
    void PumpOctaneRatingTxt_Change() { change(Box::PumpOctaneRatingTxt); }
    void change(Box box);

    // The keyboard focus left the box or Enter was pressed in it: a number gets its tidy form.
    void finishEditing(Box box);

    // The user's Undo and Redo (keys, menus, messages): each edit with its tidying is one step,
    // and the results follow the restored text.
    void undo(Box box) { step(box, false); }
    void redo(Box box) { step(box, true); }
    bool canUndo(Box box) const { return m_history[index(box)].canUndo(); }
    bool canRedo(Box box) const { return m_history[index(box)].canRedo(); }

    void TankSld_Scroll() { Recalculate(); }
    void PumpSld_Scroll() { Recalculate(); }

    void ResetCmd_Click();
    void AboutCmd_Click();
    void QuitCmd_Click();
    void PicPct_Click();

    void Recalculate();
    // How often Recalculate has run: what the tests count a handler's work by.
    long recalculations() const { return m_recalculations; }

private:
    static std::size_t index(Box box) { return static_cast<std::size_t>(box); }
    void step(Box box, bool forward);

    Controls &m_controls;
    std::array<EditHistory, 3> m_history;
    long m_recalculations = 0;
};

} // namespace fuelix
