// What the window's behaviour needs from a front end: the properties of the controls it reads
// and writes, and three services of the platform. Every front end (and the tests' fake) is one
// implementation of this interface; FuelixFrm is its only caller.
#pragma once

#include "model/blend.h"

#include <array>
#include <string>
#include <string_view>

namespace fuelix {

enum class Box
{
    TankOctaneRatingTxt,
    TankCapacityTxt,
    PumpOctaneRatingTxt
};

enum class Slider
{
    TankSld,
    PumpSld
};

enum class Result
{
    TankValueLbl,
    PumpFullLbl,
    PumpValueLbl,
    FinalOctaneLbl
};

// The controls' names, in the order of the enumerations above.
inline constexpr std::array<std::string_view, 3> BoxNames{"TankOctaneRatingTxt", "TankCapacityTxt",
                                                          "PumpOctaneRatingTxt"};
inline constexpr std::array<std::string_view, 2> SliderNames{"TankSld", "PumpSld"};
inline constexpr std::array<std::string_view, 4> ResultNames{"TankValueLbl", "PumpFullLbl",
                                                             "PumpValueLbl", "FinalOctaneLbl"};

// The notification model, which the handlers rely on:
// 1. A text box raises Change on every change of its text, by the user or by setText.
// 2. setText with a different text raises Change synchronously: the handler has run to its end
//    when setText returns. (The only re-entry: a Change handler's own write-back.)
// 3. setText with the text the box already holds changes nothing, not even the insertion point
//    or the selection, and raises nothing.
// 4. A slider raises Scroll for every move by the user, with value() already at the new place.
// 5. setValue raises nothing.
// 6. setCaption, setPumpFullAlignment and setDrawMode raise nothing; what they write is on the
//    screen without any further call.
// Front ends also report when the keyboard focus leaves a box or Enter is pressed in it, and
// forward the user's Undo and Redo of a box, which the core keeps the history for.
class Controls
{
public:
    virtual std::string text(Box box) const = 0;
    virtual void setText(Box box, std::string_view text) = 0;
    // The insertion point, counted as the front end counts it: the core only keeps and restores
    // it. Setting it scrolls the box so that it is in view and raises nothing.
    virtual int caret(Box box) const = 0;
    virtual void setCaret(Box box, int caret) = 0;

    virtual int value(Slider slider) const = 0;
    virtual void setValue(Slider slider, int value) = 0;

    virtual std::string caption(Result label) const = 0;
    virtual void setCaption(Result label, std::string_view caption) = 0;
    virtual Alignment pumpFullAlignment() const = 0;
    virtual void setPumpFullAlignment(Alignment alignment) = 0;

    // Ln1 to Ln8 by index 0 to 7; the mode is CopyPen (13) or Whiteness (16).
    virtual int drawMode(int line) const = 0;
    virtual void setDrawMode(int line, int mode) = 0;

    // Gives the box the keyboard focus with its whole text selected, as Tab leaves it, so that
    // what the user types next replaces it. Front ends give the first box the focus the same way
    // at start-up.
    virtual void setFocus(Box box) = 0;
    // A modal box with one OK button and no icon; returns when the user has closed it.
    // Carriage returns in the message break its lines.
    virtual void showMessage(std::string_view message, std::string_view title) = 0;
    // Ends the program at once: no further notification is handled.
    virtual void quit() = 0;

protected:
    ~Controls() = default;
};

} // namespace fuelix
