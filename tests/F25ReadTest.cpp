// The Dynatest F25 reader, beyond what the examples show: fields taken cleaned, trimmed or as they
// stand, each unit code and the metric flag it leaves, sensor lists up to field 40, stations and
// temperatures, record codes read as numbers and the ignored ranges, a bad line given up alone,
// the field limit ending the file, and what carries from one file to the next.

#include <gtest/gtest.h>

#include <tuple>

#include "import/modF25Read.h"
#include "support/ReaderTest.h"

namespace vantrel {
namespace {

constexpr const char *Ops = "Operations Information", *Units = "Units", *Device = "Device Information",
                     *Config = "Device Configuration", *Calib = "Device Calibration",
                     *Site = "Location Identification", *Here = "";

// The lines of one file (read after `earlier`, into the same document, when there is one) and
// the elements they must set. The program holds two sensors beforehand.
struct Case {
    std::vector<std::string> lines;
    std::vector<test::Expect> expected;
    std::vector<std::string> earlier = {};
    std::string name = "T.F25";
};

// The first station record of a file opens nothing; the second opens a test location.
std::vector<std::string> AtLocation(std::vector<std::string> lines)
{
    lines.insert(lines.begin(), {"5301,0", "5301,1,x,x,x,1,x,x,L,4,4,7,9,0"});
    return lines;
}

TEST(F25Read, LinesSetTheirElements)
{
    // One unit code per line; the plate unit shows the metric flag it leaves.
    const auto unit = [](std::string line, const char* key, const char* value, const char* plate) {
        return Case{{std::move(line)}, {{Units, key, value}, {Units, "LoadPlateRadiusUnits", plate}}};
    };
    const Case cases[] = {
        {{"5001, 25.31 ", "5002,x, '80-1-A' ,y", "5032,' Sec A'"},
         {{Ops, "SoftwareVersion", " 25.31 "}, {Device, "DeviceSerialNumber", " 80-1-A "},
          {Device, "DeviceModelNumber", " 80"}, {Site, "SectionName", "Sec A"}}},
        // Sensors 5201 to 5218, skipping "NA" (for 5201 only without apostrophes).
        {{"5201,\"S1\",x,1,2", "5204, 'NA' ,x,9,9", "5218,S18,x, 3,4 ", "5219,S19,x,9,9"},
         {{Device, "SensorSerialNumbers", "S1, S18"}, {Calib, "SensorCalibrationCenterGain", "1,  3"},
          {Calib, "SensorReferenceCalibrationFactor", "2, 4 "}}},
        {{"5201,\" NA \",x,5,6"}, {{Device, "SensorSerialNumbers", ""}}},
        {{"5201,'NA',x,5,6"}, {{Device, "SensorSerialNumbers", "NA"}}},

        // Unit records: fields 2, 6, 7, 9 and 12, each code alone.
        unit("5010, 0 ", "TemperatureUnits", "Celsius", "millimeter"),
        unit("5010,1", "TemperatureUnits", "Fahrenheit", ""),
        unit("5010,x,x,x,x,0", "DeflectionUnits", "micron", "millimeter"),
        unit("5010,x,x,x,x,1", "DeflectionUnits", "mil", ""),
        unit("5010,x,x,x,x,x,0", "SensorsLocationUnits", "millimeter", "millimeter"),
        unit("5010,x,x,x,x,x,1", "SensorsLocationUnits", "inch", "inch"),
        unit("5010,x,x,x,x,x,x,x,2", "TestLocationUnits", "meter, meter, millimeter", "millimeter"),
        unit("5010,x,x,x,x,x,x,x,3", "TestLocationUnits", "kilometer, meter, meter", "millimeter"),
        unit("5010,x,x,x,x,x,x,x,4", "TestLocationUnits", "inch, inch ,inch", "millimeter"),
        unit("5010,x,x,x,x,x,x,x,5", "TestLocationUnits", "foot, inch, inch", ""),
        unit("5010,x,x,x,x,x,x,x,6", "TestLocationUnits", "yard, inch, inch", ""),
        unit("5010,x,x,x,x,x,x,x,7", "TestLocationUnits", "mile, inch, inch", ""),
        unit("5010,x,x,x,x,x,x,x,8", "TestLocationUnits", "mile, inch, inch", ""),
        unit("5010,x,x,x,x,x,x,x,9", "TestLocationUnits", "mile-feet, inch, inch", ""),
        unit("5010,x,x,x,x,x,x,x,x,x,x,0", "LoadUnits", "kilo-Pascal", "millimeter"),
        unit("5010,x,x,x,x,x,x,x,x,x,x,1", "LoadUnits", "pound-force per square inch", ""),
        // An unlisted code (7 in field 7) changes neither its unit nor the flag.
        {{"5010,1,x,x,x,x,7,x,3"},
         {{Units, "SensorsLocationUnits", ""}, {Units, "LoadPlateRadiusUnits", "millimeter"}}},

        // Sensor lists end at "N0" (any case, as late as field 40); without one only the radius is set.
        {AtLocation({"5020, 150 ,0, 200 ,300,N0,999", "1,9,1,2,3,4"}),
         {{Config, "LoadPlateRadius", "150"}, {Config, "DeflectionSensorXAxisDistances", "0, 200, 300"},
          {Config, "NumberOfDeflectionSensors", "3"}, {Here, "DropData_1", "9, 1, 2, 3"}}},
        {{"5021,301,0,0,0,0, n0 "}, {{Config, "LoadPlateRadius", "150.5"}, {Config, "NumberOfDeflectionSensors", "4"}}},
        {{"5020,7,1,2,N0", "5021,0,5,6,N0"},
         {{Config, "LoadPlateRadius", "7"}, {Config, "DeflectionSensorYAxisDistances", "5, 6"}}},
        {{"5020,1" + std::string(38, ',') + "N0"}, {{Config, "NumberOfDeflectionSensors", "37"}}},
        {AtLocation({"5020,5.9,0,8,12", "1,5,6,7"}),
         {{Config, "LoadPlateRadius", "5.9"}, {Config, "NumberOfDeflectionSensors", "0"},
          {Here, "DropData_1", "5, 6, 7"}}},

        // Stations: the lane loses double quotes only. Date fields that are no numbers give up the
        // record once the location is opened, so no drops follow.
        {{"5301,0", "5301,1,x,x,x, 0.150 ,x,x,\" 'OWP' \",4,4,7,9,0"},
         {{Here, "TestLocation", "0.150, 0, 0"}, {Here, "TestLane", "'OWP'"}}},
        {{"5301,0", "5301,1,x,x,x,5.0,x,x,L,y,m,d,8,0", "1,100,10", "5030,Next"},
         {{Here, "TestLocation", ""}, {Here, "NumberOfDrops", "0"}, {Ops, "OperatorName", "Next"}}},
        // Temperatures: the uses follow the readings found; without a location only they are set.
        {AtLocation({"5303,x,1,2,3", "5303,x,N0,N0,N0"}),
         {{Here, "TestTemperatures", ", , "}, {Config, "NumberOfTemperatureSensors", "0"},
          {Config, "TemperatureSensorUse", "air, surface, mid-depth"}}},
        {{"5303,x,1,N0,3"}, {{Config, "NumberOfTemperatureSensors", "2"}}},

        // Data lines: the load and one field per sensor. Record codes are read as numbers up to the
        // first character that ends one; the ignored ranges are no drops, their neighbours are.
        {AtLocation({"1, 550 ,412,301,99", "2,560", "5219,9,8,7", "5201.5,7,8", "abc,3,4", " 50 30.0xyz,Ann", "5003,1",
                     "5022,1", "5029,1", "5041,1", "5044,1", "5281,1", "7655,1", "7656,1", "7901,1", "7904,1",
                     "5022.5,1", "5040,1", "5045,1", "7654,1", "7657,1", "7900,1", "7905,1"}),
         {{Here, "DropData_1", "550, 412, 301"}, {Here, "DropData_2", "560, , "}, {Here, "DropData_3", "9, 8, 7"},
          {Here, "DropData_4", "7, 8, "}, {Here, "DropData_5", "3, 4, "}, {Here, "NumberOfDrops", "11"},
          {Ops, "OperatorName", "Ann"}}},
        // Empty lines are skipped, a line of blanks is a data line.
        {{"5301,0", "", "5301,1,x,x,x,1,x,x,L,4,4,7,9,0", "", "   ", "1,5,6"},
         {{Here, "DropData_1", ", , "}, {Here, "NumberOfDrops", "2"}}},
        {{"5001,1"}, {{Ops, "FileName", "a.DDX.f25"}}, {}, "a.F25.f25"},  // only ".F25" in upper case goes

        // A second file skips its first station again, takes no line before its own station as a
        // drop or sample of the first file's location, keeps the sensor count and the start date.
        {{"1,7,7,7", "5301,0", "2,8,8,8", "5301,2,x,x,x,2,x,x,L,4,4,8,10,0", "1,200,11,21"},
         {{"Test Location 1", "NumberOfDrops", "1"}, {"Test Location 1", "DropHistoryData_1_1", "5, 1, 2"},
          {Here, "DropData_1", "200, 11, 21"}, {Ops, "StartDate", "07-Apr-2004"}, {Ops, "StartTime", "09:00:00"}},
         AtLocation({"5020,150,0,300,N0", "1,100,10,20", "5185,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,600", "1,5,1,2"})},
    };
    for (const Case& c : cases) {
        test::ReaderRun run;
        run.NumSensors = 2;
        if (!c.earlier.empty()) run.Read(ReadF25File, c.earlier, "A.F25");
        run.Read(ReadF25File, c.lines, c.name);
        run.ExpectValues(c.expected, testing::PrintToString(c.lines));
    }
}

// A line given up part-way is a warning naming its line and why; good lines give none, and a
// file of many bad lines lists the first of them and counts the rest.
TEST(F25Read, ALineGivenUpIsAWarningNamingItsLine)
{
    const std::vector<std::string> bad(25, "5303,x,N0,N0,N0");
    const std::tuple<int, std::vector<std::string>, std::vector<int>, std::string> cases[] = {
        {2, AtLocation({"5020,150,0,300,N0", "1,1,2,3", "5303,x,1,2,3"}), {}, ""},
        {2, {"5301,0", "5301,1,x,x,x,5.0,x,x,L,y,m,d,8,0"}, {2}, "\"y\" is not a number"},
        {39, AtLocation({"5030,A", "1,5,6"}), {4}, "at most 38 deflections, and 39 sensors"},
        {2, bad, std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}, "no reading"},
    };
    for (const auto& [sensors, lines, warned, why] : cases) {
        test::ReaderRun run;
        run.NumSensors = sensors;
        run.Read(ReadF25File, lines);
        std::vector<int> numbers;
        for (const LineWarning& warning : run.Warnings.Listed()) {
            numbers.push_back(warning.Line);
            EXPECT_NE(warning.What.find(why), std::string::npos) << warning.What;
        }
        EXPECT_EQ(numbers, warned) << lines.back();
        EXPECT_EQ(run.Warnings.Count(), lines == bad ? 25u : warned.size());
    }
}

TEST(F25Read, ALineOfMoreThanFortyFieldsEndsTheFileWithoutClosingValues)
{
    test::ReaderRun run;
    const std::string wide = "5001" + std::string(40, ',') + "x";
    const ReadError error = run.Failure(ReadF25File, {"5030,Kept", "", wide, "5032,Never"}, "w.F25");
    EXPECT_EQ(error.Line(), 3);
    EXPECT_EQ(error.File(), "w.F25");
    EXPECT_NE(error.Reason().find("40"), std::string::npos) << error.Reason();
    run.ExpectValues({{Ops, "OperatorName", "Kept"}, {Site, "SectionName", ""}, {Ops, "FileName", ""},
                      {Device, "DeviceDesignationName", ""}, {Units, "GPSUnits", ""}});
}

}  // namespace
}  // namespace vantrel
