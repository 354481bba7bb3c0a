#include "model/blend.h"

#include "model/number_text.h"

#include <cmath>

namespace fuelix {
namespace {

void showInvalid(DisplayState &state)
{
    state.TankValueLbl = InvalidResult;
    state.PumpFullLblAlignment = Alignment::Centre;
    state.PumpFullLbl = InvalidResult;
    state.PumpValueLbl = InvalidResult;
    state.FinalOctaneLbl = InvalidResult;
}

// Every operand is finite (it passed IsNumeric or was written by NumberToText), so an
// invalid operation, a division by zero or an overflow always leaves a non-finite result.
// Testing the result is the floating-point check that no optimiser can move.
struct ArithmeticFault
{
};

double checked(double result)
{
    if (!std::isfinite(result))
        throw ArithmeticFault{};
    return result;
}

void compute(DisplayState &s)
{
    // Step by step, each intermediate result read back from the caption it was written to.
    const double tankFraction = checked(static_cast<double>(s.TankSld) / 100);
    s.TankValueLbl = NumberToText(checked(TextToNumber(s.TankCapacityTxt) * tankFraction));

    s.PumpFullLbl =
        NumberToText(checked(TextToNumber(s.TankCapacityTxt) - TextToNumber(s.TankValueLbl)));

    const double pumpFraction = checked(static_cast<double>(s.PumpSld) / 100);
    s.PumpValueLbl = NumberToText(checked(TextToNumber(s.PumpFullLbl) * pumpFraction));

    s.PumpFullLblAlignment = s.PumpFullLbl == "0" ? Alignment::Centre : Alignment::Left;

    const double pump = LeadingNumber(s.PumpValueLbl);
    const double tank = LeadingNumber(s.TankValueLbl);
    if (checked(pump + tank) == 0) {
        s.FinalOctaneLbl = NumberToText(0);
        return;
    }

    const double tankOctane = LeadingNumber(s.TankOctaneRatingTxt);
    const double pumpOctane = LeadingNumber(s.PumpOctaneRatingTxt);
    const double blend = tank / (pump + tank) * tankOctane + pump / (pump + tank) * pumpOctane;
    s.FinalOctaneLbl = NumberToText(checked(blend));
}

} // namespace

void Recalculate(DisplayState &state)
{
    // All three inputs are tested, whatever the first ones gave.
    const bool tankOctaneOk = IsNumeric(state.TankOctaneRatingTxt);
    const bool capacityOk = IsNumeric(state.TankCapacityTxt);
    const bool pumpOctaneOk = IsNumeric(state.PumpOctaneRatingTxt);
    if (!(tankOctaneOk && capacityOk && pumpOctaneOk)) {
        showInvalid(state);
        return;
    }
    try {
        compute(state);
    } catch (const ArithmeticFault &) {
        showInvalid(state);
    }
}

} // namespace fuelix
