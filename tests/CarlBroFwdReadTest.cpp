// The Carl Bro FWD text reader: the bracket and date-pattern rules, key rules and their order,
// the column layout of title and drop lines by the sensor count, what the next file of a run goes
// on with (and in which document), the values and lines warned of, and the errors that end a
// reading with what was stored before.
// The examples (carlbro/, merge/carlbro-*) cover the usual header, stations, drops and a file
// continued by the next; these tables cover the rest.

#include <gtest/gtest.h>

#include "base/NumberText.h"
#include "import/FileFormats.h"
#include "import/ReaderSupport.h"
#include "support/ReaderTest.h"

namespace vantrel::test {
namespace {

using Lines = std::vector<std::string>;

Expect Config(const char* key, const char* value) { return {"Device Configuration", key, value}; }
Expect Here(const std::string& key, const char* value) { return {"", key, value}; }

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

// Lines skipped and values that are not the numbers or time they should be give one warning a
// line, the values kept as they stand.
TEST(CarlBroFwdRead, RulesByBlockAndTheValuesAndLinesWarnedOf)
{
    // Lines, the warnings they give, what they set, and the sensor count in force before the file.
    ExpectReads(FileType::CarlBroFwd, {
        // The first key rule that a line contains wins.
        {"", {{"$1", "Start reference date\t12,500", "Date of radius check [dd-mm-yy]\t07-04-04", "Remarks\tx",
          "Radial offset [mm]"}}, {},
         {{"Location Identification", "SectionName", "12,500"}, {"Operations Information", "EndDate", "07-Apr-2004"},
          Config("LoadPlateRadius", ""), {"Deflection Data", "NumberOfTestLocations", "0"},
          Config("DeflectionSensorXAxisDistances", ""), Config("NumberOfDeflectionSensors", "0")}, 0},
        // Lines before the first block and in unknown blocks are skipped; "$ 2" and "$02" are block 2.
        {"", {{"Chainage [m]\t1", "$ 2", "Chainage [m]\t2", "$4", "Chainage [m]\t3", "Lane\tx", "$02", "Lane\tL2", "$1",
          "Chainage [m]\t4", "$3", "Chainage [m]\t5", "Lane\ty"}}, {},
         {{"Deflection Data", "NumberOfTestLocations", "1"}, Here("TestLocation", "2, 0, 0"), Here("TestLane", "L2")},
         0},
        // The time is field 4 from its sixth character on; a station keeps its first.
        {"", {{"$2", "Chainage [m]\t0", "$3", "Sequence\t1\tx\tTime=08:07  ", "Sequence\t2\tx\tTime "}},
         {{5, "time \"\" is not a time of day"}},
         {{"Operations Information", "StartTime", "08:07:00"}, {"Operations Information", "EndTime", ":00"}}, 0},
        // The load's title stands after the n deflections and one more column.
        {"", {{"$3", "Drop\tD1\tD2\tD3\tStress\t lbf \tAir"}}, {},
         {{"Units", "LoadUnits", "pound-force"}, {"Units", "TemperatureUnits", "Fahrenheit"}}, 3},
        {"", {{"$3", "Drop\tD1"}}, {}, {{"Units", "LoadUnits", "kilo-Newton"}}, 37},  // field 40, the last there is
        {"", {{"$3", "Drop\tAir\tAir\tAir\tAir\tAir\tAir\tAir\tAir\tAir\tAir"}}, {},
         {Config("NumberOfTemperatureSensors", "10")}, 0},
        // Temperature columns go by their titles ("Pressure" holds "sur"), in column order.
        {"", {Station({"Drop no.\tD1\tD2\tManual\tPressure\tkN\tT AIR", "1\t10\t20\t30\t40\t50\t60"})}, {},
         {Config("NumberOfTemperatureSensors", "3"), Config("TemperatureSensorUse", "Manual, Surface, Air"),
          Here("TestTemperatures", "30, 40, 60")}, 0},
        {"", {Station({"Drop\tD1\tD2\tD3\tx\tkN", "1\t10\t20\t30\t40\t50"})}, {},
         {Config("NumberOfTemperatureSensors", "0"), Config("TemperatureSensorUse", ""), Here("TestTemperatures", ""),
          Here("DropData_1", "50, 10, 20, 30")}, 0},
        // A drop needs a number in field 1 (however large) and more fields than n + t.
        {"", {Station({"2\t200\t170\t140", "3\t201\t171\t141\t700", "Mean\t1\t2\t3\t4\t5\t6", "1e999\t7\t8\t9\tx\t60\t20",
                  " 4 \t1,0\t2\t3\t4\t5\t6,5"})},
         {{8, "the drop line holds 4 fields, too few for 3 deflections and 1 temperatures; it was skipped"},
          {9, "load in field 6 is missing; temperature in field 7 is missing"}},
         {Here("NumberOfDrops", "3"), Here("DropData_1", ", 201, 171, 141"), Here("DropData_2", "60, 7, 8, 9"),
          Here("DropData_3", "5, 1.0, 2, 3"), Here("TestTemperatures", "6.5")}, 0},
        // Chainage units: the customary ones complete the three, others stay as written.
        {"", {{"$2", "Chainage [MI]\t1,5"}}, {}, {{"Units", "TestLocationUnits", "mile, foot, foot"}, Here("TestLocation", "1.5, 0, 0")}},
        {"", {{"$2", "Chainage [km]\t1"}}, {}, {{"Units", "TestLocationUnits", "km"}}},
        {"", {{"$2", "Chainage [Foot]\t1"}}, {}, {{"Units", "TestLocationUnits", "Foot, inch, inch"}}},
        {"", {{"$2", "Chainage [kilometer]\t1"}}, {}, {{"Units", "TestLocationUnits", "kilometer, meter, meter"}}},
        {"drops too short and wrong", {Station({"2\t1\t2", "3\t1,5\tx\t3\t0\t\t18,x"})},
         {{8, "the drop line holds 3 fields, too few for 3 deflections and 1 temperatures; it was skipped"},
          {9, "load in field 6 is missing; deflection 2 \"x\" is not a number; temperature \"18.x\" is not a number"}},
         {Here("NumberOfDrops", "1"), Here("DropData_1", ", 1.5, x, 3"), Here("TestTemperatures", "18.x")}},
        {"a date longer than its layout", {{"$1", "Date [dd-mm-yy]\t07-04-04 x"}},
         {{2, "the date \"07-04-04 x\" is longer than its layout \"dd-mm-yy\": \" x\" was not read"}},
         {{"Operations Information", "EndDate", "07-Apr-2004"}}},
        {"a time", {{"$2", "Chainage [m]\t0", "$3", "Sequence\t1\tx\tTime 9.31"}},
         {{4, "time \"9.31\" is not a time of day"}}, {Here("TestTime", "9.31:00")}},
    });
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

TEST(CarlBroFwdRead, ErrorsNameTheLineAndKeepWhatWasStored)
{
    // Lines, what stays set, the sensor count before, and the failing line with a word of its reason.
    std::vector<ReadCase> cases = {
        {"", {{"$1", "Filename\tB7.FWD", "", "$x"}}, {}, {{"Operations Information", "FileName", "B7.FWD"}}, 0, {4, "block"}},
        {"", {{"$1", "Date [dd-mm-yy]\t12-ab-03"}}, {}, {}, 0, {2, "month"}},
        {"", {{"$1", "Plate radius mm\t150"}}, {}, {}, 0, {2, "]"}},
        {"", {{"$2", "Chainage m]["}}, {}, {}, 0, {2, "]"}},
        {"", {{"$2", "Remarks\tx"}}, {}, {}, 0, {2, "Chainage"}},
        {"", {{"$3", "Sequence\t1\t\tTime"}}, {}, {}, 0, {2, "Time"}},
        // The offsets replace the count before the file, and it cuts the drop line.
        {"", {{"$1", "Radial offset [mm]\t0", "$3", "1\t2\tx\t4"}}, {},
         {Config("NumberOfDeflectionSensors", "1")}, 5, {4, "Chainage"}},
        {"", {{"$3", "Drop\tAir\tAir\tAir\tAir\tAir\tAir\tAir\tAir\tAir\tAir\tAir"}}, {}, {}, 0, {2, "10"}},
        {"", {{"$1", "Radial offset [mm]" + std::string(40, '\t') + "x"}}, {}, {}, 0, {2, "40"}},
        {"", {{"$2", "Chainage [m]\t0", "$3", "1\t2\t3\t4\t5\t6"}}, {}, {Here("TestLocation", "0, 0, 0")}, -2, {4, "-2"}},
        {"", {{"$3", "Drop\tD1"}}, {}, {}, 38, {2, "41"}},
    };
    // The reading ended there: the closing values are not set.
    for (ReadCase& c : cases) c.expect.push_back({"Device Information", "DeviceDesignationName", ""});
    ExpectReads(FileType::CarlBroFwd, cases, {.warnings = false});
}

}  // namespace
}  // namespace vantrel::test
