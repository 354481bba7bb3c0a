// libFuzzer target: the number rules agree with each other on any input.
#include "model/blend.h"
#include "model/number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

using namespace fuelix;

static void require(bool condition)
{
    if (!condition)
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);

    bool read = true;
    double value = 0;
    try {
        value = TextToNumber(text);
    } catch (const NumberTextError &) {
        read = false;
    }
    require(IsNumeric(text) == read);

    const double leading = LeadingNumber(text); // must not throw
    if (read) {
        require(std::isfinite(value));
        require(leading == value || (std::isnan(leading) && std::isnan(value)));
        const std::string tidy = *TidyForm(text);
        require(IsNumeric(tidy));
        require(TidyForm(tidy) == tidy);
        require(NumberToText(std::fabs(value)) == tidy);
    } else {
        require(!TidyForm(text));
    }

    // Any text in any box: the recalculation never throws and never leaves a half-written state.
    DisplayState state;
    state.TankCapacityTxt = text;
    Recalculate(state);
    require((state.FinalOctaneLbl == InvalidResult) == (state.TankValueLbl == InvalidResult));
    return 0;
}
