// The rules by which Fuelix reads numbers from text and writes them as text.
// Pure functions over std::string_view; no locale, no allocation beyond the returned text.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace fuelix {

// Base of the two ways TextToNumber can fail.
class NumberTextError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The text is not a number in the accepted form.
class TypeMismatchError : public NumberTextError
{
public:
    TypeMismatchError() : NumberTextError("Type mismatch") {}
};

// The text is a number, but its magnitude is beyond the double range.
class OverflowError : public NumberTextError
{
public:
    OverflowError() : NumberTextError("Overflow") {}
};

// Space, tab, CR and LF: what is set aside around a number.
constexpr bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// True when the whole text, blanks around it aside, is one number within the double range:
// [+|-] digits with at most one point (at least one digit) [E|e [+|-] digits].
bool IsNumeric(std::string_view text);

// The number that a text accepted by IsNumeric denotes. Throws TypeMismatchError for any
// other text and OverflowError for a number beyond the double range. Tiny numbers read as
// the nearest double (zero or subnormal).
double TextToNumber(std::string_view text);

// The number at the start of the text, after leading blanks; reading stops at the first
// character that cannot continue it. No number gives 0; beyond the double range gives
// +/-infinity. Never throws.
double LeadingNumber(std::string_view text);

// The display form: 15 significant digits, no trailing zeros, plain notation for decimal
// exponents -4 to 14 and "1E+15" style otherwise. Magnitudes that would round beyond the
// double range are written as the largest readable 15-digit value; non-finite gives "???".
std::string NumberToText(double value);

// The text a box holds once tidied: NumberToText(|TextToNumber(text)|), or nothing when the
// text is not numeric.
std::optional<std::string> TidyForm(std::string_view text);

// The text a box holds after the user's edit: its TidyForm, unless tidying would drop or change
// a digit, the point or the notation of what is still being written ("16.", "0.50", "05",
// "1e2", "0.00001", more than 15 significant digits); such a text keeps its digits, with only
// its sign and the blanks around it dropped. A text that is not numeric gives nothing.
std::optional<std::string> TypingForm(std::string_view text);

// A caption as shown in a box too narrow for it: the same number rounded to the most
// significant digits for which `fits` holds, written as NumberToText writes it, else in E form
// ("6E+05"), or "###" when not even one digit fits either way. A caption that fits, or is not a
// number, is returned as it is.
std::string FittedCaption(std::string_view caption,
                          const std::function<bool(std::string_view)> &fits);

} // namespace fuelix
