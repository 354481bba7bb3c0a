#include "model/exact_decimal.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace fuelix {
namespace {

// An unsigned integer of up to 4160 bits in 32-bit words, least significant first. The largest
// one needed is 801 digits scaled to the smallest double (about 3800 bits).
class BigInt
{
public:
    explicit BigInt(std::uint32_t value = 0) { add(value); }

    bool isZero() const { return m_size == 0; }
    int bits() const
    {
        return m_size == 0 ? 0 : 32 * m_size - std::countl_zero(m_words[m_size - 1]);
    }

    // *this = *this * factor + addend
    void multiplyAdd(std::uint32_t factor, std::uint32_t addend = 0)
    {
        std::uint64_t carry = addend;
        for (int i = 0; i < m_size; ++i) {
            carry += std::uint64_t(m_words[i]) * factor;
            m_words[i] = static_cast<std::uint32_t>(carry);
            carry >>= 32;
        }
        add(static_cast<std::uint32_t>(carry));
    }

    void multiplyByPowerOf10(int exponent)
    {
        for (; exponent >= 9; exponent -= 9)
            multiplyAdd(1'000'000'000);
        std::uint32_t rest = 1;
        while (exponent-- > 0)
            rest *= 10;
        multiplyAdd(rest);
    }

    void shiftLeft(int count)
    {
        if (m_size == 0)
            return;
        const int words = count / 32, shift = count % 32;
        grow(m_size + words + 1);
        for (int i = m_size + words; i >= 0; --i) { // downwards: sources lie at or below i
            const std::uint64_t pair = (std::uint64_t(word(i - words)) << 32) | word(i - words - 1);
            m_words[i] = static_cast<std::uint32_t>(pair >> (32 - shift));
        }
        m_size += words + 1;
        trim();
    }

    // *this -= other * factor, which is not larger.
    void subtractMultiple(const BigInt &other, std::uint32_t factor)
    {
        std::uint64_t carry = 0;
        std::int64_t borrow = 0;
        for (int i = 0; i < m_size; ++i) {
            carry += std::uint64_t(other.m_words[i]) * factor; // zero above its size
            borrow += std::int64_t(m_words[i]) - std::int64_t(carry & 0xffff'ffff);
            carry >>= 32;
            m_words[i] = static_cast<std::uint32_t>(borrow);
            borrow >>= 32; // 0 or -1
        }
        trim();
    }

    // floor(*this / divisor), keeping the remainder, for a quotient below 2^32 and a divisor
    // whose top word has its top bit set. Estimated from the top words, the quotient is at most
    // a few units short; subtracting the divisor makes up for them.
    std::uint32_t divide(const BigInt &divisor)
    {
        const int top = divisor.m_size - 1;
        const std::uint64_t leading = (std::uint64_t(word(top + 1)) << 32) | word(top);
        auto quotient = static_cast<std::uint32_t>(leading / (divisor.m_words[top] + 1ull));
        subtractMultiple(divisor, quotient);
        while (compare(*this, divisor) >= 0) {
            subtractMultiple(divisor, 1);
            ++quotient;
        }
        return quotient;
    }

    friend int compare(const BigInt &a, const BigInt &b)
    {
        if (a.m_size != b.m_size)
            return a.m_size < b.m_size ? -1 : 1;
        for (int i = a.m_size - 1; i >= 0; --i) {
            if (a.m_words[i] != b.m_words[i])
                return a.m_words[i] < b.m_words[i] ? -1 : 1;
        }
        return 0;
    }

private:
    static constexpr int Capacity = 130;

    // Every word above the size is zero.
    std::uint32_t word(int i) const { return i >= 0 ? m_words[i] : 0; }
    void grow(int size)
    {
        if (size > Capacity)
            std::abort(); // beyond what the callers' bounds allow
    }
    void add(std::uint32_t top)
    {
        if (top != 0) {
            grow(m_size + 1);
            m_words[m_size++] = top;
        }
    }
    void trim()
    {
        while (m_size > 0 && m_words[m_size - 1] == 0)
            --m_size;
    }

    std::array<std::uint32_t, Capacity> m_words{};
    int m_size = 0;
};

// floor(numerator / denominator) for a quotient below 2^64, in two 32-bit parts; the remainder
// stays in numerator. Both are first scaled alike so that the denominator's top bit is set, as
// BigInt::divide needs.
std::uint64_t divide(BigInt &numerator, BigInt &denominator)
{
    const int shift = (32 - denominator.bits() % 32) % 32;
    numerator.shiftLeft(shift);
    denominator.shiftLeft(shift);
    BigInt high = denominator;
    high.shiftLeft(32);
    const std::uint64_t upper = numerator.divide(high);
    return (upper << 32) | numerator.divide(denominator);
}

} // namespace

double DecimalToDouble(std::string_view digits, int exponent)
{
    // Beyond the range at either end, by the position of the first digit alone.
    const auto scientific = static_cast<std::int64_t>(digits.size()) + exponent;
    if (scientific > 310)
        return HUGE_VAL;
    if (scientific < -324)
        return 0;

    BigInt numerator, denominator(1);
    for (std::size_t i = 0; i < digits.size(); i += 9) { // nine digits at a time
        const std::string_view chunk = digits.substr(i, 9);
        std::uint32_t value = 0, scale = 1;
        for (char c : chunk) {
            value = value * 10 + static_cast<std::uint32_t>(c - '0');
            scale *= 10;
        }
        numerator.multiplyAdd(scale, value);
    }
    if (numerator.isZero())
        return 0;
    (exponent >= 0 ? numerator : denominator).multiplyByPowerOf10(std::abs(exponent));

    // Scaled by 2^shift, the quotient lies between 2^53 and 2^55: 54 or 55 bits, the double's
    // 53 and at least one to round by.
    const int shift = 54 - (numerator.bits() - denominator.bits());
    (shift > 0 ? numerator : denominator).shiftLeft(std::abs(shift));
    std::uint64_t quotient = divide(numerator, denominator);
    bool sticky = !numerator.isZero(); // anything below the quotient's last bit
    int scale = -shift;                // value = (quotient + fraction) x 2^scale
    if (quotient >> 54 != 0) {
        sticky = sticky || (quotient & 1) != 0;
        quotient >>= 1;
        ++scale;
    }
    // 54 bits now: drop one, or more where the result is subnormal (its last bit is 2^-1074).
    const int drop = std::min(60, 1 + std::max(0, -1074 - (scale + 1)));
    std::uint64_t mantissa = quotient >> drop;
    const bool half = ((quotient >> (drop - 1)) & 1) != 0;
    sticky = sticky || (quotient & ((std::uint64_t(1) << (drop - 1)) - 1)) != 0;
    if (half && (sticky || (mantissa & 1) != 0))
        ++mantissa;
    // Exact: the mantissa fits the double at that scale; beyond the range it overflows.
    return std::ldexp(static_cast<double>(mantissa), scale + drop);
}

RoundedDecimal RoundToDigits(double value, int count)
{
    int binaryExponent = 0;
    const double fraction = std::frexp(std::fabs(value), &binaryExponent);
    const auto significand = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    binaryExponent -= 53; // |value| = significand x 2^binaryExponent exactly

    BigInt numerator(static_cast<std::uint32_t>(significand >> 32)), denominator(1);
    numerator.shiftLeft(32);
    numerator.multiplyAdd(1, static_cast<std::uint32_t>(significand));
    if (binaryExponent >= 0)
        numerator.shiftLeft(binaryExponent);
    else
        denominator.shiftLeft(-binaryExponent);

    // 10^exponent <= |value| < 10^(exponent + 1): estimated from the binary exponent, then
    // corrected by comparing.
    int exponent =
        static_cast<int>(std::floor((binaryExponent + 52) * 0.30102999566398120)); // log10(2)
    (exponent >= 0 ? denominator : numerator).multiplyByPowerOf10(std::abs(exponent));
    for (;;) {
        BigInt tenfold = denominator;
        tenfold.multiplyAdd(10);
        if (compare(numerator, tenfold) < 0)
            break;
        denominator = tenfold;
        ++exponent;
    }
    while (compare(numerator, denominator) < 0) {
        numerator.multiplyAdd(10);
        --exponent;
    }

    // The `count` digits as one integer: the quotient of numerator x 10^(count - 1) by the
    // denominator, below 10^17.
    numerator.multiplyByPowerOf10(count - 1);
    std::uint64_t digits = divide(numerator, denominator);
    // The rest against half the denominator: up, or to the even neighbour on a tie.
    numerator.multiplyAdd(2);
    const int rest = compare(numerator, denominator);
    if (rest > 0 || (rest == 0 && digits % 2 != 0))
        ++digits;
    std::uint64_t limit = 1;
    for (int i = 0; i < count; ++i)
        limit *= 10;
    if (digits == limit) { // 999 -> 1000: one place more
        digits /= 10;
        ++exponent;
    }
    return {std::to_string(digits), exponent};
}

} // namespace fuelix
