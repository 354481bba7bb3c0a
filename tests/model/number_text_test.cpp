#include "model/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace fuelix;

TEST(IsNumeric, AcceptsTheNumberForm)
{
    for (const char *text :
         {"16.4", " 7 ", "-5", "+3", "16.", ".5", "1e3", "2E-1", "0", "-0", "1E+5", "\t\r\n12\n",
          "00000016.40000", "1e0000000000000000000000002", "+.5e-3"})
        EXPECT_TRUE(IsNumeric(text)) << '"' << text << '"';
}

TEST(IsNumeric, RejectsEverythingElse)
{
    using namespace std::string_view_literals;
    for (std::string_view text :
         {""sv,          " "sv,    "."sv,       "abc"sv,   "1.2.3"sv, "12abc"sv, "???"sv,
          "+"sv,         "-"sv,    "e5"sv,      "1e"sv,    "1e+"sv,   "1 2"sv,   "--1"sv,
          "+-1"sv,       "1,5"sv,  "1.000,5"sv, "1_000"sv, "inf"sv,   "-inf"sv,  "nan"sv,
          "infinity"sv,  "0x10"sv, "1d3"sv,     "1E5.5"sv, "\v1"sv,   "1\f"sv,   "\xd9\xa3"sv,
          "1\xc2\xa0"sv, ". 5"sv,  "1e 5"sv,    "1\0"sv,   "\0001"sv})
        EXPECT_FALSE(IsNumeric(text)) << '"' << text << '"';
}

TEST(IsNumeric, HandlesHugeTexts)
{
    const std::string megabyteOfDigits(1 << 20, '7');
    EXPECT_FALSE(IsNumeric(megabyteOfDigits)); // 7.7e1048575 is beyond the double range
    EXPECT_TRUE(IsNumeric("0." + megabyteOfDigits));
    EXPECT_TRUE(IsNumeric(std::string(1 << 20, '0') + "1"));
    EXPECT_FALSE(IsNumeric(std::string(1 << 20, 'x')));
    EXPECT_DOUBLE_EQ(TextToNumber("0." + megabyteOfDigits), 7.0 / 9.0);
}

TEST(TextToNumber, ReadsEveryAcceptedForm)
{
    EXPECT_EQ(TextToNumber("16."), 16);
    EXPECT_EQ(TextToNumber("-5"), -5);
    EXPECT_EQ(TextToNumber(" 7 "), 7);
    EXPECT_EQ(TextToNumber("1e3"), 1000);
    EXPECT_EQ(TextToNumber("16.4"), 16.4);
    EXPECT_EQ(TextToNumber(".5"), 0.5);
    EXPECT_EQ(TextToNumber("+2E-1"), 0.2);
    EXPECT_EQ(TextToNumber("000123.4500e-2"), 1.2345);
    EXPECT_EQ(TextToNumber("1e-0000000000000000000001"), 0.1);
    EXPECT_TRUE(std::signbit(TextToNumber("-0")));
}

TEST(TextToNumber, RoundsCorrectly)
{
    // Halfway between 1 and the next double, then a hair above it far beyond 800 digits.
    const std::string halfway = "1.00000000000000011102230246251565404236316680908203125";
    EXPECT_EQ(TextToNumber(halfway), 1.0);
    EXPECT_EQ(TextToNumber(halfway + std::string(2000, '0') + "1"), std::nextafter(1.0, 2.0));
    EXPECT_EQ(TextToNumber("1.7976931348623157E+308"), std::numeric_limits<double>::max());
    EXPECT_EQ(TextToNumber("1.7976931348623158e308"), std::numeric_limits<double>::max());
}

TEST(TextToNumber, ReadsUnderflowAsTheNearestDouble)
{
    const double tiniest = std::numeric_limits<double>::denorm_min();
    EXPECT_EQ(TextToNumber("1e-400"), 0);
    EXPECT_TRUE(std::signbit(TextToNumber("-1e-400")));
    EXPECT_EQ(TextToNumber("2e-324"), 0);
    EXPECT_EQ(TextToNumber("3e-324"), tiniest);
    EXPECT_EQ(TextToNumber("4.94065645841247E-324"), tiniest);
    EXPECT_EQ(TextToNumber("1e-310"), 1e-310);
    EXPECT_TRUE(IsNumeric("1e-99999999999999999999999"));
}

TEST(TextToNumber, FailsWithTypeMismatchOrOverflow)
{
    for (const char *text : {"", "abc", ".", "12abc", "???", "inf", "1,5"})
        EXPECT_THROW(TextToNumber(text), TypeMismatchError) << text;
    for (const char *text :
         {"1e309", "-1e309", "1.7976931348623159e308", "1e99999999999999999999", "2e308"}) {
        EXPECT_FALSE(IsNumeric(text)) << text;
        EXPECT_THROW(TextToNumber(text), OverflowError) << text;
    }
}

TEST(LeadingNumber, ReadsTheNumberAtTheStart)
{
    EXPECT_EQ(LeadingNumber("8.2"), 8.2);
    EXPECT_EQ(LeadingNumber("12abc"), 12);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("-0.5x"), -0.5);
    EXPECT_EQ(LeadingNumber("  \t42 7"), 42);
    EXPECT_EQ(LeadingNumber("\r\n\r7"), 7); // every blank is set aside, CR and LF too
    EXPECT_EQ(LeadingNumber("1e3x"), 1000);
    EXPECT_EQ(LeadingNumber("1ex"), 1); // "e" without digits ends the number
    EXPECT_EQ(LeadingNumber("2E+"), 2);
    EXPECT_EQ(LeadingNumber("1.2.3"), 1.2);
    EXPECT_EQ(LeadingNumber("16."), 16);
    EXPECT_EQ(LeadingNumber("-"), 0);
    EXPECT_EQ(LeadingNumber("???"), 0);
    EXPECT_EQ(LeadingNumber("4.94065645841247E-324"), std::numeric_limits<double>::denorm_min());
}

TEST(LeadingNumber, GivesInfinityBeyondTheRangeAndNeverThrows)
{
    EXPECT_EQ(LeadingNumber("1e400 litres"), HUGE_VAL);
    EXPECT_EQ(LeadingNumber("-1e400"), -HUGE_VAL);
    EXPECT_EQ(LeadingNumber("1e-400"), 0);
    EXPECT_NO_THROW(LeadingNumber(std::string(1 << 20, '9')));
}

TEST(NumberToText, WritesTheDisplayForm)
{
    EXPECT_EQ(NumberToText(8.2), "8.2");
    EXPECT_EQ(NumberToText(95.5), "95.5");
    EXPECT_EQ(NumberToText(100), "100");
    EXPECT_EQ(NumberToText(16), "16");
    EXPECT_EQ(NumberToText(0), "0");
    EXPECT_EQ(NumberToText(-0.0), "0");
    EXPECT_EQ(NumberToText(-5), "-5");
    EXPECT_EQ(NumberToText(0.5), "0.5");
    EXPECT_EQ(NumberToText(16.4 * 0.75), "12.3");
    EXPECT_EQ(NumberToText(16.4 - 12.3), "4.1");
    EXPECT_EQ(NumberToText(93.25000000000001), "93.25");
}

TEST(NumberToText, SwitchesToExponentFormOutsideFifteenDigits)
{
    EXPECT_EQ(NumberToText(123456789012345), "123456789012345");
    EXPECT_EQ(NumberToText(999999999999999), "999999999999999");
    EXPECT_EQ(NumberToText(1e15), "1E+15");
    EXPECT_EQ(NumberToText(9999999999999999.0), "1E+16");
    EXPECT_EQ(NumberToText(1e20), "1E+20");
    EXPECT_EQ(NumberToText(-2.5e100), "-2.5E+100");
    EXPECT_EQ(NumberToText(0.0001), "0.0001");
    EXPECT_EQ(NumberToText(0.00001), "1E-05");
    EXPECT_EQ(NumberToText(1.5e-300), "1.5E-300");
    EXPECT_EQ(NumberToText(std::numeric_limits<double>::denorm_min()), "4.94065645841247E-324");
}

TEST(NumberToText, KeepsTheLargestDoublesReadable)
{
    const double max = std::numeric_limits<double>::max();
    EXPECT_EQ(NumberToText(max), "1.79769313486231E+308");
    EXPECT_EQ(NumberToText(-max), "-1.79769313486231E+308");
    EXPECT_EQ(NumberToText(1.79769313486231e308), "1.79769313486231E+308");
    EXPECT_EQ(NumberToText(1.7976931348623e308), "1.7976931348623E+308");
    EXPECT_TRUE(IsNumeric(NumberToText(max)));
}

TEST(NumberToText, WritesUnknownForNonFiniteValues)
{
    EXPECT_EQ(NumberToText(HUGE_VAL), "???");
    EXPECT_EQ(NumberToText(-HUGE_VAL), "???");
    EXPECT_EQ(NumberToText(std::nan("")), "???");
}

TEST(FittedCaption, RoundsToTheDigitsThatFit)
{
    // A box `room` characters wide.
    const struct
    {
        const char *caption;
        std::size_t room;
        const char *shown;
    } rows[] = {
        {"9.50103", 5, "9.501"},
        {"96.0792524658245", 6, "96.079"},
        {"96.0792524658245", 16, "96.0792524658245"},
        {"99.96", 3, "100"},
        {"-0.00123456", 7, "-0.0012"},
        {"8.98846567431155E+307", 8, "9E+307"},
        {"8.98846567431155E+307", 9, "8.99E+307"},
        {"8.98846567431155E+307", 5, "###"},
        {"1.79769313486231E+308", 20, "1.7976931348623E+308"},
        {"61728394.5615", 6, "6E+07"},
        {"600000", 5, "6E+05"},
        {"6000000", 6, "6E+06"}, // the point goes with the zeros after it
        {"12345678", 7, "1.2E+07"},
        {"-600000", 6, "-6E+05"},
        {"-600000", 5, "###"},
        {"8.2", 1, "8"},
        {"1.5E+20", 5, "2E+20"},
        {"???", 1, "???"},
    };
    for (const auto &r : rows)
        EXPECT_EQ(FittedCaption(r.caption, [&](std::string_view t) { return t.size() <= r.room; }),
                  r.shown)
            << r.caption << " in " << r.room;
}
