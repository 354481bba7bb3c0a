// Correctly rounded conversions between decimal digits and doubles, by exact big-integer
// arithmetic. For a C++ library without floating-point charconv (the WebAssembly build's libc++):
// there the C library's strtod and printf would do, but they work in software 128-bit long double
// and cost about 40 % of the module, where this costs a few kilobytes. Slower than charconv (a
// few microseconds a conversion), which is why the other builds keep charconv.
#pragma once

#include <string>
#include <string_view>

namespace fuelix {

// The double nearest to digits x 10^exponent, ties to even: 0 below the double range, infinity
// above it. The digits ('0' to '9') start with a non-zero one; at most 801 of them, with
// exponent at least -1200 (what number_text.cpp hands over).
double DecimalToDouble(std::string_view digits, int exponent);

// A finite, non-zero |value| rounded to `count` (1 to 17) significant digits, ties to even: the
// digits, and the decimal exponent of the first, so that value ~ d.ddd x 10^exponent.
struct RoundedDecimal
{
    std::string digits;
    int exponent = 0;
};
RoundedDecimal RoundToDigits(double value, int count);

} // namespace fuelix
