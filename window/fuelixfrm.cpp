#include "window/fuelixfrm.h"

#include "model/number_text.h"
#include "window/layout.h"

#include <optional>

namespace fuelix {

namespace {

// The program's assignment of a text: only a different text is assigned, so that the same one
// leaves the box, its insertion point and its selection alone.
void assign(Controls &controls, Box box, const std::string &text)
{
    if (controls.text(box) != text)
        controls.setText(box, text);
}

EditHistory::State startOf(Box box)
{
    const std::string_view text = control(BoxNames[static_cast<std::size_t>(box)]).content;
    return {std::string(text), static_cast<int>(text.size())};
}

} // namespace

FuelixFrm::FuelixFrm(Controls &controls)
    : m_controls(controls), m_history{EditHistory(startOf(Box::TankOctaneRatingTxt)),
                                      EditHistory(startOf(Box::TankCapacityTxt)),
                                      EditHistory(startOf(Box::PumpOctaneRatingTxt))}
{
}

void FuelixFrm::change(Box box)
{
    EditHistory::Change change(m_history[index(box)]);
    // The write-back, when it changes the text, runs this handler once more, nested, on a text
    // that is its own typing form; so nesting stops there.
    if (const std::optional<std::string> typed = TypingForm(m_controls.text(box)))
        assign(m_controls, box, *typed);
    Recalculate();
    change.settle({m_controls.text(box), m_controls.caret(box)});
}

void FuelixFrm::step(Box box, bool forward)
{
    EditHistory &history = m_history[index(box)];
    std::optional<EditHistory::State> state = forward ? history.takeRedo() : history.takeUndo();
    if (!state)
        return;
    {
        const EditHistory::Restoring restoring(history);
        assign(m_controls, box, state->text); // its Change recomputes the results
    }
    m_controls.setCaret(box, state->caret);
    history.settle(std::move(*state));
}

void FuelixFrm::finishEditing(Box box)
{
    if (const std::optional<std::string> tidy = TidyForm(m_controls.text(box)))
        assign(m_controls, box, *tidy);
}

void FuelixFrm::Recalculate()
{
    ++m_recalculations;
    Controls &c = m_controls;
    DisplayState s{c.text(Box::TankCapacityTxt),      c.text(Box::TankOctaneRatingTxt),
                   c.text(Box::PumpOctaneRatingTxt),  c.value(Slider::TankSld),
                   c.value(Slider::PumpSld),          c.caption(Result::TankValueLbl),
                   c.caption(Result::PumpFullLbl),    c.caption(Result::PumpValueLbl),
                   c.caption(Result::FinalOctaneLbl), c.pumpFullAlignment()};
    const DisplayState before = s;
    fuelix::Recalculate(s);
    // Only what changed is written, so an unchanged result is not repainted.
    const auto write = [&](Result label, const std::string &old, const std::string &now) {
        if (now != old)
            c.setCaption(label, now);
    };
    write(Result::TankValueLbl, before.TankValueLbl, s.TankValueLbl);
    write(Result::PumpFullLbl, before.PumpFullLbl, s.PumpFullLbl);
    write(Result::PumpValueLbl, before.PumpValueLbl, s.PumpValueLbl);
    if (s.PumpFullLblAlignment != before.PumpFullLblAlignment)
        c.setPumpFullAlignment(s.PumpFullLblAlignment);
    write(Result::FinalOctaneLbl, before.FinalOctaneLbl, s.FinalOctaneLbl);
}

void FuelixFrm::ResetCmd_Click()
{
    Controls &c = m_controls;
    c.setDrawMode(0, CopyPen);
    PicPct_Click(); // finds Ln1 dark, so raises both panels
    assign(c, Box::TankOctaneRatingTxt, "91");
    c.setFocus(Box::TankOctaneRatingTxt);
    assign(c, Box::TankCapacityTxt, "16.4");
    c.setValue(Slider::TankSld, 50);
    assign(c, Box::PumpOctaneRatingTxt, "100");
    c.setCaption(Result::PumpValueLbl, NumberToText(8.2));
    c.setValue(Slider::PumpSld, 100);
    c.setCaption(Result::PumpFullLbl, NumberToText(8.2));
    // The runs set off above saw the sliders where they stood before Reset; one more makes the
    // results match the restored inputs.
    Recalculate();
}

void FuelixFrm::AboutCmd_Click()
{
    m_controls.showMessage(AboutMessage, AboutTitle);
}

void FuelixFrm::QuitCmd_Click()
{
    m_controls.quit();
}

void FuelixFrm::PicPct_Click()
{
    // Ln1 alone decides: dark means sunken now, so raise; anything else means sink.
    const bool raise = m_controls.drawMode(0) == CopyPen;
    const int lit = raise ? Whiteness : CopyPen;
    const int shaded = raise ? CopyPen : Whiteness;
    for (int i = 0; i < 8; ++i)
        m_controls.setDrawMode(i, i % 4 < 2 ? lit : shaded); // left and top edges are lit
}

} // namespace fuelix
