// The text routines every native reader leans on.

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>

#include "base/modConvert.h"
#include "import/modShared.h"

namespace vantrel {
namespace {

std::vector<std::string> Entries(const FieldArray& fields)
{
    std::vector<std::string> used(fields.begin(), fields.begin() + 1 + std::stoi(fields[0]));
    return used;
}

TEST(TextContains, IgnoresCaseAndTakesTheSoughtTextFirst)
{
    EXPECT_TRUE(TextContains("kn", "Load  KN"));
    EXPECT_FALSE(TextContains("Load  KN", "kn"));
    EXPECT_FALSE(TextContains("Station", ""));
    EXPECT_TRUE(TextContains("", "x"));
    EXPECT_TRUE(TextContains("\xE9t\xE9", "\xC9T\xC9 2003"));  // accented letters fold too
}

TEST(NormaliseUnitName, MapsAbbreviationsInTableOrderAndLeavesOthersAlone)
{
    EXPECT_EQ(NormaliseUnitName("mm"), "millimeter");
    EXPECT_EQ(NormaliseUnitName("Mm"), "millimeter");
    EXPECT_EQ(NormaliseUnitName("(in)"), "inch");
    EXPECT_EQ(NormaliseUnitName("\xB5m"), "micron");
    EXPECT_EQ(NormaliseUnitName("um"), "micron");
    EXPECT_EQ(NormaliseUnitName("\xB0" "f"), "Fahrenheit");
    EXPECT_EQ(NormaliseUnitName("f"), "Fahrenheit");
    EXPECT_EQ(NormaliseUnitName("\xB0" "C"), "Celsius");
    EXPECT_EQ(NormaliseUnitName("Mils"), "mil");
    EXPECT_EQ(NormaliseUnitName("m"), "meter");
    EXPECT_EQ(NormaliseUnitName("mi"), "mile");
    EXPECT_EQ(NormaliseUnitName("kn"), "kilo-Newton");
    EXPECT_EQ(NormaliseUnitName("Kgf"), "kilogram-force");
    EXPECT_EQ(NormaliseUnitName("lbf"), "pound-force");
    EXPECT_EQ(NormaliseUnitName("hz"), "Hertz");
    EXPECT_EQ(NormaliseUnitName("kPa"), "kPa");
    EXPECT_EQ(NormaliseUnitName(" mm"), " mm");
    EXPECT_EQ(NormaliseUnitName(""), "");
}

TEST(CommaToPointAndCollapseSpaces, ChangeOnlyWhatTheySay)
{
    EXPECT_EQ(CommaToPoint("1,25"), "1.25");
    EXPECT_EQ(CommaToPoint("1,234,5"), "1.234.5");
    EXPECT_EQ(CollapseSpaces("   a    b  c "), "a b c");
    EXPECT_EQ(CollapseSpaces("a\t\tb"), "a\t\tb");
    EXPECT_EQ(CollapseSpaces(" \t a  \t"), "\t a \t");
    EXPECT_EQ(CollapseSpaces("    "), "");
    EXPECT_EQ(CollapseSpaces(""), "");
}

TEST(SplitOnCommas, CountsFieldsAndKeepsQuotesAndBlanks)
{
    FieldArray fields;
    SplitOnCommas("a,b,c", fields);
    EXPECT_EQ(Entries(fields), (std::vector<std::string>{"3", "a", "b", "c"}));
    SplitOnCommas("a,,c", fields);
    EXPECT_EQ(Entries(fields), (std::vector<std::string>{"3", "a", "", "c"}));
    SplitOnCommas(",a", fields);
    EXPECT_EQ(Entries(fields), (std::vector<std::string>{"2", "", "a"}));
    SplitOnCommas("a, b", fields);
    EXPECT_EQ(Entries(fields), (std::vector<std::string>{"2", "a", " b"}));
    SplitOnCommas("\"x,y\",z", fields);
    EXPECT_EQ(Entries(fields), (std::vector<std::string>{"2", "\"x,y\"", "z"}));
    SplitOnCommas("a,\"b,c,d", fields);
    EXPECT_EQ(Entries(fields), (std::vector<std::string>{"2", "a", "\"b,c,d"}));
    SplitOnCommas("a,b,", fields);  // the last character never separates
    EXPECT_EQ(Entries(fields), (std::vector<std::string>{"2", "a", "b,"}));
    SplitOnCommas("", fields);
    EXPECT_EQ(Entries(fields), (std::vector<std::string>{"1", ""}));
    SplitOnCommas(",", fields);
    EXPECT_EQ(Entries(fields), (std::vector<std::string>{"1", ","}));
}

TEST(SplitOnTabs, SeparatesOnTabsOnly)
{
    FieldArray fields;
    SplitOnTabs("1,5\tmm\t\t\"a\tb\"", fields);
    EXPECT_EQ(Entries(fields), (std::vector<std::string>{"4", "1,5", "mm", "", "\"a\tb\""}));
}

TEST(SplitOnSpaces, TreatsRunsOfBlanksAsOneSeparator)
{
    FieldArray fields;
    SplitOnSpaces("  12   3.5 X", fields);
    EXPECT_EQ(Entries(fields), (std::vector<std::string>{"3", "12", "3.5", "X"}));
    SplitOnSpaces("A", fields);
    EXPECT_EQ(Entries(fields), (std::vector<std::string>{"1", "A"}));
    SplitOnSpaces("a\tb \"c d\"", fields);
    EXPECT_EQ(Entries(fields), (std::vector<std::string>{"3", "a\tb", "\"c", "d\""}));
    SplitOnSpaces("   ", fields);
    EXPECT_EQ(fields[0], "0");
    EXPECT_EQ(fields[1], "");
}

TEST(Splitters, EmptyEveryEntryAboveTheLastField)
{
    FieldArray fields;
    std::string many;
    for (int i = 1; i <= 40; ++i) many += std::to_string(i) + " ";
    SplitOnSpaces(many, fields);
    EXPECT_EQ(fields[0], "40");
    EXPECT_EQ(fields[40], "40");
    SplitOnCommas("x,y", fields);
    for (std::size_t i = 3; i < fields.size(); ++i) EXPECT_EQ(fields[i], "") << i;
}

TEST(Splitters, ReportTooManyFieldsAfterFillingWhatFits)
{
    FieldArray fields;
    std::string words;
    for (int i = 1; i <= 41; ++i) words += "w" + std::to_string(i) + " ";
    EXPECT_THROW(SplitOnSpaces(words, fields), std::out_of_range);
    EXPECT_EQ(fields[1], "w1");
    EXPECT_EQ(fields[40], "w40");
    std::string commas(40, ',');
    EXPECT_THROW(SplitOnCommas(commas + "x", fields), std::out_of_range);

    std::array<std::string, 26> small;  // the KUAB offset list is shorter
    std::string offsets;
    for (int i = 0; i < 26; ++i) offsets += "0 ";
    EXPECT_THROW(SplitOnSpaces(offsets, small), std::out_of_range);
    EXPECT_NO_THROW(SplitOnSpaces(offsets.substr(2), small));
    EXPECT_EQ(small[0], "25");
}

TEST(Splitters, RejectLinesLongerThan32767Characters)
{
    FieldArray fields;
    EXPECT_NO_THROW(SplitOnTabs(std::string(32767, 'a'), fields));
    EXPECT_THROW(SplitOnTabs(std::string(32768, 'a'), fields), OverflowError);
    EXPECT_THROW(SplitOnSpaces(std::string(32768, 'a'), fields), OverflowError);
}

}  // namespace
}  // namespace vantrel
