// Recalculate turns the calculator's inputs into its four result captions, in place.
// It knows nothing of windows or controls: a front end copies its controls into a
// DisplayState, runs Recalculate and shows the captions it wrote.
#pragma once

#include <string>

namespace fuelix {

enum class Alignment
{
    Left,
    Right,
    Centre
};

// Everything Recalculate reads and writes, named after the controls that hold it. The
// defaults are the window's design-time contents, which are already one run's results.
struct DisplayState
{
    std::string TankCapacityTxt = "16.4";
    std::string TankOctaneRatingTxt = "91";
    std::string PumpOctaneRatingTxt = "100";
    int TankSld = 50;
    int PumpSld = 100;
    std::string TankValueLbl = "8.2";
    std::string PumpFullLbl = "8.2";
    std::string PumpValueLbl = "8.2";
    std::string FinalOctaneLbl = "95.5";
    Alignment PumpFullLblAlignment = Alignment::Left;

    bool operator==(const DisplayState &) const = default;
};

// The caption shown for every result when an input is not a number.
inline constexpr const char *InvalidResult = "???";

// Recomputes the four captions and the free-space alignment from the three texts and the two
// slider positions. Intermediate results are read back from the captions just written, so
// later steps use the rounded values the user sees. Invalid input and arithmetic faults
// both show as "???" in every result; it never throws.
void Recalculate(DisplayState &state);

} // namespace fuelix
