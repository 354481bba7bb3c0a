// FuelixFrm: the behaviour of the program's one window, whatever draws it. Its handlers keep the
// four results in step with the five inputs, tidy what is typed, reset, toggle the bevel, show
// About and quit; a front end calls them from its controls' notifications.
#pragma once

#include "window/controls.h"

#include <string_view>

namespace fuelix {

class FuelixFrm
{
public:
    // The About box's message: the version line, two carriage returns, the contact address.
    static constexpr std::string_view AboutMessage =
        "            Fuelix v1.1.1         \r\rfuelix@example.org";
    static constexpr std::string_view AboutTitle = "About";

    explicit FuelixFrm(Controls &controls) : m_controls(controls) {}

    // Change: a number being typed keeps its digits, any other number is tidied; then the
    // results are recomputed, whatever the text.
    void TankOctaneRatingTxt_Change() { change(Box::TankOctaneRatingTxt); }
    void TankCapacityTxt_Change() { change(Box::TankCapacityTxt); }
    void PumpOctaneRatingTxt_Change() { change(Box::PumpOctaneRatingTxt); }
    void change(Box box);

    // The keyboard focus left the box or Enter was pressed in it: a number gets its tidy form.
    void finishEditing(Box box);

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
    Controls &m_controls;
    long m_recalculations = 0;
};

} // namespace fuelix
