// PDDX files of other writers read whole: test locations and drops numbered from 0 or with gaps,
// counters that disagree with what the file holds, long values, keys and sections the template
// lacks; and what the reading says about each. The longer files, and what they must write, are
// in tests/data/pddx-other-writers.

#include <gtest/gtest.h>

#include "import/FileFormats.h"
#include "support/ReaderTest.h"

namespace vantrel::test {
namespace {

// A file of tests/data/pddx-other-writers.
std::string Data(const std::string& name)
{
    return ReadBytes(std::filesystem::path(VANTREL_TEST_DATA) / "pddx-other-writers" / name);
}

TEST(PDDXOtherWriters, ReadsLocationsAndDropsNumberedFromZeroWithoutDeflectionData)
{
    ReaderRun reading;
    EXPECT_EQ(reading.ReadText(FileType::PDDX, Data("from-zero.DDX")).Written(), Data("from-zero.expected.DDX"));
    EXPECT_EQ(reading.NumSensors, 2);
    ExpectWarnings(reading.Warnings,
                 {{5, "[Test Location 0] read as Test Location 1; 2 test locations renumbered, from 1 in file order"},
                  {8, "DropData_0 read as DropData_1; 3 drops renumbered, from 1 in each test location in file order"},
                  {10, "DropHistoryData_0_0 read as DropHistoryData_1_1; 4 drop histories renumbered, with their "
                       "drops, samples from 1 in file order"},
                  {0, "NumberOfTestLocations is missing, the file holds 2 test locations; all 2 were read"}},
                 "numbered from 0");

    // Appended after the document's own locations, whose counter counts them.
    ReaderRun appended;
    appended.Document.AddTestLocation();
    appended.ReadText(FileType::PDDX, CrLf({"[Test Location 0]", "DropData_0 = 1", "[Test Location 3]", "DropData_4 = 2"}), true);
    EXPECT_EQ(appended.Document.Element("Deflection Data", "NumberOfTestLocations").Value(), "3");
    EXPECT_EQ(appended.Document.Element("Test Location 3", "DropData_1").Value(), "2");
    EXPECT_EQ(appended.Document.Element("Test Location 3", "NumberOfDrops").Value(), "1");
}

// Whatever the counters say, every location and drop is read and the counters count them.
TEST(PDDXOtherWriters, CountersThatDisagreeWithTheFileAreSetToWhatWasRead)
{
    std::vector<std::string> lines = {"[Deflection Data]", "NumberOfTestLocations = 2"};
    for (int n = 1; n <= 5; ++n)
        lines.insert(lines.end(), {"[Test Location " + std::to_string(n) + "]", "NumberOfDrops = 1", "DropData_1 = a"});
    lines.insert(lines.begin() + 8, {"DropData_2 = b", "DropData_4 = c"});  // in Test Location 2
    for (const bool append : {false, true}) {
        ReaderRun reading;
        reading.ReadText(FileType::PDDX, CrLf(lines), append);
        const PDDXFile& document = reading.Document;
        EXPECT_EQ(document.Element("Deflection Data", "NumberOfTestLocations").Value(), "5");
        EXPECT_EQ(document.Element("Test Location 5", "DropData_1").Value(), "a");
        EXPECT_EQ(document.Element("Test Location 2", "NumberOfDrops").Value(), "3");
        EXPECT_EQ(document.Element("Test Location 2", "DropData_3").Value(), "c");
        ExpectWarnings(reading.Warnings,
                     {{7, "NumberOfDrops says 1, the location holds 3 drops; all 3 were read"},
                      {10, "DropData_4 read as DropData_3; 1 drop renumbered, from 1 in each test location in file "
                           "order"},
                      {2, "NumberOfTestLocations says 2, the file holds 5 test locations; all 5 were read"}},
                     append ? "appended" : "new");
    }

    // The location's lines follow its header on line 3; a missing counter is told at the header.
    const struct {
        std::vector<std::string> location;
        std::string counter;
        std::vector<Warned> warnings;
    } cases[] = {
        {{"NumberOfDrops = 2", "DropData_1 = a", "DropData_2 = b"}, "2", {}},
        {{"NumberOfDrops = 2.0", "DropData_1 = a", "DropData_2 = b"}, "2.0", {}},
        {{"TestLane = 1"}, "", {}},
        {{"NumberOfDrops = 3", "DropData_1 = a", "DropData_2 = b"}, "2",
         {{4, "NumberOfDrops says 3, the location holds 2 drops; all 2 were read"}}},
        {{"NumberOfDrops =", "DropData_1 = a"}, "1",
         {{4, "NumberOfDrops is empty, the location holds 1 drop; it was read"}}},
        {{"DropData_1 = a"}, "1", {{3, "NumberOfDrops is missing, the location holds 1 drop; it was read"}}},
        {{"NumberOfDrops = lots"}, "0", {{4, "NumberOfDrops says \"lots\", the location holds no drops"}}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> file = {"[Deflection Data]", "NumberOfTestLocations = 1", "[Test Location 1]"};
        file.insert(file.end(), c.location.begin(), c.location.end());
        ReaderRun reading;
        reading.ReadText(FileType::PDDX, CrLf(file));
        EXPECT_EQ(reading.Document.Element("Test Location 1", "NumberOfDrops").Value(), c.counter) << c.location[0];
        ExpectWarnings(reading.Warnings, c.warnings, c.location[0]);
    }
}

TEST(PDDXOtherWriters, KeepsValuesLongerThan255CharactersWhole)
{
    const std::string longValue = std::string(699, 'v') + "w";
    ReaderRun reading;
    reading.ReadText(FileType::PDDX, CrLf({"[Location Identification]", "SiteName = \"" + longValue + "\"", "Extra = " + longValue,
                       "[Deflection Data]", "NumberOfTestLocations = 1", "[Test Location 1]",
                       "TestComment = " + longValue, "NumberOfDrops = 1", "DropData_1 = " + longValue + "  ",
                       "DropHistoryData_1_1 = " + longValue, "[Elsewhere]", "Note = " + longValue}));
    for (const auto& [section, key] : std::vector<std::pair<const char*, const char*>>{
             {"Location Identification", "SiteName"}, {"Location Identification", "Extra"},
             {"Test Location 1", "TestComment"}, {"Test Location 1", "DropData_1"},
             {"Test Location 1", "DropHistoryData_1_1"}, {"Elsewhere", "Note"}})
        EXPECT_EQ(reading.Document.Element(section, key).Value(), longValue) << section << " " << key;
    EXPECT_NE(reading.Written().find("DropData_1 = " + longValue + "\r\n"), std::string::npos);
    ExpectWarnings(reading.Warnings, {}, "long values");
}

// Keys and sections the template lacks stay where the file has them: a key after the template's
// keys of its section, a section after the template; written and read again, nothing changes.
TEST(PDDXOtherWriters, KeepsKeysAndSectionsTheTemplateLacksInPlace)
{
    const std::string file = Data("foreign-keys.DDX"), expected = Data("foreign-keys.expected.DDX");
    ReaderRun first;
    EXPECT_EQ(first.ReadText(FileType::PDDX, file).Written(), expected);
    ExpectWarnings(first.Warnings, {}, "first reading");
    ReaderRun second;
    EXPECT_EQ(second.ReadText(FileType::PDDX, expected).Written(), expected);
    ExpectWarnings(second.Warnings, {}, "our own text");

    // Appended: the file's values replace the document's, the document's other keys stay, and a
    // section the document has already is left alone.
    ReaderRun appended;
    appended.ReadText(FileType::PDDX, CrLf({"[Units]", "SensorLocationUnits = inch", "Spare = kept", "[Vendor Notes]", "Crew = one"}));
    appended.ReadText(FileType::PDDX, file, true);
    EXPECT_EQ(appended.Document.Element("Units", "SensorLocationUnits").Value(), "millimeter");
    EXPECT_EQ(appended.Document.Element("Units", "Spare").Value(), "kept");
    EXPECT_EQ(appended.Document.Element("Vendor Notes", "Crew").Value(), "one");
    EXPECT_EQ(appended.Document.Element("Test Location 1", "Chainage").Value(), "0+025");
    ExpectWarnings(appended.Warnings, {{5, "[Vendor Notes] is in the document already; its lines are ignored"}},
                 "appended");
}

TEST(PDDXOtherWriters, SaysWhichLinesWereIgnoredAndWhy)
{
    ReaderRun reading;
    reading.ReadText(FileType::PDDX, Data("ignored-lines.DDX"));
    ExpectWarnings(reading.Warnings,
                 {{1, "a key before any [section]; ignored"},
                  {4, "operatorname repeats an earlier key of this section; ignored"},
                  {5, "not a [section] header nor a key = value line; ignored"},
                  {6, "not a [section] header nor a key = value line; ignored"},
                  {7, "[Operations Information] repeats an earlier section; its lines are ignored"},
                  {14, "DropData_01 repeats an earlier key of this section; ignored"},
                  {15, "DropHistoryData_7_1: the test location has no DropData_7; ignored"},
                  {16, "[Test Location 01] repeats test location 1; its lines are ignored"}},
                 "ignored lines");
    EXPECT_EQ(reading.Document.Element("Operations Information", "OperatorName").Value(), "A");
    EXPECT_EQ(reading.Document.Element("Operations Information", "EndDate").Value(), "");
    EXPECT_EQ(reading.Document.Section("Test Location 1").Elements().Count(), 10);
}

}  // namespace
}  // namespace vantrel::test
