// Number, date and time conversions: the rules every reader shares.

#include <gtest/gtest.h>

#include "base/modConvert.h"

namespace vantrel {
namespace {

TEST(ParseNumber, AcceptsDecimalNumbersWithBlanksAroundAndNothingElse)
{
    EXPECT_EQ(ParseNumber(" 12 "), 12.0);
    EXPECT_EQ(ParseNumber("-1.5"), -1.5);
    EXPECT_EQ(ParseNumber("+.5"), 0.5);
    EXPECT_EQ(ParseNumber("5."), 5.0);
    EXPECT_EQ(ParseNumber("1e3"), 1000.0);
    EXPECT_EQ(ParseNumber("2.5E-1"), 0.25);
    for (const char* bad : {"", " ", "1,5", "12a", "e5", ".", "-", "1e", "1 2", "0x10"})
        EXPECT_FALSE(ParseNumber(bad).has_value()) << bad;
    EXPECT_THROW(ToNumber("abc"), ConversionError);
}

TEST(LeadingNumber, ReadsTheNumberAtTheStartIgnoringBlanksTabsAndLineFeeds)
{
    EXPECT_EQ(LeadingNumber("5001"), 5001.0);
    EXPECT_EQ(LeadingNumber(" 50 01\t"), 5001.0);
    EXPECT_EQ(LeadingNumber("5001.0abc"), 5001.0);
    EXPECT_EQ(LeadingNumber("\n-3.5e1x"), -35.0);
    EXPECT_EQ(LeadingNumber("1e"), 1.0);
    EXPECT_EQ(LeadingNumber("abc"), 0.0);
    EXPECT_EQ(LeadingNumber(""), 0.0);
    EXPECT_EQ(LeadingNumber("\"5001\""), 0.0);
}

TEST(WholeNumbers, RoundHalvesToEvenAndOverflowBeyond16Bits)
{
    EXPECT_EQ(ToInt16("2.5"), 2);
    EXPECT_EQ(ToInt16("3.5"), 4);
    EXPECT_EQ(ToInt16("-2.5"), -2);
    EXPECT_EQ(ToInt16("0.5"), 0);
    EXPECT_EQ(ToInt16("32767"), 32767);
    EXPECT_EQ(ToInt16("-32768"), -32768);
    EXPECT_THROW(ToInt16("32768"), OverflowError);
    EXPECT_THROW(ToInt16("32767.5"), OverflowError);
    EXPECT_THROW(ToInt16(""), ConversionError);
    EXPECT_EQ(ToInt32("40000"), 40000);
    EXPECT_THROW(CheckInt16(32768, "drop number"), OverflowError);
}

TEST(WholeNumbers, CountersReadEmptyAsZeroButNotSigns)
{
    EXPECT_EQ(CounterValue(""), 0);
    EXPECT_EQ(CounterValue("  "), 0);
    EXPECT_EQ(CounterValue(" 12 "), 12);
    EXPECT_THROW(CounterValue("-1"), ConversionError);  // "0-1" is no number
    EXPECT_THROW(CounterValue("x"), ConversionError);
}

TEST(SingleText, WritesAtMostSevenSignificantDigitsWithoutTrailingZeros)
{
    EXPECT_EQ(SingleText("2.50"), "2.5");
    EXPECT_EQ(SingleText("0.98765432"), "0.9876543");
    EXPECT_EQ(SingleText("3"), "3");
    EXPECT_EQ(SingleText("0.1"), "0.1");
    EXPECT_EQ(SingleText("-1.25"), "-1.25");
    EXPECT_EQ(SingleText("1234567"), "1234567");
    EXPECT_EQ(SingleText("12345678"), "1.234568E+07");
    EXPECT_EQ(SingleText("0.0001"), "0.0001");
    EXPECT_EQ(SingleText("0.00001"), "1E-05");
    EXPECT_EQ(SingleText("100"), "100");
    EXPECT_EQ(SingleText("0"), "0");
    EXPECT_EQ(SingleText("1.0000001"), "1");
    EXPECT_EQ(SingleText("16777217"), "1.677722E+07");
    EXPECT_EQ(SingleText("999999.96"), "999999.9");  // held as 999999.9375
    EXPECT_THROW(SingleText("1e39"), OverflowError);
    EXPECT_THROW(SingleText("n/a"), ConversionError);
}

TEST(DoubleText, WritesUpToFifteenSignificantDigits)
{
    EXPECT_EQ(DoubleText(9.123 * 1000), "9123");
    EXPECT_EQ(DoubleText(0.1 + 0.2), "0.3");
    EXPECT_EQ(DoubleText(123456789012345.0), "123456789012345");
    EXPECT_EQ(DoubleText(1e15), "1E+15");
    EXPECT_EQ(DoubleText(-0.5), "-0.5");
    EXPECT_EQ(DoubleText(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(DoubleText(1e-5), "1E-05");
    EXPECT_THROW(DoubleText(1e308 * 10), OverflowError);
}

TEST(PlainDecimalText, NeverUsesTheExponentForm)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {1e-5, "0.00001"},
        {1e15, "1000000000000000"},
        {1.5e20, "150000000000000000000"},
        {-2.5e-7, "-0.00000025"},
        {9.123 * 1000, "9123"},
        {2.0 / 3.0 * 1e-6, "0.000000666666666666667"},
        {0, "0"},
    };
    for (const auto& c : cases) EXPECT_EQ(PlainDecimalText(c.value), c.text) << c.value;
}

TEST(Dates, ApplyTheTwoDigitYearWindowAndCarry)
{
    EXPECT_EQ(FormatDate(DateFromParts(3, 5, 12)), "12-May-2003");
    EXPECT_EQ(FormatDate(DateFromParts(29, 1, 1)), "01-Jan-2029");
    EXPECT_EQ(FormatDate(DateFromParts(30, 1, 1)), "01-Jan-1930");
    EXPECT_EQ(FormatDate(DateFromParts(99, 12, 31)), "31-Dec-1999");
    EXPECT_EQ(FormatDate(DateFromParts(2004, 4, 7)), "07-Apr-2004");
    EXPECT_EQ(FormatDate(DateFromParts(4, 13, 1)), "01-Jan-2005");
    EXPECT_EQ(FormatDate(DateFromParts(99, 13, 1)), "01-Jan-2000");
    EXPECT_EQ(FormatDate(DateFromParts(4, 2, 30)), "01-Mar-2004");
    EXPECT_EQ(FormatDate(DateFromParts(5, 2, 29)), "01-Mar-2005");
    EXPECT_EQ(FormatDate(DateFromParts(4, 1, 0)), "31-Dec-2003");
    EXPECT_EQ(FormatDate(DateFromParts(4, 0, 15)), "15-Dec-2003");
    EXPECT_EQ(FormatDate(DateFromParts(4, 1, 32)), "01-Feb-2004");
    EXPECT_THROW(DateFromParts(10000, 1, 1), ConversionError);
    EXPECT_THROW(DateFromParts(-5, 1, 1), ConversionError);
}

TEST(Times, PadToTwoDigitsAndRejectImpossibleTimes)
{
    EXPECT_EQ(FormatTime(9, 5, 3), "09:05:03");
    EXPECT_EQ(FormatTime(23, 59, 59), "23:59:59");
    EXPECT_THROW(FormatTime(24, 0, 0), ConversionError);
    EXPECT_THROW(FormatTime(12, 60, 0), ConversionError);
    EXPECT_THROW(FormatTime(-1, 0, 0), ConversionError);
    EXPECT_EQ(TimeOfDayText(" 9: 5: 3"), "09:05:03");
    EXPECT_EQ(TimeOfDayText("14:30"), "14:30:00");
    EXPECT_THROW(TimeOfDayText("25:00"), ConversionError);
    EXPECT_THROW(TimeOfDayText("9"), ConversionError);
    EXPECT_THROW(TimeOfDayText("9:x"), ConversionError);
    EXPECT_THROW(TimeOfDayText("1:2:3:4"), ConversionError);
}

}  // namespace
}  // namespace vantrel
