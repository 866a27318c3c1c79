// The Dynatest F25 reader, where a case file cannot say it: how many warnings a file of bad lines
// lists, and how they are shown. Its rules are cases in data/readers/f25.cases.

#include <gtest/gtest.h>

#include "import/FileFormats.h"
#include "support/ReaderTest.h"

namespace vantrel {
namespace {

// A file of bad lines lists the first five warnings of each kind and counts them all.
TEST(F25Read, AFileOfBadLinesListsAFewWarningsOfEachKindAndCountsTheRest)
{
    test::ReaderRun run;
    run.Read(FileType::DynatestF25, std::vector<std::string>(25, "5303,x,N0,N0,N0"));
    EXPECT_EQ(run.Warnings.Count(), 25u);
    // As the user reads them: the file, the line (none for the file as a whole), the rest counted.
    ReadWarnings many;
    many.Add(0, "whole");
    for (int line = 2; line <= 21; ++line) many.Add(line, "x");
    const std::vector<std::string> shown = WarningLines("f.F25", many, "warning: ");
    EXPECT_EQ(shown.front(), "f.F25: warning: whole");
    EXPECT_EQ(shown[1], "f.F25:2: warning: x");
    EXPECT_EQ(shown.back(), "f.F25: warning: and 15 more warnings like the one of line 2, not listed");
    many.Add(22, "x");
    EXPECT_EQ(WarningLines("f.F25", many).back(), "f.F25: and 16 more warnings like the one of line 2, not listed");
    EXPECT_EQ(run.Warnings.Listed().back().Line, 5);
    // A kind: the text without its numbers and quoted values.
    for (const auto& [what, kind] : std::vector<std::pair<std::string, std::string>>{
             {"load \"x1\" in field 5 is not a number", "load \"\" in field # is not a number"},
             {"DropData_12 read as DropData_1; 3 drops renumbered", "DropData_# read as DropData_#; # drops renumbered"},
             {"offset -1.5e3 mm, +2 and .5", "offset # mm, # and #"}, {"5301-7 line2", "#-# line#"}})
        EXPECT_EQ(WarningPattern(what), kind) << what;

    // A history block met again for one drop: each sample refused, its faults said first while
    // listed, and past the twenty listed only counted.
    std::vector<std::string> lines = {"5020,150,0,N0", "5301,0", "5301,1,x,x,x,1,x,x,L,4,4,7,9,0", "1,100,10"};
    for (const char* sample : {"1,5,1", "1,6,x"}) {
        lines.push_back("5185,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,22");
        lines.insert(lines.end(), 22, sample);
    }
    test::ReaderRun histories;
    histories.NumSensors = 1;
    histories.Read(FileType::DynatestF25, lines);
    EXPECT_EQ(histories.Warnings.Count(), 22u);
    EXPECT_EQ(histories.Warnings.Listed().front().What,
              "deflection 1 \"x\" is not a number; section \"Test Location 1\" already has an element "
              "\"DropHistoryData_1_1\"; the rest of the line was skipped");
    EXPECT_EQ(histories.Document.Section("Test Location 1").Element("DropHistoryData_1_22").Value(), "5, 1");
}

// A time-history block after every drop, as field programs write when every history is kept: no
// drop and no sample is lost. Small lines: one sensor, the values name their station, drop and
// sample.
TEST(F25Read, ABlockAfterEveryDropOfAHundredStationsKeepsEveryDropAndSample)
{
    constexpr int kStations = 100, kDrops = 3, kSamples = 4;
    const auto text = [](int first, auto... rest) { return (std::to_string(first) + ... + ("," + std::to_string(rest))); };
    std::vector<std::string> lines = {"5020,150,0,N0", "5301,0"};
    for (int s = 1; s <= kStations; ++s) {
        lines.push_back("5301," + text(s) + ",x,x,x,1,x,x,L,4,4,7,9,0");
        for (int d = 1; d <= kDrops; ++d) {
            lines.push_back(text(d, 100 * d, s));
            lines.push_back("5185,0,1,4,3,1.0,1,1,L,,4,4,7,9,0," + text(d, kSamples, 80, -1));
            for (int k = 1; k <= kSamples; ++k) lines.push_back(text(1000 + k, k, s * 10 + d));
        }
    }
    test::ReaderRun run;
    run.NumSensors = 1;
    run.Read(FileType::DynatestF25, lines);
    EXPECT_EQ(run.Warnings.Count(), 0u);
    EXPECT_EQ(run.Document.Section("Deflection Data").Element("NumberOfTestLocations").Value(), "100");
    for (int s = 1; s <= kStations; ++s) {
        const PDDXSection& location = run.Document.Section("Test Location " + std::to_string(s));
        EXPECT_EQ(location.Element("NumberOfDrops").Value(), "3");
        for (int d = 1; d <= kDrops; ++d) {
            EXPECT_EQ(location.Element("DropData_" + std::to_string(d)).Value(),
                      std::to_string(100 * d) + ", " + std::to_string(s));
            for (int k = 1; k <= kSamples; ++k)
                EXPECT_EQ(location.Element("DropHistoryData_" + std::to_string(d) + "_" + std::to_string(k)).Value(),
                          std::to_string(k) + ", " + std::to_string(s * 10 + d));
        }
    }
}

}  // namespace
}  // namespace vantrel
