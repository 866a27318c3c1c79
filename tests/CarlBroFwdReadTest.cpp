// The Carl Bro FWD text reader, where a case file cannot say it: the bracket and date-pattern
// rules, and what the next file of a run goes on with (and in which document). Its line rules are
// cases in data/readers/carlbro-fwd.cases; the examples (carlbro/, merge/carlbro-*) cover the
// usual header, stations, drops and a file continued by the next.

#include <gtest/gtest.h>

#include "base/NumberText.h"
#include "import/FileFormats.h"
#include "import/ReaderSupport.h"
#include "support/ReaderTest.h"

namespace vantrel::test {
namespace {

using Lines = std::vector<std::string>;

// A station of three sensors whose title line names one air temperature, in field 7.
Lines Station(Lines drops)
{
    Lines lines{"$1", "Radial offset [mm]\t0\t300\t600", "$2", "Chainage [m]\t0", "$3", "Sequence no.\t1\t\tTime 10:32",
                "Drop no.\tD1\tD2\tD3\tStress\tLoad [kN]\tAir temp."};
    lines.insert(lines.end(), drops.begin(), drops.end());
    return lines;
}

TEST(CarlBroFwdText, BracketsAndDatePatterns)
{
    for (const auto& [text, inside] :
         {std::pair{"Chainage [m]", "m"}, {"Radius [mm] [in]", "mm"}, {"Empty []", ""}, {"mm] no opening", "mm"}})
        EXPECT_EQ(BracketContents(text), inside) << text;
    // Separators are skipped whatever stands under them; a short text leaves the rest out. A year
    // written whole where the pattern has two letters is that year, and what stands beyond the
    // pattern is handed back.
    const std::array<const char*, 4> dates[] = {
        {"YYYY.MM.DD", "2004.02.09", "09-Feb-2004", ""}, {"mm/dd/yy", "02/09/04", "09-Feb-2004", ""},
        {"dd-mm-yy", "12x05x03", "12-May-2003", ""},     {"dd-mm-yy", "12-05-3", "12-May-2003", ""},
        {"dd/mm/yy", "12/04/2023", "12-Apr-2023", ""},   {"yy/mm/dd", "2023/04/12", "12-Apr-2023", ""},
        {"yymmdd", "230412", "12-Apr-2023", ""},         {"dd/mm/yy", "12/04/202", "12-Apr-2020", "2"},
        {"dd/mm/yy", "12/04/20235", "12-Apr-2020", "235"}};
    for (const auto& [pattern, text, date, rest] : dates) {
        std::string unread = "?";
        EXPECT_EQ(FormatDate(DateFromPattern(pattern, text, &unread)), date) << text;
        EXPECT_EQ(unread, rest) << text;
    }
    EXPECT_THROW(DateFromPattern("dd-mm-yy", "12-05-"), ConversionError);  // nothing under the year
}

TEST(CarlBroFwdRead, NextFileGoesOnWithTheLastLocationOfItsDocumentOnly)
{
    ReaderRun run;
    run.Read(FileType::CarlBroFwd, Station({"1\t1\t2\t3\tx\t40\t10"}));
    // Another document has no test location: its sequence line sets the times, its drop fails.
    PDDXFile other;
    EXPECT_THROW(run.ReadInto(FileType::CarlBroFwd, other, "$3\r\nSequence\t1\tx\tTime 12:00\r\n1\t4\t5\t6\tx\t41\t11\r\n"),
                 ReadError);
    EXPECT_EQ(other.Element("Operations Information", "StartTime").Value(), "12:00:00");
    // A file that fails still hands on the location it opened; a drop before "$" is in no block.
    EXPECT_EQ(run.Failure(FileType::CarlBroFwd, {"1\t9\t9\t9\tx\t99\t99", "$2", "Chainage [m]\t50", "$x"}).Line(), 4);
    run.Read(FileType::CarlBroFwd, {"$2", "Lane\tR2", "$3", "Sequence\t2\tx\tTime 11:00", "2\t4\t5\t6\tx\t41\t11"});
    run.ExpectValues({{"Test Location 1", "NumberOfDrops", "1"}, {"Test Location 1", "TestTime", "10:32:00"},
                      {"Test Location 2", "TestLane", "R2"}, {"Test Location 2", "TestTime", "11:00:00"},
                      {"Test Location 2", "DropData_1", "41, 4, 5, 6"}, {"Test Location 2", "TestTemperatures", "11"}});
}

}  // namespace
}  // namespace vantrel::test
