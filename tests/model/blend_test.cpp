#include "model/blend.h"

#include <gtest/gtest.h>

using namespace fuelix;

namespace {

struct Results
{
    const char *tank, *free, *pump, *final;
    Alignment freeAlignment;
};

DisplayState run(DisplayState state)
{
    Recalculate(state);
    return state;
}

void expectResults(const DisplayState &s, const Results &r)
{
    EXPECT_EQ(s.TankValueLbl, r.tank);
    EXPECT_EQ(s.PumpFullLbl, r.free);
    EXPECT_EQ(s.PumpValueLbl, r.pump);
    EXPECT_EQ(s.FinalOctaneLbl, r.final);
    EXPECT_EQ(s.PumpFullLblAlignment, r.freeAlignment);
}

const Results Invalid{"???", "???", "???", "???", Alignment::Centre};

DisplayState with(int tankSld, int pumpSld, const char *capacity = "16.4")
{
    DisplayState s;
    s.TankSld = tankSld;
    s.PumpSld = pumpSld;
    s.TankCapacityTxt = capacity;
    return s;
}

} // namespace

TEST(Recalculate, CentresTheFreeSpaceOnlyWhenItIsExactlyZero)
{
    expectResults(run(with(100, 37)), {"16.4", "0", "0", "91", Alignment::Centre});
    expectResults(run(with(0, 0)), {"0", "16.4", "0", "0", Alignment::Left});
    expectResults(run(with(100, 100, "0.0000001")), {"1E-07", "0", "0", "91", Alignment::Centre});
    expectResults(run(with(50, 100, "0.0000002")),
                  {"1E-07", "1E-07", "1E-07", "95.5", Alignment::Left});
    expectResults(run(with(50, 100, "0.0002")),
                  {"0.0001", "0.0001", "0.0001", "95.5", Alignment::Left});

    // A run after an invalid one sets the alignment back.
    DisplayState s = with(50, 100, "abc");
    Recalculate(s);
    EXPECT_EQ(s.PumpFullLblAlignment, Alignment::Centre);
    s.TankCapacityTxt = "16.4";
    Recalculate(s);
    EXPECT_EQ(s.PumpFullLblAlignment, Alignment::Left);
}

TEST(Recalculate, ZeroTotalGivesZero)
{
    expectResults(run(with(50, 100, "0")), {"0", "0", "0", "0", Alignment::Centre});
    expectResults(run(with(0, 0, "5")), {"0", "5", "0", "0", Alignment::Left});
}

TEST(Recalculate, ShowsUnknownForAnyInvalidInput)
{
    for (const char *bad : {"", "abc", ".", "1e", "12abc", "1e999", "???"})
        for (auto input : {&DisplayState::TankCapacityTxt, &DisplayState::TankOctaneRatingTxt,
                           &DisplayState::PumpOctaneRatingTxt}) {
            DisplayState before = with(30, 60);
            before.*input = bad;
            DisplayState invalid = before; // the inputs stay as they are
            invalid.TankValueLbl = invalid.PumpFullLbl = invalid.PumpValueLbl = "???";
            invalid.FinalOctaneLbl = "???";
            invalid.PumpFullLblAlignment = Alignment::Centre;
            EXPECT_EQ(run(before), invalid) << bad;
        }
}

TEST(Recalculate, ReadsTextsStrictlyAndOctanesLeniently)
{
    // Untidy but numeric inputs are read in full; the octane texts go through the lenient reader.
    DisplayState s = with(50, 100, " 16.40 ");
    s.TankOctaneRatingTxt = "+9.1e1";
    s.PumpOctaneRatingTxt = "100.";
    expectResults(run(s), {"8.2", "8.2", "8.2", "95.5", Alignment::Left});

    s = with(50, 100, "-16.4");
    expectResults(run(s), {"-8.2", "-8.2", "-8.2", "95.5", Alignment::Left});
}

TEST(Recalculate, ShowsArithmeticFaultsAsInvalidInput)
{
    // 0.01 x max + 0.99 x max overflows in the blend.
    DisplayState blend = with(1, 100, "3");
    blend.TankOctaneRatingTxt = "1.7976931348623157E+308";
    blend.PumpOctaneRatingTxt = "1.7976931348623157E+308";
    expectResults(run(blend), Invalid);

    // Capacity times an out-of-range slider position overflows in the tank volume.
    expectResults(run(with(200, 100, "1.5e308")), Invalid);

    // Capacity minus a negative tank volume overflows in the free space.
    expectResults(run(with(-100, 100, "1.5e308")), Invalid);

    // Huge but finite values still compute.
    DisplayState big = with(50, 100, "1E+300");
    big.TankOctaneRatingTxt = "1E+300";
    expectResults(run(big), {"5E+299", "5E+299", "5E+299", "5E+299", Alignment::Left});
}
