// PDDX files of other writers read whole, and what the reading writes of them: locations and drops
// numbered from 0, keys and sections the template lacks. The files are in
// tests/data/pddx-other-writers; what a reading sets and says of shorter ones is in
// tests/data/readers/pddx.cases.

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
}

// Keys and sections the template lacks stay where the file has them: a key after the template's
// keys of its section, a section after the template; written and read again, nothing changes.
TEST(PDDXOtherWriters, KeepsKeysAndSectionsTheTemplateLacksInPlace)
{
    const std::string expected = Data("foreign-keys.expected.DDX");
    ReaderRun first;
    EXPECT_EQ(first.ReadText(FileType::PDDX, Data("foreign-keys.DDX")).Written(), expected);
    ExpectWarnings(first.Warnings, {}, "first reading");
    ReaderRun second;
    EXPECT_EQ(second.ReadText(FileType::PDDX, expected).Written(), expected);
    ExpectWarnings(second.Warnings, {}, "our own text");
}

}  // namespace
}  // namespace vantrel::test
