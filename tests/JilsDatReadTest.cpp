// The JILS DAT reader: how the pre-scan picks the layout (the drop mark, or data lines longer
// than load and deflections by the count before the file), short data lines, point numbers,
// mended dates and times, exact keywords, sensor names, what starts afresh with each file and
// what stays, the JILS defaults, the lines a point carries (GPS, notes, air temperature) and
// which point takes them, the lines taken only in part (warned of), and the input that ends a
// reading, a time history among it. The examples (jils-dat/) cover a usual file of each layout.

#include <gtest/gtest.h>

#include "import/FileFormats.h"
#include "support/JilsTimeHistory.h"
#include "support/ReaderTest.h"

namespace vantrel::test {
namespace {

using Lines = std::vector<std::string>;

// A DAT file: the device name, then `lines`.
Lines Dat(Lines lines)
{
    lines.insert(lines.begin(), "FWD");
    return lines;
}

Expect Drop(int number, const std::string& value) { return {"", "DropData_" + std::to_string(number), value}; }
Expect Start(const std::string& key, const std::string& value) { return {"Operations Information", key, value}; }
Expect Here(const std::string& key, const std::string& value) { return {"", key, value}; }
Expect Config(const std::string& key, const std::string& value) { return {"Device Configuration", key, value}; }

TEST(JilsDatRead, LinesAndLayouts)
{
    // The sensor count before the file, its lines after the device name, and what they set.
    ExpectReads(FileType::JilsDat, {
        // Short layout: one location takes all; kips to pounds; missing deflections stay empty.
        {"", {Dat({"-1.5e0 7", "2 1 2 3", "0.00000001 1 2 3"})}, {},
         {Drop(1, "-1500, 7, , "), Drop(3, "0.00001, 1, 2, 3"), Here("TestLocation", "")}, 3},
        {"", {Dat({"4.5"})}, {}, {Drop(1, "4500")}, 0},
        // N + 1 fields is the short layout, N + 2 already the extended one.
        {"", {Dat({"5 1 2"})}, {}, {Drop(1, "5000, 1, 2")}, 2},
        {"", {Dat({"5 1 2 3 4"})}, {}, {Drop(1, "4000, , "), Here("TestLocation", "2, 0, 0")}, 2},
        // A point number starts a location unless it is the last one again ("2.0" is 2).
        {"", {Dat({"1 L 0.1 7 9 1 2 60", "2 R 0.2 7 9 1 2 61", "2.0 R 0.2 7 8 3 4 63"})}, {},
         {{"Deflection Data", "NumberOfTestLocations", "2"}, Here("NumberOfDrops", "2"), Drop(2, "8000, 3, 4")}, 2},
        // The drop mark alone makes a file extended.
        {"", {Dat({"1 L 0.5 1 9 1 2", "Drop Sequence Completed Time: 10:25"})}, {},
         {Drop(1, "9000, 1, 2, , , , , "), Here("TestTemperatures", ", "), Here("TestTime", "10:25:00")}, 7},
        {"", {Dat({"Drop Sequence Completed Time: 1:00", "1 2 3 4 5"})}, {}, {Here("TestLane", "2")}, 34},  // needs F(40)
        // The pre-scan counts with the sensors before the file, not with its "Sensors:" line.
        {"", {Dat({"Sensors: A B C", "1 L 0.5 1 9 1 2 3 60"})}, {}, {Drop(1, "9000, 1, 2, 3"), Here("TestTemperatures", ", 60")}, 7},
        {"", {Dat({"Sensors: A12 chop B7 Chop chop", "1 2 3 4 5 6"})}, {},
         {Config("NumberOfDeflectionSensors", "5"), Drop(1, "1000, 2, 3, 4, 5, 6"),
          {"Device Information", "SensorSerialNumbers", "A12, chop2, B7, Chop, chop5"}}, 7},
        // Commas part sensor names as blanks do.
        {"", {Dat({"Sensors: 1,  2, 3", "9 1 2 3"})}, {},
         {Config("NumberOfDeflectionSensors", "3"), {"Device Information", "SensorSerialNumbers", "1, 2, 3"},
          Drop(1, "9000, 1, 2, 3")}, 7},
        {"", {Dat({"Sensors: A12,chop ,B7,"})}, {}, {{"Device Information", "SensorSerialNumbers", "A12, chop2, B7"}}, 7},
        // Keywords match exactly and take their first word; a "Drop" line always appends seconds.
        {"", {Dat({"Location: SR-9 north", "Operator: R. Jones", "location: x", "OPERATOR: x", "temp: 9", "Comments: 5 6",
             "Note: 1 2", "sensors: a b", "Sensors:", "Header 1 2 3", "Drop Sequence Completed Time: 10:25:30"})}, {},
         {{"Location Identification", "SiteName", "SR-9"}, Start("OperatorName", "R."), Start("EndTime", "10:25:30:00"),
          Config("NumberOfDeflectionSensors", "0"), Config("NumberOfTemperatureSensors", ""),
          {"Deflection Data", "NumberOfTestLocations", "0"}}, 7},
        // Dates are month/day/year, times and dates mended where blank padding cut them.
        {"", {Dat({"Date-Time: 1/ 2/2006 14:30: 7"})}, {}, {Start("StartDate", "02-Jan-2006"), Start("StartTime", "14:30:07")}, 7},
        {"", {Dat({"Date-Time: 7/1/75 0: 0: 0"})}, {}, {Start("StartDate", "01-Jul-1975"), Start("StartTime", "00:00:00")}, 7},
        {"", {Dat({"Date-Time: 12/31/1999 1:2:3"})}, {}, {Start("StartDate", "31-Dec-1999"), Start("StartTime", "01:02:03")}, 7},
    }, {.warnings = false});
}

TEST(JilsDatRead, EachFileStartsAfreshButTheSensorCountStays)
{
    ReaderRun run;
    run.NumSensors = 7;
    run.LoadPlateRadius = "5.91", run.SensorXAxis = "0, 8", run.SensorYAxis = "0,  0";
    run.Read(FileType::JilsDat,
             Dat({"Sensors: A B", "Temp: 70", "1 L 0.1 1 9 1 2 60", "Drop Sequence Completed Time: 10:00"}));
    // Into the same document: no "Temp:", a "Drop" line before the data, point 1 again.
    run.Read(FileType::JilsDat, Dat({"Drop Sequence Completed Time: 11:00", "1 L 0.2 1 5 6 7 61"}));
    run.ExpectValues({Config("LoadPlateRadius", "5.91"), Config("DeflectionSensorXAxisDistances", "0, 8"),
                      Config("DeflectionSensorYAxisDistances", "0,  0"), {"Test Location 1", "TestTime", "10:00:00"},
                      {"Test Location 1", "NumberOfDrops", "1"}, Drop(1, "5000, 6, 7"), Here("TestTime", ""),
                      Here("TestTemperatures", ", 61"), Start("EndTime", "11:00:00")});
    EXPECT_EQ(run.NumSensors, 2);
}

TEST(JilsDatRead, UnreadableInputNamesTheLine)
{
    std::vector<ReadCase> cases = {
        {"a load that is no number", {Dat({"1 L 0 0 9 1 60", "", "2 L 0 0 x 1 60"})}, {}, {}, 1, {4}},
        {"a point beyond 32 bits", {Dat({"3e9 L 0 0 9 1 60"})}, {}, {}, 1, {2}},
        {"kips that overflow as pounds", {Dat({"1e306"})}, {}, {}, 0, {2}},
        {"the extended layout needs F(41)", {Dat({"Drop Sequence Completed Time: 1:00", "1 2"})}, {}, {}, 35, {3}},
        {"no sensors", {Dat({"1 2"})}, {}, {}, -1, {2}},
        {"an empty file", {{}}, {}, {}, 0, {0, "the file is empty"}},
        // A time history would give a test location per sample.
        {"a time history", {JilsTimeHistoryLines(2, 30)}, {}, {}, 0, {0, "a JILS time history, not readable on its own"}},
    };
    for (const char* date : {"15/12/2005", "13/1/05", "0/12/2005", "2/30/2005", "4/31/05", "1/0/05", "1/32/05",
                             "2005-05-03", "5/3", "5/3/5/5", "5//2005", "5/3/02005", "5/3/-5", "5/3x/2005",
                             "5/3/2005 25:00", ""})
        cases.push_back({date, {Dat({"Note: x", "Date-Time: " + std::string(date) + " 1:00"})}, {}, {}, 0, {3}});
    ExpectReads(FileType::JilsDat, cases, {.warnings = false});
}

TEST(JilsDatRead, GpsPositionsInTheFormsCrewsWriteThem)
{
    // The words after "GPS:", the position taken, and what the warning says ("": none).
    const std::tuple<std::string, std::string, std::string> forms[] = {
        {"38.5432 -121.74695", "38.5432, -121.74695", ""},
        {" +38.54320,-121.74695 ", "+38.54320, -121.74695", ""},  // decimal degrees stay as written
        {"N38 32.592 W121 44.817", "38.5432, -121.74695", ""},
        {"38.5432N, 121.74695w", "38.5432, -121.74695", ""},
        {"W121.74695 N38.5432", "38.5432, -121.74695", ""},
        {"S 33 52 10 E 151 12 30", "-33.8694444, 151.2083333", ""},
        {"38\xB0" "32.592'N 121\xB0" "44.817'W", "38.5432, -121.74695", ""},
        {"38.5432 -121.74695 15.2", "38.5432, -121.74695", "after the longitude, \"15.2\" (an altitude?)"},
        {"N38.5432 W121.74695 15.2", "38.5432, -121.74695", "after the longitude, \"15.2\""},
        {"38.5432", "", "the GPS position \"38.5432\" is no latitude and longitude"},
        {"38 32.592 -121 44.817", "", "is no latitude"},  // minutes without letters
        {"N38.5 N121.7", "", "is no latitude"},
        {"N90.5 W121.7", "", "is no latitude"}, {"N38.5 E180.5", "", "is no latitude"},  // beyond either axis
        {"95 10", "", "is no latitude"},
        {"N38 75 W121 10", "", "is no latitude"},
        {"N-38 W121", "", "is no latitude"},
        {"on the kerb", "", "is no latitude"},
        {"", "", "the \"GPS:\" line has no value"},
    };
    std::vector<ReadCase> cases;
    for (const auto& [gps, position, warning] : forms)
        cases.push_back({gps, {Dat({"1 L 0.1 7 9 1 2 60", "GPS: " + gps})},
                         warning.empty() ? std::vector<Warned>{} : std::vector<Warned>{{3, warning}},
                         {Here("GPSLocation", position), {"Units", "GPSUnits", position.empty() ? "" : "degree, degree"}}, 2});
    ExpectReads(FileType::JilsDat, cases);
}

// A point takes the lines met while it is open or before its first drop; a line taken only in part
// is warned of and read as before.
TEST(JilsDatRead, ALineTakenOnlyInPartIsWarnedOfAndReadAsBefore)
{
    const auto at = [](int location, const std::string& key, const std::string& value) {
        return Expect{"Test Location " + std::to_string(location), key, value};
    };
    // The sensor count before the file, its lines after the device name (line 1), the warnings.
    ExpectReads(FileType::JilsDat, {
        {"", {Dat({"Temp: 55", "Note: wet", "GPS: 38.1 -121.1", "Note: cracked", "Air Temp (F): 71.6", "1 L 0.1 7 9 1 2 60",
          "Note: kerb", "Drop Sequence Completed Time: 10:00", "Note: for 2", "2 L 0.2 7 9 1 2 61", "Air Temp (F): 72",
          "GPS: 38.2 -121.2", "Drop Sequence Completed Time: 10:05", "3 L 0.3 7 9 1 2 62",
          "Drop Sequence Completed Time: 10:10", "Note: after the last", "GPS: 1 2"})},
         {{17, "the note is followed by no data line of a point; it was not kept"},
          {18, "the GPS position is followed by no data line"}},
         {at(1, "TestComment", "wet; cracked; kerb"), at(1, "GPSLocation", "38.1, -121.1"),
          at(1, "TestTemperatures", "71.6, 60"), at(2, "TestComment", "for 2"), at(2, "GPSLocation", "38.2, -121.2"),
          at(2, "TestTemperatures", "72, 61"), at(3, "TestComment", ""), at(3, "GPSLocation", ""),
          at(3, "TestTemperatures", "55, 62")}, 2},
        // Short layout: one point, open from its first data line on.
        {"", {Dat({"Temp: 68", "Air Temp (F): 70", "9 1 2", "Air Temp (\xB0" "F): 71", "GPS: 1 2", "GPS: 3 4", "9 1 2"})},
         {{5, "already has the air temperature \"70\"; \"71\" replaces it"},
          {7, "already has the GPS position \"1, 2\"; \"3, 4\" replaces it"}},
         {Here("TestTemperatures", "71"), Here("GPSLocation", "3, 4")}, 2},
        {"", {Dat({"Air Temp (C): 20", "Air Temp (F): warm x", "Air Temp (F):", "9 1 2"})},
         {{2, "the air temperature is in \"C\", not in Fahrenheit"}, {3, "from \"x\" on, were not read"},
          {3, "the air temperature \"warm\" is not a number"}, {4, "the air temperature line has no value"}},
         {Here("TestTemperatures", "warm"), Config("NumberOfTemperatureSensors", "1")}, 2},
        {"", {Dat({"Date-Time: 12/15/2005 10:25:30 PM"})}, {{2, "the words after the time, from \"PM\" on, were not read"}},
         {Start("StartTime", "10:25:30")}, 7},
        {"", {Dat({"Sensors:", "Location:", "Operator:", "Temp:", "Temp: warm"})},
         {{2, "the \"Sensors:\" line names no sensor"}, {3, "the \"Location:\" line has no value"},
          {4, "the \"Operator:\" line has no value"}, {5, "the \"Temp:\" line has no value"},
          {6, "the air temperature \"warm\" is not a number"}},
         {Config("TemperatureSensorUse", "air")}, 7},
        {"", {Dat({"Drop Sequence Completed Time:", "Drop 1 2 3 10:00"})},
         {{2, "the drop sequence has no completion time"}, {3, "its fifth word, \"10:00\", was taken as the time"}},
         {Start("EndTime", "10:00:00")}, 7},
        {"", {Dat({"9 1 2", "9 1 x 3"})},
         {{2, "the data line has 3 fields where the short layout for 3 sensors has 4; those missing were left empty"},
          {3, "deflection 2 \"x\" is not a number"}},
         {Drop(1, "9000, 1, 2, "), Drop(2, "9000, 1, x, 3")}, 3},
        {"", {Dat({"1 L x 0 9 1 2 60 99", "2 L 0.2 0 9 1"})},
         {{2, "has 9 fields where the extended layout for 2 sensors has 8; the rest were not read"},
          {2, "the station \"x\" is not a number"}, {3, "has 6 fields where"}},
         {Drop(1, "9000, 1, "), Here("TestTemperatures", ", ")}, 2},
        {"", {Dat({"Sensors: A B C", "1 L 0.5 1 9 1 2 3 60"})},
         {{3, "has 9 fields where the short layout for 3 sensors has 4"}, {3, "deflection 1 \"L\" is not a number"}},
         {Drop(1, "1000, L, 0.5, 1")}, 8},
        {"", {Dat({"Point Lane Station", "Comments: x", "Location: SR-9 north"})}, {}, {}, 7},
        // Told once, though the layout is looked for before the reading.
        {"", {Dat({std::string("Location: A\0B", 13)})}, {{2, "NUL bytes removed"}},
         {{"Location Identification", "SiteName", "AB"}}, 7},
    });
    ExpectExamplesQuiet(FileType::JilsDat, "jils-dat", 7);
}

}  // namespace
}  // namespace vantrel::test
