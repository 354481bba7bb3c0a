// libFuzzer target: the number rules agree with each other on any input.
#include "model/blend.h"
#include "model/exact_decimal.h"
#include "model/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

using namespace fuelix;

static void require(bool condition)
{
    if (!condition)
        std::abort();
}

// The digits of a number the standard library wrote in E form, and the exponent of the last.
template <class Number> static std::pair<std::string, int> digitsOf(Number value, int count)
{
    char text[900];
    char *end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, count - 1)
            .ptr;
    char *e = std::find(text, end, 'e');
    int exponent = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), end, exponent);
    std::string digits(text + (value < 0), e);
    std::erase(digits, '.');
    return {digits, exponent - (count - 1)};
}

// The exact conversions of the WebAssembly build (exact_decimal.h) agree with the standard
// library's here: rounded to 1 to 17 digits, those 17 read back, and the point halfway to the
// next double up read as the even one of the two, and just above it as the upper one.
static void requireExactAgrees(double value)
{
    const double magnitude = std::fabs(value), next = std::nextafter(magnitude, HUGE_VAL);
    if (std::isfinite(next)) {
        const auto [digits, exponent] =
            digitsOf((magnitude + static_cast<long double>(next)) / 2, 780);
        std::uint64_t bits = 0;
        std::memcpy(&bits, &magnitude, sizeof bits);
        require(DecimalToDouble(digits, exponent) == (bits % 2 == 0 ? magnitude : next));
        require(DecimalToDouble(digits + "1", exponent - 1) == next);
    }

    for (int count = 1; count <= 17; ++count) {
        const auto [digits, exponent] = digitsOf(value, count);
        const RoundedDecimal rounded = RoundToDigits(value, count);
        require(rounded.digits == digits && rounded.exponent == exponent + count - 1);
        if (count == 17)
            require(DecimalToDouble(digits, exponent) == magnitude);
    }
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
        if (value != 0)
            requireExactAgrees(value);
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
