// The Dynatest F20 reader, beyond what the examples show: header lines by number and exact
// column, text fields without their padding, line 22 with each distance unit and the layout of
// line 3 it decides, the 50-character line that makes the wide layout, values warned of, the
// first bad line ending the file (and what it leaves set), and what carries from one file to the
// next.

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "import/FileFormats.h"
#include "support/ReaderTest.h"

namespace vantrel {
namespace {

constexpr const char *Ops = "Operations Information", *Units = "Units", *Device = "Device Information",
                     *Config = "Device Configuration", *Calib = "Device Calibration", *Here = "";

// A fixed-column line: each text from its 1-based column, blanks between, padded to `length`.
std::string Cols(std::initializer_list<std::pair<std::size_t, std::string>> pieces, std::size_t length = 0)
{
    std::string line(length, ' ');
    for (const auto& [column, text] : pieces) {
        if (line.size() < column - 1 + text.size()) line.resize(column - 1 + text.size(), ' ');
        line.replace(column - 1, text.size(), text);
    }
    return line;
}

// The numbered lines given, every other line up to the last one empty (and so not handled), then
// `after`.
std::vector<std::string> File(std::initializer_list<std::pair<std::size_t, std::string>> numbered,
                              const std::vector<std::string>& after = {})
{
    std::vector<std::string> lines;
    for (const auto& [number, text] : numbered) {
        lines.resize(number);
        lines.back() = text;
    }
    lines.insert(lines.end(), after.begin(), after.end());
    return lines;
}

const std::string kLine1 = Cols({{14, "040407"}, {28, "22"}});  // 07-Apr-2004, 22 header lines

// The header with the sensor count, line 3 and line 22 given, then record lines.
std::vector<std::string> Header(const char* sensors, const std::string& line3, const char* line22,
                                const std::vector<std::string>& records = {})
{
    return File({{1, kLine1}, {2, sensors}, {3, line3}, {22, line22}}, records);
}

TEST(F20Read, LinesSetTheirElements)
{
    const auto place = [](const char* line22, const char* units) {
        return test::ReadCase{line22, {File({{1, kLine1}, {22, line22}})}, {}, {{Units, "TestLocationUnits", units}}};
    };
    // Ten sensors until a line 2 says otherwise. Full columns touch, so a column taken one place too
    // wide or too far shows.
    const std::string narrow = Cols({{1, "  5.91"}, {7, "999999"}, {13, "8.000012.00018.0009"}}, 48);
    test::ExpectReads(FileType::DynatestF20, {
        // Line 1, with digits beside each field that would show a column taken one place off; the
        // header ends at line 24, so line 25 is the first record.
        {"", {File({{1, Cols({{13, "9"}, {14, "041123"}, {20, "8"}, {27, "9"}, {28, "24"}, {30, "V21"}, {33, "Z"}})},
               {24, "S 24"}, {25, "S 25"}})}, {},
         {{Ops, "SoftwareVersion", "V21"}, {Ops, "EndDate", "23-Nov-2004"}, {Here, "TestLocation", "25"},
          {"Deflection Data", "NumberOfTestLocations", "1"}}},
        {"", {{Cols({{14, "040407"}, {28, "22"}, {30, "1"}})}}, {}, {{Ops, "SoftwareVersion", "1"}}},  // the line ends first
        // Lines 11 to 20 are the first to tenth sensor; words past the fourth are ignored.
        {"", {File({{1, kLine1}, {10, "LC L-7 1.5 2 extra"}},
              {"S 1 1 2", "S 2 1 2", "S 3 1 2", "S 4 1 2", "S 5 1 2", "S 6 1 2", "S 7 1 2", "S 8 1 2", "S 9 1 2",
               "S 10 3 4"})}, {},
         {{Calib, "LoadCellCalibrationFactor", "2"}, {Device, "SensorSerialNumbers", "1, 2, 3, 4, 5, 6, 7, 8, 9, 10"}}},
        // Text fields lose the blanks that pad them to their columns.
        {"", {File({{1, kLine1}, {2, "3       S-1     0.998   "}, {5, " Route 9  "}, {21, "J. Smith   "}, {22, "00   2"}},
              {"*Sec A  ", Cols({{1, "S"}, {2, "  12.345"}, {10, "L2"}, {29, "1407"}})})}, {},
         {{Device, "DeviceSerialNumber", "S-1"}, {Calib, "DMIDeviceCalibrationFactor", "0.998"},
          {"Location Identification", "FacilityName", "Route 9"}, {Ops, "OperatorName", "J. Smith"},
          {"Location Identification", "SectionName", "Sec A"}, {Here, "TestLane", "L2"}}},

        // Line 22. US units with a narrow line 3: pressure loads, radius in columns 1-6, distances from 13.
        {"", {Header("4", narrow, "11   4")}, {},
         {{Units, "LoadUnits", "pound-force per square inch"}, {Config, "LoadPlateRadius", "5.91"},
          {Config, "DeflectionSensorXAxisDistances", "0, 8.0000, 12.000, 18.000"},
          {Units, "TemperatureUnits", "Fahrenheit"}}},
        // 50 characters make line 3 wide (radius from 33, distances from 42), 49 do not.
        {"", {Header("2", Cols({{1, "  9.99"}, {13, "   1.0"}, {33, "  5.91XXX   8.0"}}, 50), "10")}, {},
         {{Units, "LoadUnits", "pound-force"}, {Config, "LoadPlateRadius", "5.91"},
          {Config, "DeflectionSensorXAxisDistances", "0, 8.0"}, {Units, "TemperatureUnits", "Celsius"}}},
        {"", {Header("2", Cols({{1, "  9.99"}, {13, "   1.0"}, {33, "  5.91"}}, 49), "10")}, {},
         {{Units, "LoadUnits", "pound-force per square inch"}, {Config, "LoadPlateRadius", "9.99"},
          {Config, "DeflectionSensorXAxisDistances", "0, 1.0"}}},
        // Metric (any digit but 1) takes the narrow columns whatever the length.
        {"", {Header("3", Cols({{1, "1500"}, {5, "99"}, {13, "   300"}, {19, "   600"}, {42, "  9999"}}, 80), "21")}, {},
         {{Units, "LoadUnits", "kilo-Pascal"}, {Config, "LoadPlateRadius", "1500"},
          {Config, "DeflectionSensorXAxisDistances", "0, 300, 600"}, {Units, "TemperatureUnits", "Fahrenheit"}}},
        place("00   0", "kilometer, meter, meter"), place("00   1", "kilometer, meter, meter"),
        place("00   4", "mile, inch, inch"), place("00   5", "mile-feet, inch, inch"),
        place("00   6", "foot, foot, inch"), place("00   7", "yard, yard, inch"),
        place("00    ", ""), place("00", ""),

        // Drop lines of 50 characters start at column 33 in US files, and in metric ones with feet.
        {"", {Header("2", "", "11   3",
                {"S", Cols({{1, "2"}, {33, "1200.51900.51500.5"}}), Cols({{1, "    90    12     9"}}, 49)})}, {},
         {{Here, "DropData_1", "1200.5, 1900.5, 1500.5"}, {Here, "DropData_2", "90, 12, 9"}}},
        {"", {Header("1", "1500", "00   6", {"S", Cols({{33, "   700    55"}}, 50), Cols({{1, "   800    66"}}, 49)})}, {},
         {{Units, "LoadUnits", "kilo-Pascal"}, {Here, "DropData_1", "700, 55"}, {Here, "DropData_2", "800, 66"}}},
        {"", {Header("1", "1500", "00   2", {"S", Cols({{1, "   700    55"}}, 50)})}, {}, {{Here, "DropData_1", "700, 55"}}},
        // Full columns touch; short lines give empty ones.
        {"", {Header("3", "", "00   2", {"S", "1020.54120.53010.5", "D"})}, {},
         {{"Test Location 1", "DropData_1", "1020.5, 4120.5, 3010.5, "}, {Here, "TestLocation", ""},
          {Here, "TestTime", "::00"}, {Here, "NumberOfDrops", "0"}}},

        // A second file keeps the sensor count but not the units (its wide drops start at column 33)
        // nor the drop mode (a drop before its first station is not one of the first file's).
        {"", {Header("2", "1500", "00   2", {"S A1", "     1     2     3"}), File({{1, kLine1}, {23, "     7     7     7"}, {24, "S B1"}, {25, Cols({{33, "   700    55    44"}}, 60)}})}, {},
         {{"Test Location 1", "NumberOfDrops", "1"}, {Here, "TestLocation", "B1"}, {Here, "DropData_1", "700, 55, 44"}}},
    }, {.warnings = false, .setup = [](test::ReaderRun& run) { run.NumSensors = 10; }});
    // Four characters go from the name, or all there are.
    test::ExpectReads(FileType::DynatestF20, {{"file name", {{kLine1}}, {}, {{Ops, "FileName", ".DDX"}}}}, {.name = "ab"});
}

// Values that are not the numbers, time or code they should be are kept, with one warning a line;
// the first bad line ends the file, keeping what came before it but not the closing values.
TEST(F20Read, WarningsNameTheLineAndTheFirstBadLineEndsTheFile)
{
    const std::string line3 = Cols({{1, "  5.91"}, {13, "   8.0"}});
    std::vector<test::ReadCase> cases = {
        {"good lines", {Header("2", line3, "11   2", {Cols({{1, "S"}, {29, "0905"}}), "   100   1.5   2.0"})}, {}},
        {"a bad time and drop", {Header("2", line3, "11   2", {Cols({{1, "S"}, {29, "2561"}}), "   100     x"})},
         {{23, "time \"25:61\" is not a time of day"},
          {24, "deflection 1 \"x\" is not a number; deflection 2 in columns 13-18 is missing"}},
         {{Here, "TestTime", "25:61:00"}, {Here, "DropData_1", "100, x, "}}},
        {"a short line 3 and an unknown distance unit", {Header("3", line3, "11   9")},
         {{22, "the distance of sensor 3 in columns 19-24 of line 3 is missing; the distance unit \"9\" in column 6"}},
         {{Config, "DeflectionSensorXAxisDistances", "0, 8.0, "}}},

        {"", {{Cols({{14, "ab0101"}, {28, "22"}})}}, {}, {}, 0, {1, "the year in columns 14-15 is \"ab\", not a whole number"}},
        {"", {{Cols({{14, "040101"}})}}, {}, {}, 0, {1, "the header length in columns 28-29"}},
        {"", {{kLine1, " 7      SERIAL"}}, {}, {}, 0, {2, "the number of sensors in column 1 is \" \""}},
        // A calibration line sets serial number, gain and factor (a sensor's factor before its
        // gain) up to the word that fails.
        {"", {File({{1, kLine1}, {10, "S1 101 0.998"}})}, {},
         {{Device, "LoadCellSerialNumber", "101"}, {Calib, "LoadCellCalibrationCenterGain", "0.998"}}, 0, {10, "four words"}},
        {"", {File({{1, kLine1}, {2, "3"}, {11, "S1 101 0.998 x"}})}, {},
         {{Device, "SensorSerialNumbers", "101"}, {Calib, "SensorCalibrationCenterGain", ""}}, 0, {11, "the calibration factor \"x\" is not a number"}},
        {"", {File({{1, kLine1}, {2, "3"}, {11, "S1 101 0.998 1.01"}, {12, "S2 102 1,5 0.99"}})}, {},
         {{Device, "SensorSerialNumbers", "101, 102"}, {Calib, "SensorReferenceCalibrationFactor", "1.01, 0.99"},
          {Calib, "SensorCalibrationCenterGain", "0.998"}}, 0, {12, "the gain \"1,5\""}},
        {"", {Header("3", "", "x0   2")}, {}, {}, 0, {22, "the unit system in column 1 is \"x\", not a digit"}},
        {"", {Header("3", "", "0")}, {}, {}, 0, {22, "the temperature unit in column 2"}},
        // Column 2 is read after the units and the geometry.
        {"", {Header("2", line3, "1x   3")}, {},
         {{Units, "LoadUnits", "pound-force per square inch"}, {Config, "DeflectionSensorXAxisDistances", "0, 8.0"},
          {Units, "TemperatureUnits", ""}, {Units, "TestLocationUnits", ""}}, 0, {22, "the temperature unit"}},
        {"", {Header("2", "", "00   2", {"", "B before any station"})},
         {{22, "the distance of sensor 2 in columns 13-18 of line 3 is missing"}}, {}, 0, {24, "station"}},
    };
    for (test::ReadCase& c : cases)
        if (c.fails.line != -1)
            c.expect.insert(c.expect.end(), {{Ops, "FileName", ""}, {Device, "DeviceDesignationName", ""}});
    test::ExpectReads(FileType::DynatestF20, cases);
}

}  // namespace
}  // namespace vantrel
