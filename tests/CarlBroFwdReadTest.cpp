// The Carl Bro FWD text reader, where a case file cannot say it: the bracket rule, and what the
// next file of a run goes on with (and in which document). Its line rules and date layouts are
// cases in data/readers/carlbro-fwd.cases; the examples (carlbro/, merge/carlbro-*) cover the
// usual header, stations, drops and a file continued by the next.

#include <gtest/gtest.h>

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

// A unit is the text of the first brackets; a bracket without its pair ends or starts it.
TEST(CarlBroFwdText, BracketsTakeTheFirstPair)
{
    for (const auto& [text, inside] :
         {std::pair{"Chainage [m]", "m"}, {"Radius [mm] [in]", "mm"}, {"Empty []", ""}, {"mm] no opening", "mm"}})
        EXPECT_EQ(BracketContents(text), inside) << text;
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
    const Lines failing = {"1\t9\t9\t9\tx\t99\t99", "$2", "Chainage [m]\t50", "$x"};
    EXPECT_EQ(ReadFailure([&] { run.Read(FileType::CarlBroFwd, failing); }).Line(), 4);
    run.Read(FileType::CarlBroFwd, {"$2", "Lane\tR2", "$3", "Sequence\t2\tx\tTime 11:00", "2\t4\t5\t6\tx\t41\t11"});
    run.ExpectValues({{"Test Location 1", "NumberOfDrops", "1"}, {"Test Location 1", "TestTime", "10:32:00"},
                      {"Test Location 2", "TestLane", "R2"}, {"Test Location 2", "TestTime", "11:00:00"},
                      {"Test Location 2", "DropData_1", "41, 4, 5, 6"}, {"Test Location 2", "TestTemperatures", "11"}});
}

}  // namespace
}  // namespace vantrel::test
