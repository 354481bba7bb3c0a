// Properties that must hold for every finite double, checked over random bit patterns.
#include "model/number_text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

using namespace fuelix;

namespace {

// x rounded to 15 significant digits, computed by another route than NumberToText's.
double roundedTo15Digits(double x)
{
    char buffer[40];
#if defined(__cpp_lib_to_chars)
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific, 14).ptr;
    double rounded = 0;
    const bool inRange = std::from_chars(buffer, end, rounded).ec == std::errc{};
#else // a library without floating-point charconv: the C library's conversions
    std::snprintf(buffer, sizeof buffer, "%.14e", x);
    const double rounded = std::strtod(buffer, nullptr);
    const bool inRange = !std::isinf(rounded);
#endif
    if (!inRange)
        return std::copysign(1.79769313486231e308, x); // rounded past the largest double
    return rounded;
}

} // namespace

TEST(RoundTrip, HoldsForAMillionRandomDoubles)
{
    std::mt19937_64 random(20261207);
    int checked = 0;
    for (int i = 0; i < 1'000'000; ++i) {
        const std::uint64_t bits = random();
        double x = 0;
        std::memcpy(&x, &bits, sizeof x);
        if (!std::isfinite(x))
            continue;
        ++checked;
        const std::string text = NumberToText(x);
        const double expected = roundedTo15Digits(x);
        ASSERT_TRUE(IsNumeric(text)) << text;
        ASSERT_EQ(TextToNumber(text), expected) << text;
        ASSERT_EQ(LeadingNumber(text), expected) << text;
        const std::string tidy = *TidyForm(text);
        ASSERT_EQ(tidy, x < 0 ? text.substr(1) : text) << text;
        ASSERT_EQ(TidyForm(tidy), tidy) << text;
    }
    EXPECT_GT(checked, 990'000);
}

TEST(RoundTrip, HoldsAtTheEdgesOfTheRange)
{
    for (double x : {0.0, -0.0, 1.0, 0.1, 1e15, 1e-5, 1e-4, 9.99999999999999e14,
                     std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
                     std::numeric_limits<double>::denorm_min(), 2.2250738585072009e-308,
                     1.797693134862315e308}) {
        for (double value : {x, -x}) {
            const std::string text = NumberToText(value);
            EXPECT_EQ(TextToNumber(text), roundedTo15Digits(value)) << text;
            EXPECT_EQ(TidyForm(TidyForm(text).value()), TidyForm(text)) << text;
        }
    }
}
