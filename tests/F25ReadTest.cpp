// The Dynatest F25 reader, beyond what the examples show: fields taken cleaned or trimmed, each
// unit code and the metric flag it leaves, sensor lists up to field 40, stations and
// temperatures, record codes read as numbers and the ignored ranges, what carries from one file
// to the next; the GPS fix that waits for its station, the X offsets that count the deflections,
// the values and lines warned of, and the field limit ending the file.

#include <gtest/gtest.h>

#include "import/FileFormats.h"
#include "support/ReaderTest.h"

namespace vantrel {
namespace {

constexpr const char *Ops = "Operations Information", *Units = "Units", *Device = "Device Information",
                     *Config = "Device Configuration", *Calib = "Device Calibration",
                     *Site = "Location Identification", *Here = "";

// The first station record of a file opens nothing; the second opens a test location.
std::vector<std::string> AtLocation(std::vector<std::string> lines)
{
    lines.insert(lines.begin(), {"5301,0", "5301,1,x,x,x,1,x,x,L,4,4,7,9,0"});
    return lines;
}

// The lines of a file and the elements they must set; the program holds two sensors beforehand.
TEST(F25Read, LinesSetTheirElements)
{
    test::ExpectReads(FileType::DynatestF25, {
        // The writer pads its fields with blanks.
        {"", {{"5001, 25.31 ", "5002,x, '80-1-A ' ,y", "5032,' Sec A'", "5200,\"LC  \",x, 1.0 , 3.888E-008 "}}, {},
         {{Ops, "SoftwareVersion", "25.31"}, {Device, "DeviceSerialNumber", "80-1-A"},
          {Device, "DeviceModelNumber", "80"}, {Site, "SectionName", "Sec A"}, {Device, "LoadCellSerialNumber", "LC"},
          {Calib, "LoadCellCalibrationCenterGain", "1.0"}, {Calib, "LoadCellCalibrationFactor", "3.888E-008"}}},
        // Sensors 5201 to 5218, skipping "NA" (for 5201 only without apostrophes).
        {"", {{"5201,\"S1\",x,1 ,2", "5204, 'NA' ,x,9,9", "5218,S18,x, 3,4 ", "5219,S19,x,9,9"}}, {},
         {{Device, "SensorSerialNumbers", "S1, S18"}, {Calib, "SensorCalibrationCenterGain", "1, 3"},
          {Calib, "SensorReferenceCalibrationFactor", "2, 4"}}},
        {"", {{"5201,\" NA \",x,5,6"}}, {}, {{Device, "SensorSerialNumbers", ""}}},
        {"", {{"5201,'NA',x,5,6"}}, {}, {{Device, "SensorSerialNumbers", "NA"}}},

        // Unit records: fields 2, 6, 7, 9 and 12; the metric flag the last code leaves decides the plate unit.
        {"", {{"5010, 0 ,x,x,x,1,1,x,2,x,x,0"}}, {},
         {{Units, "TemperatureUnits", "Celsius"}, {Units, "DeflectionUnits", "mil"}, {Units, "SensorsLocationUnits", "inch"},
          {Units, "TestLocationUnits", "meter, meter, millimeter"}, {Units, "LoadUnits", "kilo-Pascal"},
          {Units, "LoadPlateRadiusUnits", "millimeter"}}},
        // An unlisted code (7 in field 7) changes neither its unit nor the flag.
        {"", {{"5010,1,x,x,x,x,7,x,3"}}, {},
         {{Units, "SensorsLocationUnits", ""}, {Units, "LoadPlateRadiusUnits", "millimeter"}}},

        // Sensor lists end at "N0" (any case, as late as field 40); without one only the radius is set.
        {"", {AtLocation({"5020, 150 ,0, 200 ,300,N0,999", "1,9,1,2,3,4"})}, {},
         {{Config, "LoadPlateRadius", "150"}, {Config, "DeflectionSensorXAxisDistances", "0, 200, 300"},
          {Config, "NumberOfDeflectionSensors", "3"}, {Here, "DropData_1", "9, 1, 2, 3"}}},
        {"", {{"5021,301,0,0,0,0, n0 "}}, {}, {{Config, "LoadPlateRadius", "150.5"}, {Config, "NumberOfDeflectionSensors", "4"}}},
        {"", {{"5020,7,1,2,N0", "5021,0,5,6,N0"}}, {},
         {{Config, "LoadPlateRadius", "7"}, {Config, "DeflectionSensorYAxisDistances", "5, 6"}}},
        {"", {{"5020,1" + std::string(38, ',') + "N0"}}, {}, {{Config, "NumberOfDeflectionSensors", "37"}}},
        {"", {AtLocation({"5020,5.9,0,8,12", "1,5,6,7"})}, {},
         {{Config, "LoadPlateRadius", "5.9"}, {Config, "NumberOfDeflectionSensors", "0"},
          {Here, "DropData_1", "5, 6, 7"}}},

        // Stations: the lane loses double quotes only. Date fields that are no numbers give up the
        // record once the location is opened, so no drops follow.
        {"", {{"5301,0", "5301,1,x,x,x, 0.150 ,x,x,\" 'OWP' \",4,4,7,9,0"}}, {},
         {{Here, "TestLocation", "0.150, 0, 0"}, {Here, "TestLane", "'OWP'"}}},
        {"", {{"5301,0", "5301,1,x,x,x,5.0,x,x,L,y,m,d,8,0", "1,100,10", "5030,Next"}}, {},
         {{Here, "TestLocation", ""}, {Here, "NumberOfDrops", "0"}, {Ops, "OperatorName", "Next"}}},
        // Temperatures: the uses follow the readings found; without a location only they are set.
        {"", {AtLocation({"5303,x,1,2,3", "5303,x,N0,N0,N0"})}, {},
         {{Here, "TestTemperatures", ", , "}, {Config, "NumberOfTemperatureSensors", "0"},
          {Config, "TemperatureSensorUse", "air, surface, mid-depth"}}},
        {"", {{"5303,x,1,N0,3"}}, {}, {{Config, "NumberOfTemperatureSensors", "2"}}},

        // Data lines: the load and one field per sensor. Record codes are read as numbers up to the
        // first character that ends one; the ignored ranges are no drops, their neighbours are.
        {"", {AtLocation({"1, 550 ,412,301,99", "2,560", "5219,9,8,7", "5201.5,7,8", "abc,3,4", " 50 30.0xyz,Ann", "5003,1",
                     "5022,1", "5029,1", "5041,1", "5044,1", "5281,1", "7655,1", "7656,1", "7901,1", "7904,1",
                     "5022.5,1", "5040,1", "5045,1", "7654,1", "7657,1", "7900,1", "7905,1"})}, {},
         {{Here, "DropData_1", "550, 412, 301"}, {Here, "DropData_2", "560, , "}, {Here, "DropData_3", "9, 8, 7"},
          {Here, "DropData_4", "7, 8, "}, {Here, "DropData_5", "3, 4, "}, {Here, "NumberOfDrops", "11"},
          {Ops, "OperatorName", "Ann"}}},
        // Empty lines are skipped, a line of blanks is a data line.
        {"", {{"5301,0", "", "5301,1,x,x,x,1,x,x,L,4,4,7,9,0", "", "   ", "1,5,6"}}, {},
         {{Here, "DropData_1", ", , "}, {Here, "NumberOfDrops", "2"}}},

        // A second file skips its first station again, takes no line before its own station as a
        // drop or sample of the first file's location, keeps the sensor count and the start date.
        {"", {AtLocation({"5020,150,0,300,N0", "1,100,10,20", "5185,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,600", "1,5,1,2"}), {"1,7,7,7", "5301,0", "2,8,8,8", "5301,2,x,x,x,2,x,x,L,4,4,8,10,0", "1,200,11,21"}}, {},
         {{"Test Location 1", "NumberOfDrops", "1"}, {"Test Location 1", "DropHistoryData_1_1", "5, 1, 2"},
          {Here, "DropData_1", "200, 11, 21"}, {Ops, "StartDate", "07-Apr-2004"}, {Ops, "StartTime", "09:00:00"}}},
    }, {.warnings = false, .setup = [](test::ReaderRun& run) { run.NumSensors = 2; }});
    // Only ".F25" in upper case goes from the name.
    test::ExpectReads(FileType::DynatestF25, {{"file name", {{"5001,1"}}, {}, {{Ops, "FileName", "a.DDX.f25"}}}},
                      {.name = "a.F25.f25"});
}

// Each line skipped or taken in part is one warning naming its line and what was wrong; the
// values stay as they were read.
TEST(F25Read, WarningsNameTheLineAndWhatWasWrong)
{
    const std::string station2 = "5301,2,x,x,x,2,x,x,L,4,4,8,10,0";
    test::ExpectReads(FileType::DynatestF25, {
        {"good lines", {AtLocation({"5020,150,0,300,N0", "1,1,2,3", "5303,x,1,N0,3"})}, {}, {}, 2},
        {"a date given up", {{"5301,0", "5301,1,x,x,x,5.0,x,x,L,y,m,d,8,0"}},
         {{2, "\"y\" is not a number; the rest of the line was skipped"}}, {}, 2},
        {"too many sensors", {AtLocation({"5030,A", "1,5,6"})}, {{4, "at most 38 deflections, and 39 sensors"}}, {},
         39},
        {"temperatures", {AtLocation({"5303,0, 18.0, 22.17.7"})},
         {{3, "temperature in field 5 is missing; temperature \"22.17.7\" is not a number"}},
         {{Here, "TestTemperatures", ", 22.17.7, 18.0"}}, 2},
        {"drops short, wrong and long", {AtLocation({"1,100,1,x", "2,100,1,2,3,4", "3, 100 , 1 ,2, 3"})},
         {{3, "the line holds 2 of the 3 deflections; deflection 2 \"x\" is not a number"},
          {4, "the line holds 1 more values than the 3 sensors have deflections"}},
         {{Here, "DropData_1", "100, 1, x, "}, {Here, "DropData_2", "100, 1, 2, 3"}}, 3},
        {"unit codes and times", {{"5010,0,x,x,x,0,7,x,2,x,x,0", "5011,x,x,04,1,2,25,10"}},
         {{1, "unit code \"7\" in field 7 is not known"}, {2, "time \"25:10\" is not a time of day"}},
         {{Ops, "EndDate", "02-Jan-2004"}, {Ops, "EndTime", ""}}, 2},
        // A GPS fix belongs to the station record below it.
        {"GPS fixes",
         {{"5280,0,0,1,2,3", "5301,0", "5280,0,0,4,5,6", "5301,1,x,x,x,1,x,x,L,4,4,7,9,0", "5280,0,0,7,8,9",
           "5280,0,0, 10 ,x,12", station2, "5280,0,0,13,14,15"}},
         {{1, "GPS fix not kept: the station record below it is the file's first"},
          {5, "GPS fix not kept: the fix of line 6 follows it"}, {6, "GPS longitude \"x\" is not a number"},
          {8, "GPS fix not kept: no station record follows it"}},
         {{"Test Location 1", "GPSLocation", "4, 5, 6"}, {"Test Location 2", "GPSLocation", "10, x, 12"}}, 2},
        // A fix whose failure code is set is no position; a station's seconds are kept where given.
        {"failed fixes and seconds",
         {{"5301,0", "5280,2,0,1,2,3", "5301,1,x,x,x,1,x,x,L,4,4,7,9,5, 37 ", "5280,5,0,4,5,6", "5280, 0 ,0,7,8,9",
           station2 + ",61", "5301,3,x,x,x,3,x,x,L,4,4,8,11,2,7.5"}},
         {{2, "GPS fix failed (code 2: DOPs too large); it was not used"}, {4, "GPS fix failed (code 5)"},
          {6, "seconds \"61\" are not 0 to 59; the time was written with :00"}},
         {{"Test Location 1", "GPSLocation", ""}, {"Test Location 1", "TestTime", "09:05:37"},
          {Ops, "StartTime", "09:05:37"}, {"Test Location 2", "GPSLocation", "7, 8, 9"},
          {"Test Location 2", "TestTime", "10:00:00"}, {"Test Location 3", "TestTime", "11:02:07"}}, 2},
        // Comment records join the station's comment; those before the first station wait for it.
        {"comments", {{"7901,\"KM 12\"", "5301,0", "5301,1,x,x,x,1,x,x,L,4,4,7,9,0", "5302,x,x,x,x,x,x,x,x,\"crack\"",
                       "7901,Bridge, 'joint'", "1,5,6,7", station2, "7901,,end", "7901"}},
         {},
         {{"Test Location 1", "TestComment", "KM 12; crack; Bridge, joint"}, {"Test Location 1", "NumberOfDrops", "1"},
          {"Test Location 2", "TestComment", "end"}}, 2},
        {"a comment with no station", {{"7901,lost", "5301,0"}}, {{0, "comment records \"lost\" not kept"}}, {}, 2},
        // The X offsets count the deflections of a drop, whichever list comes first.
        {"fewer Y offsets", {AtLocation({"5020,150,0,200,300,N0", "5021,300,0,0,N0", "1,50,1,2,3"})},
         {{4, "the Y offsets list 2 sensors and the X offsets 3; every drop keeps the 3 deflections"}},
         {{Config, "NumberOfDeflectionSensors", "3"}, {Config, "DeflectionSensorYAxisDistances", "0, 0"},
          {Here, "DropData_1", "50, 1, 2, 3"}}, 2},
        {"Y offsets first", {AtLocation({"5021,300,0,0,0,0,N0", "5020,150,0,200,300,N0", "1,50,1,2,3"})},
         {{4, "the Y offsets list 4 sensors and the X offsets 3"}},
         {{Config, "NumberOfDeflectionSensors", "3"}, {Here, "DropData_1", "50, 1, 2, 3"}}, 2},
        // The records that follow a file's first station record are its own.
        {"a second file's first station",
         {AtLocation({}), {"5301,0", "5302,x,x,x,x,x,x,x,x,note", "5303,x,1,2,3", station2}}, {},
         {{"Test Location 1", "TestComment", ""}, {"Test Location 2", "TestTemperatures", ""}}, 2},
        // A line of more than 40 fields ends the file, without its closing values.
        {"a line too wide", {{"5030,Kept", "", "5001" + std::string(40, ',') + "x", "5032,Never"}}, {},
         {{Ops, "OperatorName", "Kept"}, {Site, "SectionName", ""}, {Ops, "FileName", ""},
          {Device, "DeviceDesignationName", ""}, {Units, "GPSUnits", ""}}, 2, {3, "40"}},
    });
    test::ReaderRun run;  // a file of bad lines lists the first 20 and counts them all
    run.Read(FileType::DynatestF25, std::vector<std::string>(25, "5303,x,N0,N0,N0"));
    EXPECT_EQ(run.Warnings.Count(), 25u);
    // As the user reads them: the file, the line (none for the file as a whole), the rest counted.
    ReadWarnings many;
    many.Add(0, "whole");
    for (int line = 2; line <= 21; ++line) many.Add(line, "x");
    const std::vector<std::string> shown = WarningLines("f.F25", many, "warning: ");
    EXPECT_EQ(shown.front(), "f.F25: warning: whole");
    EXPECT_EQ(shown[1], "f.F25:2: warning: x");
    EXPECT_EQ(shown.back(), "f.F25: warning: and 1 more warning of this kind, not listed");
    many.Add(22, "x");
    EXPECT_EQ(WarningLines("f.F25", many).back(), "f.F25: and 2 more warnings of this kind, not listed");
    EXPECT_EQ(run.Warnings.Listed().back().Line, 20);
}

}  // namespace
}  // namespace vantrel
