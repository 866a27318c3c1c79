// KUAB FWD data files: which header rule decides, sensor offsets and positions, the table header
// lines (both title forms, units, dash widths), how data lines become drops and times, what the
// next file of a run inherits, the layout titled "IKUAB FWD FILE", the lines taken only in part
// (warned of), the limits whose breach ends a reading, and tables titled in other languages,
// placed by the units under their titles, with their position columns. The bundled examples read
// ordinary files end to end; these cases are the rules and edges they do not reach.

#include <gtest/gtest.h>

#include "import/FileFormats.h"
#include "support/ReaderTest.h"

namespace vantrel {
namespace {

const std::string T = "KUAB title";  // the first line of a file, which the reader never reads
const std::string K = "IKUAB FWD FILE";  // the title of the layout whose date is day/month/year
const std::string DC = "Device Configuration", OI = "Operations Information", LI = "Location Identification";
const std::string U = "Units", TL1 = "Test Location 1", TL2 = "Test Location 2";
const std::string kCount = "NumberOfDeflectionSensors", kX = "DeflectionSensorXAxisDistances";

std::string Times(int n, const std::string& word) { return n > 0 ? word + Times(n - 1, word) : ""; }

TEST(KuabFwdRead, HeaderLinesTakeTheFirstRuleWhoseWordTheKeyContains)
{
    const std::string offsets = "ISensor Distance: 300 0 200 mm";
    test::ExpectReads(FileType::KuabFwd, {
        {"text rules; only the key is tested",
         {{"HSite: title", "HRoad Name Site: both", "HSite: North", "HOPERAT\xD6R: \xD6rjan", "CWEATHER:rain",
           "IDate Created:6.4.04", "HComment: Site Distance", "HSite without a colon", "hSite: lower", "ZSite: Z"}}, {},
         {{LI, "FacilityName", " both"}, {LI, "SiteName", " North"}, {OI, "OperatorName", " \xD6rjan"},
          {OI, "WeatherCondition", "rain"}, {OI, "StartDate", "6.4.04"}, {DC, kCount, "0"}}},
        {"\"Distance\" alone; offsets it did not give stay empty", {{T, "IDistance: 0 200 in", "JDistance D4 D0 D1"}}, {},
         {{DC, kX, ", 0, 200"}, {U, "SensorsLocationUnits", "inch"}}},
        {"an empty distance value: count -1 and drops of no field",
         {{T, "ISensor Distance:   ", "IPosition: FRONT BACK", "D  100    1  50.1 210"}}, {},
         {{DC, kCount, "-1"}, {U, "SensorsLocationUnits", "0"}, {DC, kX, ""}, {"", "DropData_1", ""},
          {"", "TestLocation", "100, 0, 0"}}},
        {"a repeated position line signs an offset once",
         {{T, offsets, "ISensor Position: FRONT BACK", "IPosition: front", "JDistance D0 D1 D2"}}, {},
         {{DC, kX, "-300, 0, 200"}}},
        {"each position line starts again from the distances",
         {{T, offsets, "IPosition: FRONT", "IPosition: BACK BACK Infront", "JDistance D0 D1 D2"}}, {},
         {{DC, kX, "300, 0, -200"}}},
        {"positions for a count from the settings, without offsets (the title is not read)",
         {{"ISensor Distance: 5 mm", "IPosition: BACK BACK FRONT"}}, {}, {{DC, kX, ", , -"}}, 3},
    }, {.warnings = false});
}

TEST(KuabFwdRead, TableHeaderLinesAreTitlesThenMetricThenCustomaryUnitsThenDashes)
{
    const std::string offsets = "ISensor Distance: 0 1 2 3 4 5 6 7 8 9 10 11 mm";
    test::ExpectReads(FileType::KuabFwd, {
        {"titles in any order; Air before Pave before Ground",
         {{T, "ISensor Distance: 0 200 300 mm", "JDistance Drop Load D1 D0 D2 AirPave Ground pave Time",
           "J----- ---- ----- --- --- --- ----- ----- ----- --------",
           "D  100    1  50.1 210 180 150  17.5  12.0  21.0 09:00:00"}}, {},
         {{DC, kCount, "3"}, {DC, kX, "200, 0, 300"}, {DC, "NumberOfTemperatureSensors", "3"},
          {DC, "TemperatureSensorUse", "Air, Ground, Pavement"}, {"", "TestTemperatures", "17.5, 12.0, 21.0"},
          {"", "TestTime", " 09:00:00"}}},
        {"\"Distance\" before \"Station\": form A, two-character deflection titles",
         {{T, offsets, "JStation Distance Load D0 D1 D10"}}, {}, {{DC, kCount, "2"}, {DC, kX, "0, 1"}}},
        {"form B: deflection titles up to three characters, no time column",
         {{T, offsets, "JStation Drop Load D0 D1 D10 time", "J- - - -- -- --- -----", "D 1 1 50 1 2 3 12:00"}}, {},
         {{DC, kX, "0, 1, 10"}, {"", "DropData_1", "50, 1, 2, 3"}, {"", "TestTime", ""}}},
        {"a title line naming units", {{T, "JStation Load kN lbf D0"}}, {}, {{U, "LoadUnits", ""}, {DC, kCount, "1"}}},
        {"kN, lbf and dashes: metric; the unit of the first temperature column",
         {{T, "JDistance Drop Load D0 Pave Air", "J m - kN um \xB0" "C \xB0" "F lbf ---"}}, {},
         {{U, "TestLocationUnits", "meter, meter, meter"}, {U, "LoadUnits", "kilo-Newton"},
          {U, "DeflectionUnits", "micron"}, {U, "TemperatureUnits", "Celsius"}}},
        {"no temperature title", {{T, "J m - kN um"}}, {}, {{U, "DeflectionUnits", "micron"}, {U, "TemperatureUnits", ""}}},
    }, {.warnings = false});
}

TEST(KuabFwdRead, DataLinesCutTheTimeByTheDashWidthsAndTakeOneFieldPerSensor)
{
    test::ExpectReads(FileType::KuabFwd, {
        {"the time: from one character before its column, its width and one long",
         {{T, "JDistance Drop time Load D0", "J----- -- ------- ----- ---", "JTable 2 of 3",
           "D  100  1 8:01:02  50.1 210", "D  100  2 08:01:09  50.2 211", "D  200  1"}}, {},
         {{OI, "StartTime", " 8:01:02"}, {TL1, "TestTime", " 08:01:0"}, {TL2, "TestTime", ""}, {OI, "EndTime", ""}}},
        {"a time in column 1 takes the record letter",
         {{T, "JTime Distance Load D0", "J-------- ----- ----- ---", "D12:00:01   100  50.1 210"}}, {},
         {{"", "TestTime", "D12:00:01"}, {"", "TestLocation", "12:00:01, 0, 0"}}},
        {"a count from the settings; missing fields stay empty", {{T, "D 7 1 50.1 210 180 150", "D 8 1 49.0 200"}}, {},
         {{TL1, "DropData_1", "50.1, 210, 180"}, {TL2, "DropData_1", "49.0, 200, "}}, 2},
        {"no sensors: the load alone", {{T, "D 7 1 50.1 210"}}, {}, {{"", "DropData_1", "50.1"}}},
        {"37 sensors: fields 3 to 40", {{T, "D 7 1 50"}}, {}, {{"", "DropData_1", "50" + Times(37, ", ")}}, 37},
        {"layout and signed offsets carry into the next file, the open location does not",
         {{T, "ISensor Distance: 300 0 200 mm", "IPosition: FRONT", "JDistance Drop Load D0 D1 D2 Air time",
           "J----- ---- ----- --- --- --- ---- --------", "D  100    1  50.1 210 180 150 17.5 12:00:01"},
          {T, "D  100    2  50.3 212 181 151 17.9 12:30:00"},
          {T, "JDistance D2 D0"}}, {},
         {{"Deflection Data", "NumberOfTestLocations", "2"}, {TL2, "DropData_1", "50.3, 212, 181, 151"},
          {TL2, "TestTemperatures", "17.9"}, {TL2, "TestTime", " 12:30:00"}, {OI, "StartTime", " 12:30:00"},
          {DC, kX, "200, -300"}}},
    }, {.warnings = false});
}

TEST(KuabFwdRead, ALineBeyondTheLimitsEndsTheReadingAtItsLine)
{
    test::ExpectReads(FileType::KuabFwd, {
        {"41 words", {{T, "HSite: kept", "D" + Times(41, " 1")}}, {}, {{LI, "SiteName", " kept"}}, 0, {3, "the line has"}},
        {"26 columns", {{T, "JDistance" + Times(25, " x")}}, {}, {}, 0, {2, "the column title line has 26 columns"}},
        {"26 dash runs", {{T, "J---" + Times(25, " ---")}}, {}, {}, 0, {2, "the dash line has 26 columns"}},
        {"11 temperature columns", {{T, "JDistance" + Times(11, " Air")}}, {}, {}, 0, {2, "the column title line has more"}},
        {"sensor 25", {{T, "JStation D25"}}, {}, {}, 0, {2, "the deflection column title \"D25\" names a sensor"}},
        {"no sensor number", {{T, "JDistance Dx"}}, {}, {}, 0, {2, "the deflection column title \"Dx\" does not"}},
        {"sensor 25 under other titles", {{T, "JPaalu Kuorm D25"}}, {}, {}, 0, {2, "the deflection column title \"D25\""}},
        {"26 distance words", {{T, "", "ISensor Distance:" + Times(26, " 1")}}, {}, {}, 0, {3, "the sensor distances"}},
        {"38 sensors", {{T, "D 1 1 50"}}, {}, {}, 38, {2, "a drop of 38 deflections needs fields 3 to 41"}},
        {"26 sensors to place", {{T, "IPosition: FRONT"}}, {}, {}, 26, {2, "the sensor count 26 is more than"}},
        {"a bad title keeps what came before", {{T, "HSite: kept", "D 1 1 50 100", "JDistance Dz"}}, {},
         {{LI, "SiteName", " kept"}, {"", "DropData_1", "50, 100"}}, 1, {4, ""}},
        {"just within: 24 offsets and their unit; 25 columns, 10 of them temperatures; sensor 24",
         {{T, "ISensor Distance:" + Times(25, " 1"), "JStation" + Times(10, " Air") + Times(13, " x") + " D24"}}, {},
         {{DC, kCount, "1"}, {DC, "NumberOfTemperatureSensors", "10"}}},
    }, {.warnings = false});
}

TEST(KuabFwdRead, TheLayoutTitledIkuabFwdFileGivesItsDateDayFirst)
{
    const std::string distances = "ISensor Distance  : 0.0 20.0 30.0 (cm)";
    test::ExpectReads(FileType::KuabFwd, {
        {"the offsets from their line, the unit in parentheses; 12/04 is the 12th of April",
         {{K, distances, "IDate Created     : 12/04/2016"}}, {},
         {{DC, kCount, "3"}, {DC, kX, "0.0, 20.0, 30.0"}, {DC, "DeflectionSensorYAxisDistances", "0, 0, 0"},
          {U, "SensorsLocationUnits", "centimeter"}, {OI, "StartDate", "12-Apr-2016"}}},
        {"a second number above 12 can only be the day", {{K + " v2", "IDate Created: 04/25/2016"}}, {},
         {{OI, "StartDate", "25-Apr-2016"}}},
        {"one-digit day and month, two-digit year", {{K, "IDate Created: 5/1/16"}}, {}, {{OI, "StartDate", "05-Jan-2016"}}},
        {"no such day: as written", {{K, "IDate Created: 31/04/2016"}}, {}, {{OI, "StartDate", " 31/04/2016"}}},
        {"not three parts: as written", {{K, "IDate Created: 12/04/2016/1"}}, {}, {{OI, "StartDate", " 12/04/2016/1"}}},
        {"other titles keep the date as written", {{"KUAB FWD", "IDate Created: 12/04/2016"}}, {},
         {{OI, "StartDate", " 12/04/2016"}}},
    }, {.warnings = false});
}

TEST(KuabFwdRead, ALineTakenOnlyInPartIsWarnedOfAndReadAsBefore)
{
    const std::string distances = "ISensor Distance: 0 200 mm", titles = "JDistance Drop Load D0 D1 Air time",
                      dashes = "J----- ---- ---- --- --- --- --------";
    test::ExpectReads(FileType::KuabFwd, {
        {"a header without a colon", {{T, "HSite North", "HSite: South"}}, {{2, "has no \":\" after its key"}},
         {{LI, "SiteName", " South"}}},
        {"plate radius without unit, not a number, empty, with more",
         {{T, "IPlate Radius: 150", "IPlate Radius: x mm", "IPlate Radius:", "IPlate Radius: 150 mm nominal"}},
         {{2, "plate radius has no unit"}, {3, "plate radius \"x\" is not a number"}, {4, "plate radius is empty"},
          {5, "\"150 mm nominal\" is more than a number and its unit"}},
         {{DC, "LoadPlateRadius", "150"}, {U, "LoadPlateRadiusUnits", "millimeter"}}},
        {"distances without unit, with a word, empty", {{T, "ISensor Distance: 0 x 300", "ISensor Distance:"}},
         {{2, "end in \"300\", a number, where their unit belongs"}, {2, "sensor offset 2, \"x\", is not a number"},
          {3, "the sensor distances are empty"}},
         {{DC, kCount, "-1"}}},
        {"too few and too many positions",
         {{T, "ISensor Distance: 300 200 mm", "IPosition: FRONT", "IPosition: BACK BACK FRONT"}},
         {{3, "the positions place 1 of 2 sensors"}, {4, "3 positions for 2 sensors; the last 1 were not read"}},
         {{DC, kX, "300, 200"}}},
        {"positions without offsets", {{T, "IPosition: BACK BACK BACK"}}, {{2, "give 0 offsets for 3 sensors"}},
         {{DC, kX, ", , "}}, 3},
        {"a title naming a sensor without offset", {{T, distances, "JStation Load D0 D1 D4"}},
         {{3, "column \"D4\" names sensor 5, but the sensor distances give 2 offsets"}}, {{DC, kX, "0, 200, "}}},
        {"a short units line", {{T, distances, titles, "J m - kN"}}, {{4, "the units line ends after column 3 of 6"}},
         {{U, "LoadUnits", "kilo-Newton"}, {U, "DeflectionUnits", ""}}},
        {"short data lines, words for numbers",
         {{T, distances, titles, dashes, "D  100    1  50.1 x", "D  100    2  y 210 180 17.5 12:00:00"}},
         {{5, "ends before the time column"}, {5, "ends after column 4; the load and 2 deflections need columns 3 to 5"},
          {5, "deflection 1, \"x\", is not a number"}, {5, "before a temperature column"},
          {6, "the load \"y\" is not a number"}},
         {{TL1, "DropData_1", "50.1, x, "}, {TL1, "DropData_2", "y, 210, 180"}, {TL1, "TestTemperatures", "17.5"}}},
        {"a date of the IKUAB layout that is none", {{K, "IDate Created: 2016-04-12"}},
         {{2, "the date \" 2016-04-12\" is not day/month/year; it was copied as written"}}},
        {"a line of blanks, other letters, an unknown key, a table note: nothing to say",
         {{T, "   ", "XSite: x", "d 1 1 1", "HComment: x", "JTable 1"}}, {}},
    });
    test::ExpectExamplesQuiet(FileType::KuabFwd, "kuab", 0);
}

TEST(KuabFwdRead, TitlesOfOtherLanguagesArePlacedByTheUnitsUnderThem)
{
    const std::string metres = "J m Num kN um NMEA NMEA";
    test::ExpectReads(FileType::KuabFwd, {
        {"Finnish titles with offsets; no dash line: the time is its word",
         {{T, "ISensor Distance: 0 200 300 mm", "JPaalu Isk Kuorm D0 D1 D2 Ilma Pinta Aika",
           "J m Num kN \xB5m \xB5m \xB5m \xB0" "C \xB0" "C hh:mm:ss", "D 100 1 50.1 612 450 380 17.5 21.0 9:15:02"}},
         {},
         {{DC, kCount, "3"}, {DC, kX, "0, 200, 300"}, {DC, "DeflectionSensorYAxisDistances", "0, 0, 0"},
          {DC, "TemperatureSensorUse", "Air, Pavement"}, {"", "DropData_1", "50.1, 612, 450, 380"},
          {"", "TestTemperatures", "17.5, 21.0"}, {"", "TestTime", "9:15:02"}}},
        {"Swedish titles; C alone is a temperature unit, an unknown temperature title is used as written",
         {{T, "JAvst Slag Last D0 D1 Luft Yta Bas Tid", "J m - kN um um C C C hh:mm:ss",
           "D 10 1 50 300 200 12.0 14.5 9.0 10:00:00"}},
         {},
         {{DC, kCount, "2"}, {DC, "NumberOfTemperatureSensors", "3"},
          {DC, "TemperatureSensorUse", "Air, Pavement, Bas"}, {U, "TemperatureUnits", "Celsius"},
          {"", "DropData_1", "50, 300, 200"}, {"", "TestTemperatures", "12.0, 14.5, 9.0"},
          {"", "TestTime", "10:00:00"}}},
        {"deflections by their unit under other titles, the load after them; the next file keeps the columns, "
         "until an English title line lays the table out by its own rules",
         {{T, "ISensor Distance: 0 8 12 in", "JKm Nr S1 S2 S3 Kraft", "J ft - mils mil mils lbf",
           "D 0+50 1 20.1 15.2 12.0 9020"},
          {T, "D 1+00 1 20.5 15.5 12.5 9100"},
          {T, "JStation Drop Load D0 D1 D2", "D 2+00 1 9000 20 15 12"}},
         {},
         {{DC, kX, "0, 8, 12"}, {TL1, "DropData_1", "9020, 20.1, 15.2, 12.0"}, {U, "LoadUnits", "pound-force"},
          {U, "DeflectionUnits", "mil"}, {U, "TestLocationUnits", "foot, inch, inch"},
          {TL2, "DropData_1", "9100, 20.5, 15.5, 12.5"}, {"Test Location 3", "DropData_1", "9000, 20, 15, 12"}}},
        {"a title without a unit: each unit belongs to the title above it",
         {{T, "J Paalu Isk Kuorm  D0  D1", "J     m       kN  um  um", "D 1 1 50.1 612 450"}},
         {},
         {{"", "DropData_1", "50.1, 612, 450"}, {U, "LoadUnits", "kilo-Newton"}, {U, "DeflectionUnits", "micron"}}},
        {"NMEA positions: hemisphere letters joined or after; bad minutes, words, degrees leave the drop's empty",
         {{T, "JPaalu Isk Kuorm D0 Lat Long", metres, "D 1 1 50 100 6141.95869N 02656.72021W",
           "D 2 1 50 100 3352.5 S 15112.5 E", "D 3 1 50 100 6170.0 02656.7", "D 3 2 50 100 61x 02656.7",
           "D 4 1 50 100 6141.95869 02660.0", "D 4 2 50 100 6100.0 00059.9", "D 5 1 50 100 S 3352.5 E 15112.5",
           "D 6 1 50 100 9130.0 02656.7"}},
         {{6, "latitude \"6170.0\" has minutes of 60 or more"}, {7, "latitude \"61x\" is not a number"},
          {8, "longitude \"02660.0\" has minutes of 60 or more"}, {10, "latitude \"S\" is not a number"},
          {11, "latitude \"9130.0\" is beyond 90 degrees"}},
         {{U, "GPSUnits", "degree, degree"}, {TL1, "GPSLocation", "61.6993115, -26.9453368"},
          {TL2, "GPSLocation", "-33.875, 151.2083333"}, {"Test Location 3", "GPSLocation", ""},
          {"Test Location 4", "GPSLocation", "61, 0.9983333"}, {"Test Location 5", "GPSLocation", ""}}},
        {"positions by the NMEA unit alone, and in degrees",
         {{T, "JPaalu Isk Kuorm D0 P1 P2", metres, "D 1 1 50 100 6141.95869 02656.72021",
           "JPaalu Isk Kuorm D0 Latitude Longitude", "J m Num kN um deg deg",
           "D 2 1 50 100 61.69931149 -26.94533683"}},
         {},
         {{TL1, "GPSLocation", "61.6993115, 26.9453368"}, {TL2, "GPSLocation", "61.6993115, -26.9453368"}}},
        {"no deflection column: warned, the units line read as before",
         {{T, "JPaalu Isk Kuorm Ilma", "J m Num kN \xB0" "C", "D 1 1 50 17"}},
         {{2, "no deflection column"}},
         {{U, "LoadUnits", "kilo-Newton"}, {"", "DropData_1", "50"}}},
        {"no units line before the data or the end, and a latitude without a longitude",
         {{T, "JPaalu Isk Kuorm D0 D1", "J--- --- ----- -- --", "D 1 1 50 100 90"},
          {T, "JPaalu Isk Kuorm D0 Lat", "J m Num kN um NMEA", "D 1 1 50 100 6141.9"}, {T, "JPaalu Isk Kuorm D0"}},
         {{2, "no units line"}, {3, "a latitude column but no longitude"}, {2, "no units line"}},
         {{TL1, "DropData_1", "50"}, {TL2, "DropData_1", "50, 100"}, {TL2, "GPSLocation", ""}}},
        {"a sensor without its offset, no load column",
         {{T, "ISensor Distance: 0 200 mm", "JPaalu Isk D0 D4", "J m - um um", "D 1 1 100 90"}},
         {{3, "column \"D4\" is sensor 5, but the sensor distances give 2 offsets"}, {4, "no column has a load unit"}},
         {{DC, kX, "0, "}, {"", "DropData_1", ", 100, 90"}}},
        {"a unit under no title", {{T, "J Paalu Kuorm D0", "J     m    kN  um  um"}},
         {{3, "\"um\" stands under no title"}}, {{DC, kCount, "1"}}},
    });
}

}  // namespace
}  // namespace vantrel
