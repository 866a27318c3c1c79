// The text, number, date and time rules every reader shares: each rule one table of input ->
// expected output.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <optional>
#include <random>
#include <tuple>

#include "base/Latin1.h"
#include "base/NumberText.h"
#include "import/GpsDegrees.h"
#include "import/ReaderInput.h"
#include "import/ReaderSupport.h"

namespace vantrel {
namespace {

template <typename Out, typename In>
using Cases = std::vector<std::pair<In, Out>>;

// Runs `convert` on each input; std::nullopt expects a ConversionError (OverflowError included).
template <typename Out, typename In, typename Convert>
void ExpectAll(const Cases<std::optional<Out>, In>& cases, Convert convert)
{
    for (const auto& [input, expected] : cases) {
        if (expected) EXPECT_EQ(convert(input), *expected) << input;
        else EXPECT_THROW(convert(input), ConversionError) << input;
    }
}

TEST(Numbers, ParseRoundAndCountTheProgramsWay)
{
    // The one grammar: text and decimal separator -> value, none, or kTooLarge for OverflowError.
    constexpr double kTooLarge = std::numeric_limits<double>::infinity();
    const std::tuple<const char*, char, std::optional<double>> numbers[] = {
        {" 12 ", '.', 12}, {"-1.5", '.', -1.5}, {"+.5", '.', 0.5}, {"5.", '.', 5}, {"1e3", '.', 1000},
        {"2.5E-1", '.', 0.25}, {"007", '.', 7}, {"+999999999999999", '.', 999999999999999.0},
        {"12345678901234567", '.', 12345678901234567.0}, {"123456789012345678901.5", '.', 123456789012345678901.5},
        {"1,5", ',', 1.5}, {" -0,25e1 ", ',', -2.5}, {",5", ',', 0.5},
        {"", '.', {}}, {"1,5", '.', {}}, {"1.5", ',', {}}, {"12a", '.', {}}, {"e5", '.', {}}, {".", '.', {}},
        {"-", '.', {}}, {"1e", '.', {}}, {"1 2", '.', {}}, {"\t5", '.', {}}, {"0x10", '.', {}}, {"+-5", '.', {}},
        {"inf", '.', {}}, {"-Infinity", '.', {}}, {"nan", '.', {}}, {"+nan", ',', {}}, {"1e999", '.', kTooLarge},
        {"-1e999", '.', kTooLarge}, {"1e-999", '.', kTooLarge}, {"9,9e999", ',', kTooLarge}, {"9e-999", '.', kTooLarge},
        {"0e5", '.', 0}, {"0.0e-999", '.', 0}};  // a zero is no number too small
    for (const auto& [text, separator, expected] : numbers) {
        if (expected == kTooLarge) EXPECT_THROW(ParseNumber(text, separator), OverflowError) << text;
        else EXPECT_EQ(ParseNumber(text, separator), expected) << text << " with " << separator;
    }
    // A plain decimal at the start of a text: the value and how many characters it takes; none
    // where no digit starts it or it has more than 15 digits.
    for (const auto& [text, separator, expected] : std::vector<std::tuple<std::string, char, std::optional<PlainNumber>>>{
             {"49.3", '.', PlainNumber{49.3, 4}}, {"-912, 5", '.', PlainNumber{-912, 4}},
             {"+.5x", '.', PlainNumber{0.5, 3}}, {"5.", '.', PlainNumber{5, 2}}, {"1.5e3", '.', PlainNumber{1.5, 3}},
             {"12.5.3", '.', PlainNumber{12.5, 4}}, {"1,5", ',', PlainNumber{1.5, 3}}, {"1,5", '.', PlainNumber{1, 1}},
             {"999999999999999", '.', PlainNumber{999999999999999.0, 15}},
             {"0.00000000000001", '.', PlainNumber{1e-14, 16}}, {"1234567890123456", '.', std::nullopt},
             {"0.000000000000001", '.', std::nullopt}, {"", '.', std::nullopt}, {"-", '.', std::nullopt},
             {".", '.', std::nullopt}, {"+-5", '.', std::nullopt}, {" 5", '.', std::nullopt},
             {"e5", '.', std::nullopt}}) {
        const std::optional<PlainNumber> read = PlainDecimalAt(text, separator);
        ASSERT_EQ(read.has_value(), expected.has_value()) << text;
        if (!read) continue;
        EXPECT_EQ(read->Value, expected->Value) << text;
        EXPECT_EQ(read->Length, expected->Length) << text;
    }
    EXPECT_THROW(ToNumber("x"), ConversionError);
    try {
        ToNumber(" +1e999");
        ADD_FAILURE() << "no overflow";
    } catch (const OverflowError& error) {
        EXPECT_STREQ(error.what(), "\"1e999\" is too large a number");
    }
    // The number at the start of a text: blanks, tabs and line feeds anywhere are ignored.
    for (const auto& [text, value] : Cases<double, std::string>{{"5001", 5001}, {" 50 01\t", 5001}, {"5001.0abc", 5001},
                                                                {"\n-3.5e1x", -35}, {"1e", 1}, {"abc", 0}, {"\"5001\"", 0},
                                                                {"+5x", 5}, {"inf", 0}, {"nan1", 0}})
        EXPECT_EQ(LeadingNumber(text), value) << text;
    // Whole numbers: halves to even, 16-bit range.
    ExpectAll<int, std::string>({{"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"0.5", 0}, {"32767", 32767}, {"-32768", -32768},
                                 {"32768", {}}, {"32767.5", {}}, {"", {}}},
                                [](const std::string& t) { return ToInt16(t); });
    EXPECT_EQ(ToInt32("40000"), 40000);
    // Counts (locations, drops, samples, sensors) are 32-bit.
    EXPECT_EQ(CheckCount(32768, "drop number"), 32768);
    EXPECT_EQ(CheckCount(2147483647, "x"), 2147483647);
    EXPECT_THROW(CheckCount(2147483648LL, "drop number"), OverflowError);
    // Counters: "0" + the trimmed text, so empty is 0 and a sign is no number.
    ExpectAll<int, std::string>({{"", 0}, {"  ", 0}, {" 12 ", 12}, {"-1", {}}, {"x", {}}, {"40000", 40000},
                                 {"2147483648", {}}},
                                [](const std::string& t) { return CounterValue(t); });
}

TEST(Numbers, WrittenInTheShortestFormOfTheirPrecision)
{
    ExpectAll<std::string, std::string>(
        {{"2.50", "2.5"}, {"0.98765432", "0.9876543"}, {"3", "3"}, {"-1.25", "-1.25"}, {"1234567", "1234567"},
         {"12345678", "1.234568E+07"}, {"0.0001", "0.0001"}, {"0.00001", "1E-05"}, {"100", "100"}, {"0", "0"},
         {"1.0000001", "1"}, {"16777217", "1.677722E+07"}, {"999999.96", "999999.9"}, {"1e39", {}}, {"n/a", {}}},
        [](const std::string& t) { return SingleText(t); });
    for (const auto& [value, text] : Cases<std::string, double>{{9.123 * 1000, "9123"}, {0.1 + 0.2, "0.3"},
                                                                {123456789012345.0, "123456789012345"}, {1e15, "1E+15"},
                                                                {-0.5, "-0.5"}, {2.0 / 3.0, "0.666666666666667"}, {1e-5, "1E-05"}})
        EXPECT_EQ(DoubleText(value), text) << value;
    EXPECT_THROW(DoubleText(1e308 * 10), OverflowError);
    for (const auto& [value, text] : Cases<std::string, double>{{1e-5, "0.00001"}, {1e15, "1000000000000000"},
                                                                {1.5e20, "150000000000000000000"}, {-2.5e-7, "-0.00000025"},
                                                                {2.0 / 3.0 * 1e-6, "0.000000666666666666667"}, {0, "0"}})
        EXPECT_EQ(PlainDecimalText(value), text) << value;
    // Rounded as printf rounds (halves of exact binary values to even), then written plain: across
    // the range where the digits are written as they come, and beyond it at both ends, where the
    // rounded text is read back first (a subnormal keeps fewer digits; zero loses its sign).
    const std::string zeros300(300, '0');
    for (const auto& [value, digits, text] : std::vector<std::tuple<double, int, std::string>>{
             {123.456789, 6, "123.457"}, {-0.000123456789, 6, "-0.000123457"}, {999999.5, 6, "1000000"},
             {999999.4, 6, "999999"}, {2.5, 1, "2"}, {3.5, 1, "4"}, {0.125, 2, "0.12"}, {0.375, 2, "0.38"},
             {1.5e20, 6, "150000000000000000000"}, {120.0, 6, "120"}, {100.0, 6, "100"}, {0.1, 6, "0.1"},
             {1e-5, 6, "0.00001"}, {2.0 / 3.0, 15, "0.666666666666667"}, {2.0 / 3.0, 17, "0.666666666666667"},
             {1e300, 6, "1" + zeros300}, {1e-300, 6, "0." + std::string(299, '0') + "1"},
             {1.23456789e300, 6, "123457" + std::string(295, '0')}, {1.5e-300, 3, "0." + zeros300.substr(1) + "15"},
             {1.7976931348623157e308, 6, "179769" + std::string(303, '0')},
             {4.9406564584124654e-324, 6, "0." + std::string(323, '0') + "5"},
             {3e-320, 6, "0." + std::string(319, '0') + "3"}, {0.0, 6, "0"}, {-0.0, 6, "0"},
             // Scaled by an exact power of ten where one reaches (1e-22 to 1e22 of the scale), by
             // the general rounding beyond; the difference of two decimals, and a rounding up to
             // the next power of ten.
             {1.2345678e27, 6, "123457" + std::string(22, '0')}, {1.2345678e28, 6, "123457" + std::string(23, '0')},
             {1.2345678e-17, 6, "0.0000000000000000123457"}, {1.2345678e-18, 6, "0.00000000000000000123457"},
             {123456789.4, 9, "123456789"}, {66.7 - 0.0000000000000142, 6, "66.7"}, {9.9999996, 6, "10"},
             {99999.95, 6, "99999.9"}, {0.00099999951, 6, "0.001"}, {-19.500000000000004, 6, "-19.5"},
             // Whole numbers of at most `digits` digits as they are, longer ones rounded; values
             // at and just below a power of ten, where the first digit's power is guessed.
             {-601.0, 6, "-601"}, {1234567.0, 6, "1234570"}, {123456789.0, 9, "123456789"},
             {1234567890.0, 12, "1234567890"}, {1024.0, 2, "1000"}, {1000.0, 3, "1000"}, {0.001, 6, "0.001"},
             {0.0999999999, 6, "0.1"}, {0.0999, 6, "0.0999"}, {1e-7, 2, "0.0000001"}, {8.5e-8, 1, "0.00000008"}})
    {
        EXPECT_EQ(RoundedPlainText(value, digits), text) << value << " to " << digits;
        // Appended to a table's row, the same text after what the row holds.
        std::string row = "x,";
        AppendRoundedPlainText(row, value, digits);
        EXPECT_EQ(row, "x," + text) << value << " to " << digits;
    }
    EXPECT_THROW(RoundedPlainText(std::numeric_limits<double>::infinity(), 6), OverflowError);
    EXPECT_THROW(RoundedPlainText(1.7976931348623157e308, 16), OverflowError);  // rounds up beyond the range
    // Values of every size a table shows, to 1 to 9 digits: as printf rounds them, read back and
    // written plain.
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        const double value = std::ldexp(static_cast<double>(random() >> 11), -53 + static_cast<int>(random() % 80) - 40) *
                             (i % 2 == 0 ? 1 : -1);
        const int digits = 1 + static_cast<int>(random() % 9);
        char printed[64];
        std::snprintf(printed, sizeof printed, "%.*g", digits, value);
        ASSERT_EQ(RoundedPlainText(value, digits), PlainDecimalText(std::strtod(printed, nullptr)))
            << value << " to " << digits;
    }
}

TEST(DatesAndTimes, TwoDigitYearsCarriesAndPadding)
{
    const std::array<std::array<int, 3>, 12> dates = {{{3, 5, 12}, {29, 1, 1}, {30, 1, 1}, {99, 12, 31}, {2004, 4, 7},
                                                       {4, 13, 1}, {99, 13, 1}, {4, 2, 30}, {5, 2, 29}, {4, 1, 0},
                                                       {4, 0, 15}, {4, 1, 32}}};
    const char* texts[] = {"12-May-2003", "01-Jan-2029", "01-Jan-1930", "31-Dec-1999", "07-Apr-2004", "01-Jan-2005",
                           "01-Jan-2000", "01-Mar-2004", "01-Mar-2005", "31-Dec-2003", "15-Dec-2003", "01-Feb-2004"};
    for (std::size_t i = 0; i < dates.size(); ++i)
        EXPECT_EQ(FormatDate(DateFromParts(dates[i][0], dates[i][1], dates[i][2])), texts[i]) << i;
    EXPECT_THROW(DateFromParts(10000, 1, 1), ConversionError);
    EXPECT_NO_THROW(DateFromParts(100, 1, 1));  // the first year written with all its digits
    EXPECT_NO_THROW(DateFromParts(9999, 12, 31));
    EXPECT_THROW(DateFromParts(-5, 1, 1), ConversionError);
    EXPECT_EQ(FormatTime(9, 5, 3), "09:05:03");
    EXPECT_EQ(FormatTime(23, 59, 59), "23:59:59");
    for (const auto& [h, m, s] : {std::array{24, 0, 0}, {12, 60, 0}, {-1, 0, 0}, {0, 0, 60}})
        EXPECT_THROW(FormatTime(h, m, s), ConversionError) << h << ":" << m << ":" << s;
    ExpectAll<std::string, std::string>({{" 9: 5: 3", "09:05:03"}, {"14:30", "14:30:00"}, {"25:00", {}}, {"9", {}},
                                         {"9:x", {}}, {"1:2:3:4", {}}, {"12345:0", {}},
                                         {"0009:30", "09:30:00"}, {"00009:30", {}}},  // four digits a part at most
                                        [](const std::string& t) { return TimeOfDayText(t); });
}

TEST(Text, CaseFoldingUnitsAndSmallRewrites)
{
    EXPECT_TRUE(TextContains("kn", "Load  KN"));
    EXPECT_FALSE(TextContains("Load  KN", "kn"));  // the sought text comes first
    EXPECT_TRUE(TextContains("\xE9t\xE9", "\xC9T\xC9 2003"));
    EXPECT_TRUE(EqualsIgnoreCase("\xFEx", "\xDEX"));
    EXPECT_FALSE(EqualsIgnoreCase("\xF7", "\xD7"));  // the division sign is no letter
    // The review grid's find: either case of the first letter, a match at either end, a near
    // match before the real one, nothing past the end.
    for (const auto& [needle, text, found] : std::vector<std::tuple<std::string, std::string, bool>>{
             {"drop", "DropData_3", true}, {"DATA_3", "DropData_3", true}, {"a_3", "DropData_33", true},
             {"9999", "1,9998,99999", true}, {"9999", "999,9", false}, {"ta_4", "DropData_3", false},
             {"\xE9T\xE9", "\xC9t\xE9 2003", true}, {"x", "", false}, {"", "", true}, {"abc", "ab", false},
             {"ss", "Pa\xDF", false}, {"\xF7", "\xD7", false}, {"bb", "abab", false}, {"ab", "aab", true}})
        EXPECT_EQ(CaseBlindFind(needle).In(text), found) << needle << " in " << text;
    for (const auto& [unit, word] : Cases<std::string, std::string>{
             {"mm", "millimeter"}, {"(in)", "inch"}, {"\xB5m", "micron"}, {"um", "micron"}, {"\xB0" "f", "Fahrenheit"},
             {"f", "Fahrenheit"}, {"\xB0" "C", "Celsius"}, {"Mils", "mil"}, {"m", "meter"}, {"mi", "mile"},
             {"kn", "kilo-Newton"}, {"Kgf", "kilogram-force"}, {"lbf", "pound-force"}, {"hz", "Hertz"},
             {"(cm)", "centimeter"}, {"FT", "foot"}, {"kPa", "kPa"}, {" mm", " mm"}, {"", ""}})
        EXPECT_EQ(NormaliseUnitName(unit), word) << unit;
    EXPECT_EQ(CommaToPoint("1,234,5"), "1.234.5");
    for (const auto& [line, collapsed] : Cases<std::string, std::string>{
             {"   a    b  c ", "a b c"}, {"a\t\tb", "a\t\tb"}, {" \t a  \t", "\t a \t"}, {"    ", ""}})
        EXPECT_EQ(CollapseSpaces(line), collapsed) << line;
    EXPECT_EQ(ReplaceAll("C:\\X.DAT\\RUN1.DAT", ".DAT", ".DDX"), "C:\\X.DDX\\RUN1.DDX");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("x", "", "y"), "x");
    // Excerpts for messages: cut at 60 characters, control bytes and C1 escaped, Latin-1 as UTF-8.
    EXPECT_EQ(Quoted(std::string("a\0b\x1b\x7f\x80\x9f\xe9", 8)), "\"a\\x00b\\x1B\\x7F\\x80\\x9F\xC3\xA9\"");
    EXPECT_EQ(Quoted(std::string(61, 'x')), "\"" + std::string(60, 'x') + "...\"");
    EXPECT_EQ(Quoted(std::string(60, 'x')), "\"" + std::string(60, 'x') + "\"");
    EXPECT_EQ(EscapeControls(std::string("a\0\n\xe9", 4)), "a\\x00\\x0A\xe9");
}

// A position in degrees, minutes and seconds, whatever marks them: 48 53' 5.0022" N is
// 48 + 53/60 + 5.0022/3600 = 48.8847228; 2 34' 21.6492" E is 2 + 34/60 + 21.6492/3600 = 2.5726803;
// 33 52' 10" S is -(33 + 52/60 + 10/3600) = -33.8694444; 151 12' 30" W is -(151 + 12/60 + 30/3600)
// = -151.2083333.
TEST(Degrees, EverySpellingOfTheMarksPartsTheNumbers)
{
    for (const auto& [text, position] : Cases<std::string, std::string>{
             {"48\xB0" "53'5.0022\"N 2\xB0" "34'21.6492\"E", "48.8847228, 2.5726803"},
             {"2\xB0" "34'21.6492\"E\t48\xB0" "53'5.0022\"N", "48.8847228, 2.5726803"},   // longitude first
             {"48\xBA" "53'5.0022\"N 2\xBA" "34'21.6492\"E", "48.8847228, 2.5726803"},    // the ordinal sign
             {"48d53'5.0022\"N 2d34'21.6492\"E", "48.8847228, 2.5726803"},
             {"48D 53' 5.0022\" N, 2D 34' 21.6492\" E", "48.8847228, 2.5726803"},
             {"48deg53'5.0022\"N 2 DEGREES 34 21.6492 E", "48.8847228, 2.5726803"},
             {"48\xB0" "53?5.0022?N 2\xB0" "34?21.6492?E", "48.8847228, 2.5726803"},      // primes, read as "?"
             {"48\xB0" "53\xB4" "5.0022\xB4\xB4N 2\xB0" "34''21.6492''E", "48.8847228, 2.5726803"},
             {"N48\xB0" "53'5.0022\" E2\xB0" "34'21.6492\"", "48.8847228, 2.5726803"},
             {"33deg52'10\"S 151deg12'30\"W", "-33.8694444, -151.2083333"},
             {"48d60'0\"N 2d0'0\"E", ""},       // minutes of 60
             {"48dx53'N 2d34'E", ""},           // "dx" marks nothing
             {"48\xB0" "53'5\"N", ""}})         // no longitude
        EXPECT_EQ(ReadGpsPosition(text).Text, position) << text;
}

// The splitters give views of the line's fields, numbered from 0; a field beyond the last is empty.
TEST(Splitters, CountKeepQuotesAndRefuseWhatDoesNotFit)
{
    LineFields f;
    using Split = void (*)(std::string_view, LineFields&);
    const auto split = [&f](Split how, const std::string& line) {
        how(line, f);
        return std::vector<std::string>(f.begin(), f.end());
    };
    using V = std::vector<std::string>;
    const std::vector<std::tuple<Split, std::string, V>> cases = {
        {SplitOnCommas, "a,,c", V{"a", "", "c"}},     {SplitOnCommas, ",a", V{"", "a"}},
        {SplitOnCommas, "a, b", V{"a", " b"}},        {SplitOnCommas, "\"x,y\",z", V{"\"x,y\"", "z"}},
        {SplitOnCommas, "a,\"b,c", V{"a", "\"b,c"}},  {SplitOnCommas, "a,b,", V{"a", "b,"}},
        {SplitOnCommas, "", V{""}},                   {SplitOnCommas, ",", V{","}},
        {SplitOnTabs, "1,5\tmm\t\t\"a\tb\"", V{"1,5", "mm", "", "\"a\tb\""}},
        {SplitOnSpaces, "  12   3.5 X", V{"12", "3.5", "X"}}, {SplitOnSpaces, "a\tb \"c d\"", V{"a\tb", "\"c", "d\""}},
        {SplitOnSpaces, "   ", V{}},
    };
    for (const auto& [how, line, fields] : cases) EXPECT_EQ(split(how, line), fields) << line;
    split(SplitOnCommas, "x,y");
    EXPECT_EQ(f[2], "");
    EXPECT_EQ(f[kMaxFields], "");

    std::string words;
    for (int i = 1; i <= 41; ++i) words += "w" + std::to_string(i) + " ";
    EXPECT_THROW(SplitOnSpaces(words, f), InputError);
    EXPECT_THROW(SplitOnCommas(std::string(40, ',') + "x", f), InputError);
    EXPECT_NO_THROW(SplitOnCommas(std::string(39, ',') + "x", f));
    EXPECT_EQ(f.size(), kMaxFields);
    EXPECT_NO_THROW(SplitOnTabs(std::string(32767, 'a'), f));
    EXPECT_THROW(SplitOnTabs(std::string(32768, 'a'), f), OverflowError);
    EXPECT_THROW(SplitOnSpaces(std::string(32768, 'a'), f), OverflowError);
}

// A line step that rejects its input ends the reading with file and line; any other exception is
// a fault of the program and escapes as it is, never taken for bad input.
TEST(Splitters, OnlyInputErrorsBecomeReadErrorsOfTheLine)
{
    const auto readFailingAt = [](std::string_view failing, const std::function<void()>& fail) {
        NativeLines lines(std::string_view("a\r\n\r\nb,c\r\n"));
        ForEachLine(lines, "in.txt", [&](std::string_view line, int) {
            if (line == failing) fail();
        });
    };
    for (const auto& fail : std::vector<std::function<void()>>{[] { throw InputError("no \"]\""); },
                                                               [] { ToInt16("x"); }}) {
        try {
            readFailingAt("b,c", fail);
            ADD_FAILURE() << "no ReadError";
        } catch (const ReadError& e) {
            EXPECT_EQ(e.Line(), 3);
            EXPECT_EQ(e.File(), "in.txt");
        }
    }
    EXPECT_THROW(readFailingAt("a", [] { throw std::logic_error("a fault"); }), std::logic_error);
    EXPECT_THROW(readFailingAt("a", [] { PDDXFile().Element("Units", "NoSuchKey"); }), std::out_of_range);
    EXPECT_NO_THROW(readFailingAt("", [] { throw InputError("empty lines are not handed on"); }));
}

}  // namespace
}  // namespace vantrel
