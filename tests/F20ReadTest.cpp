// The Dynatest F20 reader: header lines by number, fixed columns in the wide and narrow layouts,
// the first error ending the file, and a fresh start at every file.

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "support/TestSupport.h"
#include "core/ProgramState.h"
#include "base/ReadError.h"
#include "base/modConvert.h"
#include "import/modF20Read.h"

namespace vantrel {
namespace {

using test::CrLf;
using test::TempDir;

// A fixed-column line: each text starts at its 1-based column, blanks fill the gaps, and the
// line is padded with blanks to `length`.
std::string Cols(std::initializer_list<std::pair<std::size_t, std::string>> pieces, std::size_t length = 0)
{
    std::string line;
    for (const auto& [column, text] : pieces) {
        if (line.size() < column - 1 + text.size()) line.resize(column - 1 + text.size(), ' ');
        line.replace(column - 1, text.size(), text);
    }
    if (line.size() < length) line.resize(length, ' ');
    return line;
}

// Sensor k's value at column `first` + 6k, right-aligned in six columns, after the load at `first`.
std::string DropLine(char mark, std::size_t first, const std::vector<std::string>& values, std::size_t length = 0)
{
    std::string line(first - 1 + 6 * values.size(), ' ');
    line[0] = mark;
    for (std::size_t k = 0; k < values.size(); ++k) {
        const std::string& v = values[k];
        line.replace(first - 1 + 6 * k + 6 - v.size(), v.size(), v);
    }
    if (line.size() < length) line.resize(length, ' ');
    return line;
}

// Lines 1 to 22 of a file: the date 07-Apr-2004, the header length, the sensor count in line 2,
// line 3 and line 22 as given; calibration lines that every count can read.
std::vector<std::string> Header(const std::string& sensors, const std::string& line3, const std::string& line22,
                                const std::string& headerLength = "22")
{
    std::vector<std::string> lines = {
        Cols({{1, "R32-20"}, {14, "04"}, {16, "04"}, {18, "07"}, {28, headerLength}, {30, "2.1"}}),
        Cols({{1, sensors}, {9, "SERIAL01"}, {17, "DMI-1234"}}),
        line3,
    };
    for (int n = 4; n <= 21; ++n)
        lines.push_back(n >= 10 && n <= 20 ? "W" + std::to_string(n) + " S" + std::to_string(n) + " 1.5 2.5"
                                           : "line " + std::to_string(n));
    lines.push_back(line22);
    return lines;
}

std::vector<std::string> Joined(std::vector<std::string> lines, const std::vector<std::string>& more)
{
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

class F20Read : public ::testing::Test {
protected:
    std::string ReadFile(const std::string& name, const std::vector<std::string>& lines, PDDXFile& into)
    {
        const std::string path = (dir_ / name).string();
        test::WriteBytes(path, CrLf(lines));
        test::ReadFile(ReadF20File, state_, path, into);
        return path;
    }
    std::string ReadFile(const std::string& name, const std::vector<std::string>& lines)
    {
        return ReadFile(name, lines, doc_);
    }
    // The ReadError of a file that must fail.
    ReadError FailingRead(const std::vector<std::string>& lines)
    {
        return test::ReadFailure([&] { ReadFile("bad.F20", lines); });
    }
    void Parse(const std::string& line, int number) { ParseF20Line(context_, f20_, line, number, doc_); }
    std::string Value(std::string_view section, std::string_view key) const
    {
        return std::string(doc_.Element(section, key).Value());
    }
    std::string Location(int n, std::string_view key) const
    {
        return std::string(doc_.Element("Test Location " + std::to_string(n), key).Value());
    }

    TempDir dir_;
    ProgramState state_ = NewProgramState(dir_.Path());
    ReaderContext context_ = ReaderContextOf(state_);
    F20State f20_;
    PDDXFile doc_;
};

TEST_F(F20Read, LineOneGivesVersionDateAndHeaderLengthFromExactColumns)
{
    // Digits next to each field would change it if a column were taken one place off.
    Parse(Cols({{13, "9"}, {14, "04"}, {16, "11"}, {18, "23"}, {20, "8"}, {27, "9"}, {28, "24"}, {30, "V21"}, {33, "Z"}}),
          1);
    EXPECT_EQ(Value("Operations Information", "SoftwareVersion"), "V21");
    EXPECT_EQ(Value("Operations Information", "EndDate"), "23-Nov-2004");
    EXPECT_EQ(f20_.HeaderLength, 24);

    Parse(Cols({{14, "99"}, {16, "13"}, {18, " 0"}, {28, " 5"}, {30, "1"}}), 1);  // month 13, day 0
    EXPECT_EQ(Value("Operations Information", "EndDate"), "31-Dec-1999");
    EXPECT_EQ(Value("Operations Information", "SoftwareVersion"), "1");  // the line ends first
    EXPECT_EQ(f20_.HeaderLength, 5);

    Parse(Cols({{14, "30"}, {16, " 2"}, {18, "29"}, {28, "22"}}), 1);
    EXPECT_EQ(Value("Operations Information", "EndDate"), "01-Mar-1930");

    const ReadError error = FailingRead({Cols({{14, "ab"}, {16, "01"}, {18, "01"}, {28, "22"}})});
    EXPECT_EQ(error.Line(), 1);
    EXPECT_NE(error.Reason().find("year"), std::string::npos) << error.Reason();
    EXPECT_EQ(FailingRead({Cols({{14, "04"}, {16, "01"}, {18, "01"}})}).Line(), 1);  // no header length
}

TEST_F(F20Read, LineTwoSetsTheSensorCountAndKeepsColumnsAsTheyStand)
{
    Parse(Cols({{1, "7"}, {8, "x"}, {9, " 8002-99"}, {17, "0.9987  "}, {25, "y"}}), 2);
    EXPECT_EQ(state_.Settings.NumSensors, 7);
    EXPECT_EQ(Value("Device Configuration", "NumberOfDeflectionSensors"), "7");
    EXPECT_EQ(Value("Device Information", "DeviceSerialNumber"), " 8002-99");
    EXPECT_EQ(Value("Device Calibration", "DMIDeviceCalibrationFactor"), "0.9987  ");

    EXPECT_EQ(FailingRead({Cols({{14, "04"}, {16, "01"}, {18, "01"}, {28, "22"}}), " 7      SERIAL"}).Line(), 2);
}

TEST_F(F20Read, CalibrationLinesAreReadUpToTheSensorCount)
{
    state_.Settings.NumSensors = 3;
    Parse("  LC   L-7  1.0020   2.115000 extra", 10);
    Parse("S1 101 0.99800 1.0100", 11);
    Parse("S2 102 1.003 0.99", 12);
    Parse("S3 103 1.0 1.23456789", 13);
    Parse("S4 104 7 7", 14);   // a fourth sensor when there are three: spare
    Parse("spare", 15);        // spare lines are not read at all
    EXPECT_EQ(Value("Device Information", "LoadCellSerialNumber"), "L-7");
    EXPECT_EQ(Value("Device Calibration", "LoadCellCalibrationCenterGain"), "1.002");
    EXPECT_EQ(Value("Device Calibration", "LoadCellCalibrationFactor"), "2.115");
    EXPECT_EQ(Value("Device Information", "SensorSerialNumbers"), "101, 102, 103");
    EXPECT_EQ(Value("Device Calibration", "SensorCalibrationCenterGain"), "0.998, 1.003, 1");
    EXPECT_EQ(Value("Device Calibration", "SensorReferenceCalibrationFactor"), "1.01, 0.99, 1.234568");

    // Line 20 is the tenth sensor.
    state_.Settings.NumSensors = 10;
    Parse("S10 110 2 3", 20);
    EXPECT_EQ(Value("Device Information", "SensorSerialNumbers"), "101, 102, 103, 110");
}

TEST_F(F20Read, AMalformedCalibrationLineEndsTheFileThere)
{
    std::vector<std::string> lines = Header("3", "", "00   2");
    lines[10] = "S1 101 0.998";  // line 11 has three words
    ReadError error = FailingRead(lines);
    EXPECT_EQ(error.Line(), 11);
    EXPECT_NE(error.Reason().find("four words"), std::string::npos) << error.Reason();
    // What came before stays, the closing values are not written.
    EXPECT_EQ(Value("Device Information", "LoadCellSerialNumber"), "S10");
    EXPECT_EQ(Value("Operations Information", "FileName"), "");
    EXPECT_EQ(Value("Device Information", "DeviceDesignationName"), "");

    lines = Header("3", "", "00   2");
    lines[11] = "S2 102 1,5 2";  // line 12 (the second sensor): a decimal comma is no number
    error = FailingRead(lines);
    EXPECT_EQ(error.Line(), 12);
    EXPECT_NE(error.Reason().find("gain"), std::string::npos) << error.Reason();
}

TEST_F(F20Read, ACalibrationLineKeepsWhatItSetBeforeTheWordThatFails)
{
    // The load cell: serial number, gain, factor; a missing factor leaves the first two set.
    EXPECT_THROW(Parse("LC L-7 1.5", 10), std::invalid_argument);
    EXPECT_EQ(Value("Device Information", "LoadCellSerialNumber"), "L-7");
    EXPECT_EQ(Value("Device Calibration", "LoadCellCalibrationCenterGain"), "1.5");
    EXPECT_EQ(Value("Device Calibration", "LoadCellCalibrationFactor"), "");

    // A sensor: serial number, then the factor (word 3), then the gain (word 2).
    state_.Settings.NumSensors = 3;
    EXPECT_THROW(Parse("S1 101 0.998 x", 11), ConversionError);
    EXPECT_EQ(Value("Device Information", "SensorSerialNumbers"), "101");
    EXPECT_EQ(Value("Device Calibration", "SensorReferenceCalibrationFactor"), "");
    EXPECT_EQ(Value("Device Calibration", "SensorCalibrationCenterGain"), "");

    Parse("S1 101 0.998 1.01", 11);
    EXPECT_THROW(Parse("S2 102 x 0.99", 12), ConversionError);
    EXPECT_EQ(Value("Device Information", "SensorSerialNumbers"), "101, 102");
    EXPECT_EQ(Value("Device Calibration", "SensorReferenceCalibrationFactor"), "1.01, 0.99");
    EXPECT_EQ(Value("Device Calibration", "SensorCalibrationCenterGain"), "0.998");
}

TEST_F(F20Read, UsUnitsWithANarrowLineThreeGiveLoadInPsi)
{
    state_.Settings.NumSensors = 7;
    f20_.Line3 = Cols({{1, "  5.91"}, {7, "999999"}, {13, "   8.0"}, {19, "  12.0"}, {25, "  18.0"}, {31, "  24.0"},
                       {37, "  36.0"}, {43, "  60.0"}},
                      48);
    Parse(Cols({{1, "11"}, {6, "3"}}), 22);
    EXPECT_FALSE(f20_.Metric);
    EXPECT_EQ(Value("Units", "LoadUnits"), "pound-force per square inch");
    EXPECT_EQ(Value("Units", "DeflectionUnits"), "mil");
    EXPECT_EQ(Value("Units", "SensorsLocationUnits"), "inch");
    EXPECT_EQ(Value("Units", "LoadPlateRadiusUnits"), "inch");
    EXPECT_EQ(Value("Units", "TemperatureUnits"), "Fahrenheit");
    EXPECT_EQ(Value("Units", "TestLocationUnits"), "mile, inch, inch");
    EXPECT_EQ(Value("Device Configuration", "LoadPlateRadius"), "  5.91");  // not trimmed
    EXPECT_EQ(Value("Device Configuration", "DeflectionSensorXAxisDistances"), "0, 8.0, 12.0, 18.0, 24.0, 36.0, 60.0");
}

TEST_F(F20Read, UsUnitsWithAWideLineThreeTakeTheRightHalf)
{
    state_.Settings.NumSensors = 4;
    // Narrow-layout decoys in columns 1 to 32; the wide values from column 33.
    f20_.Line3 = Cols({{1, "  9.99"}, {13, "   1.0"}, {19, "   2.0"}, {25, "   3.0"}, {33, "  5.91"}, {39, "XXX"},
                       {42, "   8.0"}, {48, "  12.0"}, {54, "  18.0"}, {60, "  24.0"}},
                      50);
    Parse(Cols({{1, "10"}, {6, "5"}}), 22);
    EXPECT_EQ(Value("Units", "LoadUnits"), "pound-force");
    EXPECT_EQ(Value("Units", "TemperatureUnits"), "Celsius");
    EXPECT_EQ(Value("Units", "TestLocationUnits"), "mile-feet, inch, inch");
    EXPECT_EQ(Value("Device Configuration", "LoadPlateRadius"), "  5.91");
    EXPECT_EQ(Value("Device Configuration", "DeflectionSensorXAxisDistances"), "0, 8.0, 12.0, 18.0");

    // 49 characters is still the narrow layout.
    f20_.Line3.resize(49);
    Parse(Cols({{1, "10"}, {6, "5"}}), 22);
    EXPECT_EQ(Value("Units", "LoadUnits"), "pound-force per square inch");
    EXPECT_EQ(Value("Device Configuration", "LoadPlateRadius"), "  9.99");
    EXPECT_EQ(Value("Device Configuration", "DeflectionSensorXAxisDistances"), "0, 1.0, 2.0, 3.0");
}

TEST_F(F20Read, MetricFilesReadTheNarrowColumnsWhateverTheLength)
{
    state_.Settings.NumSensors = 3;
    f20_.Line3 = Cols({{1, "1500"}, {5, "99"}, {13, "   300"}, {19, "   600"}, {42, "  9999"}, {48, "  9999"}}, 80);
    Parse(Cols({{1, "01"}, {6, "2"}}), 22);
    EXPECT_TRUE(f20_.Metric);
    EXPECT_EQ(Value("Units", "DeflectionUnits"), "micron");
    EXPECT_EQ(Value("Units", "SensorsLocationUnits"), "millimeter");
    EXPECT_EQ(Value("Units", "LoadPlateRadiusUnits"), "millimeter");
    EXPECT_EQ(Value("Units", "LoadUnits"), "kilo-Pascal");
    EXPECT_EQ(Value("Units", "TemperatureUnits"), "Fahrenheit");
    EXPECT_EQ(Value("Units", "TestLocationUnits"), "meter, meter, millimeter");
    EXPECT_EQ(Value("Device Configuration", "LoadPlateRadius"), "1500");
    EXPECT_EQ(Value("Device Configuration", "DeflectionSensorXAxisDistances"), "0, 300, 600");

    // Any unit-system digit but 1 is metric; with one sensor the distances are just "0".
    state_.Settings.NumSensors = 1;
    Parse(Cols({{1, "20"}}), 22);
    EXPECT_TRUE(f20_.Metric);
    EXPECT_EQ(Value("Device Configuration", "DeflectionSensorXAxisDistances"), "0");
}

TEST_F(F20Read, DistanceUnitsFollowColumnSix)
{
    const std::pair<const char*, const char*> table[] = {
        {"0", "kilometer, meter, meter"}, {"1", "kilometer, meter, meter"}, {"2", "meter, meter, millimeter"},
        {"3", "mile, inch, inch"},        {"4", "mile, inch, inch"},        {"5", "mile-feet, inch, inch"},
        {"6", "foot, foot, inch"},        {"7", "yard, yard, inch"},
    };
    for (const auto& [code, units] : table) {
        Parse(Cols({{1, "00"}, {5, "9"}, {6, code}, {7, "9"}}), 22);
        EXPECT_EQ(Value("Units", "TestLocationUnits"), units) << "code " << code;
    }
    Parse(Cols({{1, "00"}, {6, " "}}), 22);  // a blank sets nothing
    EXPECT_EQ(Value("Units", "TestLocationUnits"), "yard, yard, inch");
    Parse("00", 22);  // nor does a line that ends before column 6
    EXPECT_EQ(Value("Units", "TestLocationUnits"), "yard, yard, inch");

    // Feet clear the metric flag even in a metric file.
    Parse(Cols({{1, "00"}, {6, "6"}}), 22);
    EXPECT_FALSE(f20_.Metric);
}

TEST_F(F20Read, LineTwentyTwoNeedsDigitsInColumnsOneAndTwo)
{
    for (const std::string& line22 : {std::string("x0   2"), std::string(" 0   2"), std::string("0"), std::string("0.   2")}) {
        const ReadError error = FailingRead(Header("3", "", line22));
        EXPECT_EQ(error.Line(), 22) << line22;
        EXPECT_NE(error.Reason().find("not a digit"), std::string::npos) << error.Reason();
    }

    // Column 2 is read after the units and the geometry: a bad one leaves those set.
    state_.Settings.NumSensors = 2;
    f20_.Line3 = Cols({{1, "  5.91"}, {13, "   8.0"}});
    EXPECT_THROW(Parse(Cols({{1, "1x"}, {6, "3"}}), 22), ConversionError);
    EXPECT_EQ(Value("Units", "LoadUnits"), "pound-force per square inch");
    EXPECT_EQ(Value("Device Configuration", "LoadPlateRadius"), "  5.91");
    EXPECT_EQ(Value("Device Configuration", "DeflectionSensorXAxisDistances"), "0, 8.0");
    EXPECT_EQ(Value("Units", "TemperatureUnits"), "");
    EXPECT_EQ(Value("Units", "TestLocationUnits"), "");
}

TEST_F(F20Read, StationsAndDropsInTheNarrowLayout)
{
    ReadFile("narrow.F20",
             Joined(Header("3", "", "00   2"),
                    {
                        DropLine(' ', 1, {"1", "2", "3", "4"}),  // no station yet: ignored
                        "*Main St section ",
                        Cols({{1, "S"}, {2, "   0.150"}, {10, "OWP "}, {14, "zz"}, {28, "x"}, {29, " 9"}, {31, "05"},
                              {33, "y"}}),
                        DropLine(' ', 1, {"  550", "4120.5", "3010.5", "2050.5", "999999"}),
                        DropLine('1', 1, {"1020.5", "790", "585"}),  // short: the last sensor is empty
                        "G 51.1 -0.12",
                        "' a comment",
                        "X unknown",
                        DropLine('2', 1, {"2000.0", "9", "8", "7"}),
                        "B time history",
                        DropLine(' ', 1, {"1", "1", "1", "1"}),  // a sample: ignored
                        Cols({{1, "I"}, {2, "0.300"}, {10, "IW"}, {29, "10"}, {31, "1"}}),
                        DropLine(' ', 1, {"600", "5", "4", "3"}),
                        "D",
                        "E",
                    }));
    EXPECT_EQ(Value("Location Identification", "SectionName"), "Main St section ");
    EXPECT_EQ(Value("Deflection Data", "NumberOfTestLocations"), "3");
    EXPECT_EQ(Location(1, "TestLocation"), "0.150");
    EXPECT_EQ(Location(1, "TestLane"), "OWP ");
    EXPECT_EQ(Location(1, "TestTime"), " 9:05:00");  // as it stands
    EXPECT_EQ(Location(1, "NumberOfDrops"), "3");
    EXPECT_EQ(Location(1, "DropData_1"), "550, 4120.5, 3010.5, 2050.5");
    EXPECT_EQ(Location(1, "DropData_2"), "1020.5, 790, 585, ");
    EXPECT_EQ(Location(1, "DropData_3"), "2000.0, 9, 8, 7");
    EXPECT_EQ(Location(1, "DropHistoryType"), "load and deflections");
    EXPECT_EQ(Location(2, "TestLane"), "IW  ");
    EXPECT_EQ(Location(2, "TestTime"), "10:1:00");
    EXPECT_EQ(Location(2, "DropData_1"), "600, 5, 4, 3");
    EXPECT_EQ(Location(2, "DropHistoryType"), "");
    EXPECT_EQ(Location(3, "TestLocation"), "");
    EXPECT_EQ(Location(3, "TestTime"), "::00");
    EXPECT_EQ(Location(3, "NumberOfDrops"), "0");
}

TEST_F(F20Read, WideUsDropLinesStartAtColumnThirtyThree)
{
    const std::string line3 = Cols({{33, "  5.91"}, {42, "   8.0"}, {48, "  12.0"}}, 60);
    ReadFile("wide.F20",
             Joined(Header("3", line3, "11   3"),
                    {
                        Cols({{1, "S"}, {2, "  12.345"}, {10, "L2"}, {29, "14"}, {31, "07"}}),
                        // Narrow decoys in columns 1 to 32 of the wide line.
                        Cols({{1, "1"}, {2, "    11"}, {8, "    22"}, {14, "    33"}, {20, "    44"}, {33, "9012.5"},
                              {39, "14.013"}, {45, "11.234"}, {51, "8.9123"}}),
                        DropLine(' ', 1, {"9000", "12.1", "9.8", "7.7"}, 49),  // 49 characters: narrow
                        DropLine('2', 33, {"12050.", "19.625", "15.701", "12.413"}, 50),
                    }));
    EXPECT_EQ(Value("Device Configuration", "LoadPlateRadius"), "  5.91");
    EXPECT_EQ(Location(1, "NumberOfDrops"), "3");
    EXPECT_EQ(Location(1, "DropData_1"), "9012.5, 14.013, 11.234, 8.9123");
    EXPECT_EQ(Location(1, "DropData_2"), "9000, 12.1, 9.8, 7.7");
    EXPECT_EQ(Location(1, "DropData_3"), "12050., 19.625, 15.701, 12.413");
}

TEST_F(F20Read, FeetInAMetricFileSwitchWideDropLinesToColumnThirtyThree)
{
    ReadFile("feet.F20", Joined(Header("1", "1500", "00   6"),
                                {
                                    Cols({{1, "S"}, {2, "1"}}),
                                    DropLine(' ', 33, {"700", "55"}, 50),
                                    DropLine(' ', 1, {"800", "66"}, 49),
                                }));
    EXPECT_EQ(Value("Units", "LoadUnits"), "kilo-Pascal");
    EXPECT_EQ(Value("Device Configuration", "LoadPlateRadius"), "1500");
    EXPECT_EQ(Location(1, "DropData_1"), "700, 55");
    EXPECT_EQ(Location(1, "DropData_2"), "800, 66");

    // Without the feet the same wide line is read from column 1.
    PDDXFile metric;
    ReadFile("metric.F20",
             Joined(Header("1", "1500", "00   2"), {Cols({{1, "S"}, {2, "1"}}), DropLine(' ', 1, {"700", "55"}, 50)}),
             metric);
    EXPECT_EQ(metric.Element("Test Location 1", "DropData_1").Value(), "700, 55");
}

TEST_F(F20Read, RecordsStartAfterTheHeaderLengthAndNeverBeforeLineTwentyThree)
{
    std::vector<std::string> lines = Header("1", "", "00   2", "38");
    for (int n = 23; n <= 38; ++n) lines.push_back(Cols({{1, "S"}, {2, std::to_string(n)}}));
    lines.push_back(Cols({{1, "S"}, {2, "39"}}));
    ReadFile("long.F20", lines);
    EXPECT_EQ(Value("Deflection Data", "NumberOfTestLocations"), "1");
    EXPECT_EQ(Location(1, "TestLocation"), "39");

    // A header length below 22 does not make header lines records.
    PDDXFile shortHeader;
    lines = Header("1", "", "00   2", " 3");
    lines[4] = "S  5";  // line 5: the facility name, not a station
    lines.push_back("S 23");
    ReadFile("short.F20", lines, shortHeader);
    EXPECT_EQ(shortHeader.Element("Location Identification", "FacilityName").Value(), "S  5");
    EXPECT_EQ(shortHeader.Element("Deflection Data", "NumberOfTestLocations").Value(), "1");
    EXPECT_EQ(shortHeader.Element("Test Location 1", "TestLocation").Value(), "23");
}

TEST_F(F20Read, EmptyLinesAreCountedSoLaterLinesKeepTheirNumbers)
{
    std::vector<std::string> lines = Header("2", "", "00   2");
    lines[3] = "";   // line 4
    lines[20] = "";  // line 21: no operator
    lines.push_back("");
    lines.push_back(Cols({{1, "S"}, {2, "7"}}));
    lines.push_back("B");
    lines.push_back("");
    lines.push_back("Zzz");
    ReadFile("gaps.F20", lines);
    EXPECT_EQ(Value("Units", "TestLocationUnits"), "meter, meter, millimeter");  // line 22 still
    EXPECT_EQ(Value("Operations Information", "OperatorName"), "");
    EXPECT_EQ(Location(1, "TestLocation"), "7");

    lines = Header("2", "", "00   2");
    lines.push_back("");
    lines.push_back("B before any station");
    const ReadError error = FailingRead(lines);
    EXPECT_EQ(error.Line(), 24);
    EXPECT_NE(error.File().find("bad.F20"), std::string::npos);
}

TEST_F(F20Read, TheFileNameLosesItsLastFourCharacters)
{
    const std::string line1 = Cols({{14, "04"}, {16, "04"}, {18, "07"}, {28, "22"}});
    std::string path = ReadFile("run.F20", {line1});
    EXPECT_EQ(Value("Operations Information", "FileName"), path.substr(0, path.size() - 4) + ".DDX");
    path = ReadFile("run.fwd", {line1});
    EXPECT_EQ(Value("Operations Information", "FileName"), path.substr(0, path.size() - 4) + ".DDX");
    path = ReadFile("run.F2", {line1});
    EXPECT_EQ(Value("Operations Information", "FileName"), path.substr(0, path.size() - 6) + "ru.DDX");
    EXPECT_EQ(Value("Device Information", "DeviceDesignationName"), "Dynatest FWD");
    EXPECT_EQ(Value("Units", "DropHistoryDataFrequencyUnits"), "Hertz");
}

TEST_F(F20Read, EveryFileStartsAfreshButTheSensorCountCarriesOver)
{
    // File A: metric, a long header, ends in drop mode.
    ReadFile("a.F20", Joined(Header("2", "1500", "00   2", "24"),
                             {"line 23", "line 24", Cols({{1, "S"}, {2, "A1"}}), DropLine(' ', 1, {"1", "2", "3"})}));
    EXPECT_EQ(Location(1, "DropData_1"), "1, 2, 3");

    // File B, appended: line 1 without a header length of its own would be an error, so it has
    // 22; no line 2 (the count of A stays), no line 22 (so not metric: wide drops from column
    // 33), and a drop line before its first station is not one of A's.
    std::vector<std::string> b(22, "");
    b[0] = Cols({{14, "04"}, {16, "04"}, {18, "08"}, {28, "22"}});
    b.push_back(DropLine(' ', 1, {"7", "7", "7"}));
    b.push_back("line 24 is a record here, not in A");
    b.push_back(Cols({{1, "S"}, {2, "B1"}}));
    b.push_back(DropLine(' ', 33, {"700", "55", "44"}, 60));
    ReadFile("b.F20", b);
    EXPECT_EQ(Location(1, "NumberOfDrops"), "1");
    EXPECT_EQ(Location(2, "TestLocation"), "B1");
    EXPECT_EQ(Location(2, "DropData_1"), "700, 55, 44");
    EXPECT_EQ(state_.Settings.NumSensors, 2);

    // Line 22 in a file without a line 3 finds no geometry from the file before.
    PDDXFile fresh;
    std::vector<std::string> c = b;
    c.resize(22);
    c[21] = "00   2";
    ReadFile("c.F20", c, fresh);
    EXPECT_EQ(fresh.Element("Device Configuration", "LoadPlateRadius").Value(), "");
    EXPECT_EQ(fresh.Element("Device Configuration", "DeflectionSensorXAxisDistances").Value(), "0, ");
}

}  // namespace
}  // namespace vantrel
