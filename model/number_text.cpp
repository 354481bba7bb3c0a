#include "model/number_text.h"

#include "model/exact_decimal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace fuelix {
namespace {

constexpr bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The pieces of one number as written: [sign] digits [. digits] [E [sign] digits].
struct NumberForm
{
    bool negative = false;
    bool point = false;
    std::string_view intDigits;
    std::string_view fracDigits;
    bool expNegative = false;
    std::string_view expDigits;
    std::size_t length = 0; // characters the number takes up
};

std::size_t skipDigits(std::string_view text, std::size_t i)
{
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

// Reads the longest number at the very start of text; nothing when it holds no digit.
// An "E" not followed by exponent digits is not part of the number.
std::optional<NumberForm> scanNumber(std::string_view text)
{
    NumberForm form;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        form.negative = text[i] == '-';
        ++i;
    }
    std::size_t start = i;
    i = skipDigits(text, i);
    form.intDigits = text.substr(start, i - start);
    if (i < text.size() && text[i] == '.') {
        form.point = true;
        start = ++i;
        i = skipDigits(text, i);
        form.fracDigits = text.substr(start, i - start);
    }
    if (form.intDigits.empty() && form.fracDigits.empty())
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negative = text[j] == '-';
            ++j;
        }
        const std::size_t end = skipDigits(text, j);
        if (end > j) {
            form.expNegative = negative;
            form.expDigits = text.substr(j, end - j);
            i = end;
        }
    }
    form.length = i;
    return form;
}

// The library's conversions of doubles, in three small helpers. A C++ library without
// floating-point charconv (libc++ as the WebAssembly build has it) goes through exact_decimal.h
// instead: the same correctly rounded texts and values, to the bit.
#if defined(__cpp_lib_to_chars)

// A short plain number "DDDeN"; nothing when it lies beyond the double range at either end.
std::optional<double> readShort(char *first, char *last)
{
    double value = 0;
    if (std::from_chars(first, last, value).ec == std::errc::result_out_of_range)
        return std::nullopt;
    return value;
}

// The value rounded to 15 significant digits, as printf's "%.15g" writes it.
std::string general15(double value)
{
    char buffer[32];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15).ptr;
    return {buffer, end};
}

// The value rounded to `digits` significant digits, written "d.ddde+XX" by the library.
std::string scientific(double value, int digits)
{
    char buffer[40];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value,
                                   std::chars_format::scientific, digits - 1)
                         .ptr;
    return {buffer, end};
}

#else

std::optional<double> readShort(char *first, char *last)
{
    const bool negative = *first == '-';
    first += negative ? 1 : 0;
    char *const e = std::find(first, last, 'e');
    int exponent = 0;
    std::from_chars(e + 1, last, exponent);
    const double value = DecimalToDouble({first, static_cast<std::size_t>(e - first)}, exponent);
    if (std::isinf(value))
        return std::nullopt; // only overflow; below the range is zero, as it should be
    return negative ? -value : value;
}

// "d.ddde+XX" as printf writes it: at least two exponent digits.
std::string exponentForm(bool negative, std::string_view digits, int exponent)
{
    std::string text = negative ? "-" : "";
    text += digits.front();
    if (digits.size() > 1)
        text.append(".").append(digits.substr(1));
    text += exponent < 0 ? "e-" : "e+";
    if (std::abs(exponent) < 10)
        text += '0';
    return text + std::to_string(std::abs(exponent));
}

std::string general15(double value) // never zero
{
    auto [digits, exponent] = RoundToDigits(value, 15);
    digits.erase(digits.find_last_not_of('0') + 1);
    if (exponent < -4 || exponent >= 15)
        return exponentForm(value < 0, digits, exponent);
    std::string text = value < 0 ? "-" : "";
    if (exponent < 0)
        return text + "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    const auto whole = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= whole)
        return text + digits + std::string(whole - digits.size(), '0');
    return text + digits.substr(0, whole) + "." + digits.substr(whole);
}

std::string scientific(double value, int digits)
{
    if (value == 0)
        return exponentForm(std::signbit(value), std::string(static_cast<std::size_t>(digits), '0'),
                            0);
    const RoundedDecimal rounded = RoundToDigits(value, digits);
    return exponentForm(value < 0, rounded.digits, rounded.exponent);
}

#endif

// Far beyond any double exponent; keeps the exponent arithmetic exact in 64 bits however
// many digits were typed.
constexpr std::int64_t ExponentCap = 1'000'000'000'000;

std::int64_t exponentOf(const NumberForm &form)
{
    std::int64_t exponent = 0;
    for (char c : form.expDigits) {
        exponent = std::min(exponent * 10 + (c - '0'), ExponentCap);
    }
    return form.expNegative ? -exponent : exponent;
}

// A scanned number reduced to its significant digits: 0.<head><tail> x 10^scientific.
struct Decimal
{
    bool negative = false;
    bool zero = false;
    std::string_view head; // significant digits from the first non-zero one ...
    std::string_view tail; // ... continued after the point
    std::int64_t scientific = 0;
};

Decimal decimalOf(const NumberForm &form)
{
    Decimal d;
    d.negative = form.negative;
    std::int64_t pointPos; // how many significant digits stand before the point
    if (const auto nz = form.intDigits.find_first_not_of('0'); nz != std::string_view::npos) {
        d.head = form.intDigits.substr(nz);
        d.tail = form.fracDigits;
        pointPos = static_cast<std::int64_t>(d.head.size());
    } else {
        const auto fz = form.fracDigits.find_first_not_of('0');
        if (fz == std::string_view::npos) {
            d.zero = true;
            return d;
        }
        d.head = form.fracDigits.substr(fz);
        pointPos = -static_cast<std::int64_t>(fz);
    }
    // Trailing zeros change nothing; dropping them keeps the digit budget for digits that count.
    d.tail = d.tail.substr(0, d.tail.find_last_not_of('0') + 1);
    if (d.tail.empty())
        d.head = d.head.substr(0, d.head.find_last_not_of('0') + 1);
    d.scientific = pointPos + exponentOf(form);
    return d;
}

// Below 10^308 nothing overflows and only the largest exponent needs a full conversion.
constexpr std::int64_t LastExponentInRange = 308;
// Below 10^-325 every number rounds to zero.
constexpr std::int64_t FirstExponentAboveZero = -324;

struct Converted
{
    double value = 0;
    bool overflow = false;
};

// Exact decimal-to-double conversion, in time linear in the text's length. The significant
// digits are rewritten as "DDDeN" so that the library routine sees a short, plain text
// whatever was typed (leading zeros, a megabyte of digits, a huge exponent).
Converted convert(const Decimal &d)
{
    const double zero = d.negative ? -0.0 : 0.0;
    const Converted overflow{d.negative ? -HUGE_VAL : HUGE_VAL, true};
    if (d.zero || d.scientific < FirstExponentAboveZero)
        return {zero, false};
    if (d.scientific > LastExponentInRange + 1)
        return overflow;

    // 800 digits decide the rounding of any double; a sticky 1 stands for the rest.
    constexpr std::size_t MaxDigits = 800;
    char buffer[MaxDigits + 32];
    char *out = buffer;
    if (d.negative)
        *out++ = '-';
    std::size_t kept = 0;
    for (std::string_view part : {d.head, d.tail}) {
        const std::size_t take = std::min(part.size(), MaxDigits - kept);
        out = std::copy_n(part.data(), take, out);
        kept += take;
    }
    if (kept < d.head.size() + d.tail.size()) {
        *out++ = '1';
        ++kept;
    }
    *out++ = 'e';
    out = std::to_chars(out, buffer + sizeof buffer, d.scientific - static_cast<std::int64_t>(kept))
              .ptr;

    const std::optional<double> value = readShort(buffer, out);
    if (!value) {
        // The routine reports both ends of the range alike; the exponent tells them apart.
        return d.scientific > 0 ? overflow : Converted{zero, false};
    }
    return {*value, false};
}

Converted convert(const NumberForm &form)
{
    return convert(decimalOf(form));
}

std::string_view trimBlanks(std::string_view text)
{
    const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
    const auto last =
        std::find_if_not(text.rbegin(), std::string_view::reverse_iterator(first), IsBlank).base();
    return text.substr(static_cast<std::size_t>(first - text.begin()),
                       static_cast<std::size_t>(last - first));
}

// The number that fills the whole text, blanks around it aside.
std::optional<NumberForm> scanWhole(std::string_view text)
{
    const std::string_view trimmed = trimBlanks(text);
    auto form = scanNumber(trimmed);
    if (!form || form->length != trimmed.size())
        return std::nullopt;
    return form;
}

} // namespace

bool IsNumeric(std::string_view text)
{
    const auto form = scanWhole(text);
    if (!form)
        return false;
    const Decimal d = decimalOf(*form);
    return d.zero || d.scientific <= LastExponentInRange || !convert(d).overflow;
}

double TextToNumber(std::string_view text)
{
    const auto form = scanWhole(text);
    if (!form)
        throw TypeMismatchError();
    const Converted converted = convert(*form);
    if (converted.overflow)
        throw OverflowError();
    return converted.value;
}

double LeadingNumber(std::string_view text)
{
    text.remove_prefix(std::min(text.find_first_not_of(" \t\r\n"), text.size()));
    const auto form = scanNumber(text);
    return form ? convert(*form).value : 0.0;
}

std::string NumberToText(double value)
{
    if (!std::isfinite(value))
        return "???";
    // The largest doubles round up to 1.79769313486232E+308, which no longer reads back.
    constexpr double LargestReadable = 1.79769313486231e308;
    if (std::fabs(value) > LargestReadable)
        return value < 0 ? "-1.79769313486231E+308" : "1.79769313486231E+308";
    if (value == 0)
        return "0"; // also for negative zero
    std::string text = general15(value);
    if (const auto e = text.find('e'); e != std::string::npos)
        text[e] = 'E';
    return text;
}

std::optional<std::string> TidyForm(std::string_view text)
{
    const auto form = scanWhole(text);
    if (!form)
        return std::nullopt;
    const Converted converted = convert(*form);
    if (converted.overflow)
        return std::nullopt;
    return NumberToText(std::fabs(converted.value));
}

std::optional<std::string> TypingForm(std::string_view text)
{
    auto tidy = TidyForm(text);
    if (!tidy)
        return tidy;
    std::string_view kept = trimBlanks(text);
    if (kept.front() == '+' || kept.front() == '-')
        kept.remove_prefix(1);
    // The tidy form may drop the sign and the blanks and put a zero before a leading point;
    // a tidying that drops or changes a digit, the point or the notation waits for the user.
    const bool onlyAdds =
        *tidy == kept || (kept.front() == '.' && *tidy == "0" + std::string(kept));
    return onlyAdds ? tidy : std::string(kept);
}

std::string FittedCaption(std::string_view caption,
                          const std::function<bool(std::string_view)> &fits)
{
    if (fits(caption) || !IsNumeric(caption))
        return std::string(caption);
    const double value = TextToNumber(caption);
    // Fewer and fewer digits as NumberToText writes them; when no plain form fits, the E form.
    for (const bool exponentForm : {false, true}) {
        for (int digits = exponentForm ? 15 : 14; digits >= 1; --digits) {
            std::string text = scientific(value, digits); // rounded in decimal by the library
            const Converted rounded = convert(*scanWhole(text));
            if (rounded.overflow)
                continue; // rounding up past the largest double; fewer digits may round down
            if (!exponentForm) {
                text = NumberToText(rounded.value);
            } else { // "6.0e+05" -> "6E+05"
                const std::size_t e = text.find('e');
                std::size_t mantissaEnd = text.find_last_not_of('0', e - 1) + 1;
                if (text[mantissaEnd - 1] == '.')
                    --mantissaEnd;
                text = text.substr(0, mantissaEnd) + 'E' + text.substr(e + 1);
            }
            if (fits(text))
                return text;
        }
    }
    return "###";
}

} // namespace fuelix
