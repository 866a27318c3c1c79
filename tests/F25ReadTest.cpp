// The Dynatest F25 reader: record codes, the fields each record takes, modes, the rule that a
// bad line is given up alone, and what is (and is not) carried from one file to the next.

#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "core/ProgramState.h"
#include "base/ReadError.h"
#include "import/modF25Read.h"

namespace vantrel {
namespace {

using test::CrLf;
using test::TempDir;

class F25Read : public ::testing::Test {
protected:
    // Handles one line as the reader would, keeping the state between calls.
    void Parse(const std::string& line)
    {
        SplitOnCommas(line, fields_);
        ParseF25Line(context_, f25_, fields_, doc_);
    }
    void ParseAll(const std::vector<std::string>& lines)
    {
        for (const std::string& line : lines) Parse(line);
    }
    std::string ReadFile(const std::string& name, const std::vector<std::string>& lines, PDDXFile& into)
    {
        const std::string path = (dir_ / name).string();
        test::WriteBytes(path, CrLf(lines));
        test::ReadFile(ReadF25File, state_, path, into);
        return path;
    }
    std::string ReadFile(const std::string& name, const std::vector<std::string>& lines)
    {
        return ReadFile(name, lines, doc_);
    }
    std::string Value(std::string_view section, std::string_view key) const
    {
        return std::string(doc_.Element(section, key).Value());
    }
    std::string Location(int n, std::string_view key) const
    {
        return std::string(doc_.Element("Test Location " + std::to_string(n), key).Value());
    }
    bool Has(int location, std::string_view key) const
    {
        return doc_.Section("Test Location " + std::to_string(location)).Elements().Contains(key);
    }
    // The two station records that open Test Location 1 (the first one of a file opens none).
    void OpenFirstLocation()
    {
        ParseAll({"5301,0,0,0,0,0,0,0,0,4,4,7,8,0", "5301,1,x,x,x,0.000,x,x,OWP,4,4,7,8,30"});
    }

    TempDir dir_;
    ProgramState state_ = NewProgramState(dir_.Path());
    ReaderContext context_ = ReaderContextOf(state_);
    F25State f25_;
    FieldArray fields_;
    PDDXFile doc_;
};

TEST_F(F25Read, HeaderRecordsTakeTheirOwnFields)
{
    ParseAll({
        "5001, 25.31 ",
        "5002,x,\"'8081-145-A'\",y",
        "5030,\" O'Neil \",x",
        "5031,\"Route 9, north\",x,x,' AC ',y",
        "5032,'Sec A',x",
        "5200,\"LC-1\",x,1.002,2.115,y",
    });
    EXPECT_EQ(Value("Operations Information", "SoftwareVersion"), " 25.31 ");  // as it stands
    EXPECT_EQ(Value("Device Information", "DeviceSerialNumber"), "8081-145-A");
    EXPECT_EQ(Value("Device Information", "DeviceModelNumber"), "8081");  // up to the first hyphen
    EXPECT_EQ(Value("Operations Information", "OperatorName"), "ONeil");
    EXPECT_EQ(Value("Location Identification", "FacilityName"), "Route 9, north");
    EXPECT_EQ(Value("Location Identification", "PavementType"), "AC");
    EXPECT_EQ(Value("Location Identification", "SectionName"), "Sec A");
    EXPECT_EQ(Value("Device Information", "LoadCellSerialNumber"), "LC-1");
    EXPECT_EQ(Value("Device Calibration", "LoadCellCalibrationCenterGain"), "1.002");
    EXPECT_EQ(Value("Device Calibration", "LoadCellCalibrationFactor"), "2.115");

    // Without a hyphen only the serial number is set; the record is given up at that point.
    Parse("5002,x,\"9000\"");
    EXPECT_EQ(Value("Device Information", "DeviceSerialNumber"), "9000");
    EXPECT_EQ(Value("Device Information", "DeviceModelNumber"), "8081");
}

TEST_F(F25Read, SensorRecordsJoinWithCommaBlankAndSkipNA)
{
    ParseAll({
        "5201,\"S1\",x,0.998,1.01",
        "5202,'S2',x,1.003,0.99",
        "5203,\"NA\",x,9,9",
        "5204, 'NA' ,x,9,9",
        "5218,S18,x, 1.0,1.02 ",
        "5219,S19,x,9,9",  // beyond the sensor records: a data line, ignored outside a location
    });
    EXPECT_EQ(Value("Device Information", "SensorSerialNumbers"), "S1, S2, S18");
    EXPECT_EQ(Value("Device Calibration", "SensorCalibrationCenterGain"), "0.998, 1.003,  1.0");
    EXPECT_EQ(Value("Device Calibration", "SensorReferenceCalibrationFactor"), "1.01, 0.99, 1.02 ");

    // A first sensor of "NA" sets nothing; one in apostrophes is no "NA" for record 5201.
    PDDXFile other;
    SplitOnCommas("5201,\" NA \",x,5,6", fields_);
    ParseF25Line(context_, f25_, fields_, other);
    EXPECT_EQ(other.Element("Device Information", "SensorSerialNumbers").Value(), "");
    SplitOnCommas("5201,'NA',x,5,6", fields_);
    ParseF25Line(context_, f25_, fields_, other);
    EXPECT_EQ(other.Element("Device Information", "SensorSerialNumbers").Value(), "NA");
}

TEST_F(F25Read, UnitCodesSetUnitsAndTheLastListedCodeDecidesTheMetricFlag)
{
    // Fields 2, 6, 7, 9, 12 hold 0, 1, 1, 2, 0; every other field holds 9, which only field 9
    // knows, so a field taken one place off shows.
    ReadFile("units.F25", {"5010,0,9,9,9,1,1,9,2,9,9,0,9"});
    EXPECT_EQ(Value("Units", "TemperatureUnits"), "Celsius");
    EXPECT_EQ(Value("Units", "DeflectionUnits"), "mil");
    EXPECT_EQ(Value("Units", "SensorsLocationUnits"), "inch");
    EXPECT_EQ(Value("Units", "TestLocationUnits"), "meter, meter, millimeter");
    EXPECT_EQ(Value("Units", "LoadUnits"), "kilo-Pascal");
    EXPECT_EQ(Value("Units", "LoadPlateRadiusUnits"), "millimeter");  // field 12 left the flag set

    PDDXFile us;
    ReadFile("us.F25", {"5010, 1 ,x,x,x,1,1,x,5,x,x,1"}, us);
    EXPECT_EQ(us.Element("Units", "TemperatureUnits").Value(), "Fahrenheit");
    EXPECT_EQ(us.Element("Units", "LoadUnits").Value(), "pound-force per square inch");
    EXPECT_EQ(us.Element("Units", "LoadPlateRadiusUnits").Value(), "inch");

    // An unlisted code changes neither the unit nor the flag.
    PDDXFile unlisted;
    ReadFile("unlisted.F25", {"5010,0,x,x,x,x,7,x,x,x,x,x"}, unlisted);
    EXPECT_EQ(unlisted.Element("Units", "SensorsLocationUnits").Value(), "");
    EXPECT_EQ(unlisted.Element("Units", "LoadPlateRadiusUnits").Value(), "millimeter");
}

TEST_F(F25Read, TestLocationUnitsFollowTheTableExactly)
{
    const std::pair<const char*, const char*> table[] = {
        {"2", "meter, meter, millimeter"}, {"3", "kilometer, meter, meter"}, {"4", "inch, inch ,inch"},
        {"5", "foot, inch, inch"},         {"6", "yard, inch, inch"},        {"7", "mile, inch, inch"},
        {"8", "mile, inch, inch"},         {"9", "mile-feet, inch, inch"},
    };
    for (const auto& [code, units] : table) {
        Parse(std::string("5010,x,x,x,x,x,x,x,") + code);
        EXPECT_EQ(Value("Units", "TestLocationUnits"), units) << "code " << code;
    }
    Parse("5010,x,x,x,x,x,x,x,1");
    EXPECT_EQ(Value("Units", "TestLocationUnits"), "mile-feet, inch, inch");
    // Codes 2 to 4 are metric, 5 to 9 not.
    Parse("5010,x,x,x,x,x,x,x,4");
    EXPECT_TRUE(f25_.Metric);
    Parse("5010,x,x,x,x,x,x,x,5");
    EXPECT_FALSE(f25_.Metric);
}

TEST_F(F25Read, SensorListsSetTheCountAndTheDistances)
{
    Parse("5020, 150 ,0, 200 ,300,N0,999");
    EXPECT_EQ(Value("Device Configuration", "LoadPlateRadius"), "150");
    EXPECT_EQ(Value("Device Configuration", "NumberOfDeflectionSensors"), "3");
    EXPECT_EQ(Value("Device Configuration", "DeflectionSensorXAxisDistances"), "0, 200, 300");
    EXPECT_EQ(state_.Settings.NumSensors, 3);

    Parse("5021,301,0,0,0,0, n0 ");
    EXPECT_EQ(Value("Device Configuration", "LoadPlateRadius"), "150.5");  // the diameter halved
    EXPECT_EQ(Value("Device Configuration", "DeflectionSensorYAxisDistances"), "0, 0, 0, 0");
    EXPECT_EQ(state_.Settings.NumSensors, 4);

    Parse("5021,0,5,6,N0");  // no diameter: the radius stays, the list is still read
    EXPECT_EQ(Value("Device Configuration", "LoadPlateRadius"), "150.5");
    EXPECT_EQ(Value("Device Configuration", "DeflectionSensorYAxisDistances"), "5, 6");

    Parse("5021,,7,8,9,N0");  // an empty diameter gives up the record before the list
    EXPECT_EQ(Value("Device Configuration", "DeflectionSensorYAxisDistances"), "5, 6");
    EXPECT_EQ(state_.Settings.NumSensors, 2);

    Parse("5020,5.9,0,8,12");  // no N0: the radius is set, the list and count are not
    EXPECT_EQ(Value("Device Configuration", "LoadPlateRadius"), "5.9");
    EXPECT_EQ(Value("Device Configuration", "DeflectionSensorXAxisDistances"), "0, 200, 300");
    EXPECT_EQ(state_.Settings.NumSensors, 2);
}

TEST_F(F25Read, TheFirstStationOpensNoLocationAndOnlyTheDocumentsFirstDatesTheRun)
{
    Parse("5301,0,x,x,x,9.9,x,x,X,4,4,7,8,0");
    EXPECT_EQ(Value("Deflection Data", "NumberOfTestLocations"), "0");
    EXPECT_EQ(Value("Operations Information", "StartDate"), "");

    Parse("5301,1,x,x,x, 0.150 ,x,x,\" OWP \",4,13,32,7,5");
    EXPECT_EQ(Value("Deflection Data", "NumberOfTestLocations"), "1");
    EXPECT_EQ(Value("Operations Information", "StartDate"), "01-Feb-2005");  // month 13, day 32 carry
    EXPECT_EQ(Value("Operations Information", "StartTime"), "07:05:00");
    EXPECT_EQ(Location(1, "TestLocation"), "0.150, 0, 0");
    EXPECT_EQ(Location(1, "TestTime"), "07:05:00");
    EXPECT_EQ(Location(1, "TestLane"), "OWP");

    Parse("5301,2,x,x,x,0.300,x,x,IWP,30,1,1,23,59");
    EXPECT_EQ(Value("Operations Information", "StartDate"), "01-Feb-2005");
    EXPECT_EQ(Value("Operations Information", "StartTime"), "07:05:00");
    EXPECT_EQ(Location(2, "TestTime"), "23:59:00");

    // A document that already holds a location gets no start date from the file.
    PDDXFile appended;
    appended.AddTestLocation();
    ReadFile("more.F25", {"5301,0", "5301,1,x,x,x,1,x,x,L,29,2,29,10,0"}, appended);
    EXPECT_EQ(appended.Element("Operations Information", "StartDate").Value(), "");
    EXPECT_EQ(appended.Element("Test Location 2", "TestTime").Value(), "10:00:00");
}

TEST_F(F25Read, DatesUseTheTwoDigitYearWindowAndPadDayAndTime)
{
    Parse("5011,x,x,29,2,29,0,0");
    EXPECT_EQ(Value("Operations Information", "EndDate"), "01-Mar-2029");  // 2029 is no leap year
    EXPECT_EQ(Value("Operations Information", "EndTime"), "00:00:00");
    Parse("5011,x,x,30,12,31,9,7");
    EXPECT_EQ(Value("Operations Information", "EndDate"), "31-Dec-1930");
    EXPECT_EQ(Value("Operations Information", "EndTime"), "09:07:00");
    Parse("5011,x,x,2004,1,5.5,16,42");  // halves round to even: day 6
    EXPECT_EQ(Value("Operations Information", "EndDate"), "06-Jan-2004");
    Parse("5011,x,x,99,1,0,1,1");  // day 0 is the last day of the month before
    EXPECT_EQ(Value("Operations Information", "EndDate"), "31-Dec-1998");
}

TEST_F(F25Read, ABadLineIsGivenUpAloneKeepingWhatItSetBefore)
{
    Parse("5011,x,x,4,4,7,16,42");
    Parse("5011,x,x,bad,4,7,17,0");  // the date fails: nothing of the record is set
    EXPECT_EQ(Value("Operations Information", "EndDate"), "07-Apr-2004");
    EXPECT_EQ(Value("Operations Information", "EndTime"), "16:42:00");

    // A first location whose date fields are no numbers: the section exists but the record
    // ends there, so the modes stay off and the data lines after it are no drops of it.
    state_.Settings.NumSensors = 1;
    ParseAll({"5301,0", "5301,1,x,x,x,5.0,x,x,L,y,m,d,8,0", "1,100,10"});
    EXPECT_EQ(Value("Deflection Data", "NumberOfTestLocations"), "1");
    EXPECT_EQ(Location(1, "TestLocation"), "");
    EXPECT_EQ(Location(1, "NumberOfDrops"), "0");

    // And reading goes on: the next line is handled normally.
    Parse("5030,Next");
    EXPECT_EQ(Value("Operations Information", "OperatorName"), "Next");
}

TEST_F(F25Read, ATimeThatIsNoTimeOfDayIsLeftOutAndTheRestOfTheRecordKept)
{
    state_.Settings.NumSensors = 1;
    ParseAll({"5301,0", "5301,1,x,x,x,5.0,x,x,L,4,4,7,24,0", "1,100,10"});
    EXPECT_EQ(Value("Operations Information", "StartDate"), "07-Apr-2004");
    EXPECT_EQ(Value("Operations Information", "StartTime"), "");
    EXPECT_EQ(Location(1, "TestTime"), "");
    EXPECT_EQ(Location(1, "TestLocation"), "5.0, 0, 0");
    EXPECT_EQ(Location(1, "TestLane"), "L");
    EXPECT_EQ(Location(1, "DropData_1"), "100, 10");

    Parse("5011,x,x,4,4,8,10,xx");
    EXPECT_EQ(Value("Operations Information", "EndDate"), "08-Apr-2004");
    EXPECT_EQ(Value("Operations Information", "EndTime"), "");
}

TEST_F(F25Read, TemperaturesAreTakenFromFieldFiveBackToThree)
{
    OpenFirstLocation();
    Parse("5303,x, 61 ,N0, 72 ,99");
    EXPECT_EQ(Location(1, "TestTemperatures"), "72, , 61");
    EXPECT_EQ(Value("Device Configuration", "NumberOfTemperatureSensors"), "2");
    EXPECT_EQ(Value("Device Configuration", "TemperatureSensorUse"), "air, surface");

    Parse("5303,x,55,N0,N0");  // the one reading is the first found, so it is "air"
    EXPECT_EQ(Location(1, "TestTemperatures"), ", , 55");
    EXPECT_EQ(Value("Device Configuration", "TemperatureSensorUse"), "air");

    Parse("5303,x,1,2,3");
    EXPECT_EQ(Value("Device Configuration", "TemperatureSensorUse"), "air, surface, mid-depth");

    // No reading at all: the count is written, the use stays as it was.
    Parse("5303,x,N0,N0,N0");
    EXPECT_EQ(Value("Device Configuration", "NumberOfTemperatureSensors"), "0");
    EXPECT_EQ(Value("Device Configuration", "TemperatureSensorUse"), "air, surface, mid-depth");

    // "n0" is a reading for the use count but not removed from the text.
    Parse("5303,x,n0,N0,N0");
    EXPECT_EQ(Location(1, "TestTemperatures"), ", , n0");
    EXPECT_EQ(Value("Device Configuration", "NumberOfTemperatureSensors"), "1");
}

TEST_F(F25Read, LocationRecordsBeforeAnyLocationSetNothingOfOne)
{
    ParseAll({"5280,x,x,1,2,3", "5302,x,x,x,x,x,x,x,x,note", "5303,x,1,2,3"});
    EXPECT_EQ(Value("Deflection Data", "NumberOfTestLocations"), "0");
    EXPECT_EQ(Value("Device Configuration", "NumberOfTemperatureSensors"), "3");

    OpenFirstLocation();
    ParseAll({"5280,x,x, 40.1 ,-75.2, 12 ", "5302,x,x,x,x,x,x,x,x,\" it's, wet \""});
    EXPECT_EQ(Location(1, "GPSLocation"), "40.1, -75.2, 12");
    EXPECT_EQ(Location(1, "TestComment"), "its, wet");
}

TEST_F(F25Read, DataLinesTakeTheLoadAndOneFieldPerSensor)
{
    state_.Settings.NumSensors = 3;  // from the settings or an earlier file: no 5020 here
    OpenFirstLocation();
    ParseAll({
        "1, 550 ,412,301, 205 ,99,98",  // fields past the last sensor are not taken
        "2,560,420",                     // missing sensors leave empty places
        "5100,570,1,2,3",                // an unknown record in drop mode is a drop
        "7655,1,2,3,4",                  // ignored records are not
        "5041,1,2,3,4",
        "5022,1,2,3,4",
        "5003,1,2,3,4",
    });
    EXPECT_EQ(Location(1, "NumberOfDrops"), "3");
    EXPECT_EQ(Location(1, "DropData_1"), "550, 412, 301, 205");
    EXPECT_EQ(Location(1, "DropData_2"), "560, 420, , ");
    EXPECT_EQ(Location(1, "DropData_3"), "570, 1, 2, 3");

    // 39 sensors would need field 41: the line is given up.
    state_.Settings.NumSensors = 39;
    Parse("3,1,2");
    EXPECT_EQ(Location(1, "NumberOfDrops"), "3");
    state_.Settings.NumSensors = 38;
    Parse("3,1,2");
    EXPECT_EQ(Location(1, "NumberOfDrops"), "4");
}

TEST_F(F25Read, TimeHistoriesBelongToTheLastDropAndEndItsDrops)
{
    state_.Settings.NumSensors = 1;
    OpenFirstLocation();
    ParseAll({"1,100,10", "2,200,20"});
    Parse("5185,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x");  // field 17 no number: not a block
    Parse("3,300,30");
    EXPECT_EQ(Location(1, "NumberOfDrops"), "3");
    EXPECT_EQ(Location(1, "DropHistoryType"), "");

    ParseAll({"5185,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,600", "1,5,1", "2,6,2", "3,7,3"});
    EXPECT_EQ(Location(1, "NumberOfDrops"), "3");
    EXPECT_EQ(Location(1, "DropHistoryType"), "load and deflections");
    EXPECT_EQ(Location(1, "DropHistoryData_3_1"), "5, 1");
    EXPECT_EQ(Location(1, "DropHistoryData_3_3"), "7, 3");

    // A second block repeats the sample numbers of the same drop: its samples are given up.
    ParseAll({"5185,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,600", "1,8,4", "2,9,5", "3,10,6", "4,11,7"});
    EXPECT_EQ(Location(1, "DropHistoryData_3_1"), "5, 1");
    EXPECT_EQ(Location(1, "DropHistoryData_3_4"), "11, 7");

    // The next station returns to drops.
    ParseAll({"5301,2,x,x,x,1,x,x,L,4,4,7,9,0", "1,400,40"});
    EXPECT_EQ(Location(2, "DropData_1"), "400, 40");
    EXPECT_EQ(Location(2, "DropHistoryType"), "");
    EXPECT_FALSE(Has(1, "DropData_4"));

    // Field 17 beyond 16 bits is no block either.
    Parse("5185,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,40000");
    Parse("2,500,50");
    EXPECT_EQ(Location(2, "DropData_2"), "500, 50");
}

TEST_F(F25Read, RecordCodesAreReadAsNumbers)
{
    state_.Settings.NumSensors = 1;
    OpenFirstLocation();
    Parse(" 50 30.0xyz,Ann");  // blanks ignored, reading stops at the first non-number
    EXPECT_EQ(Value("Operations Information", "OperatorName"), "Ann");
    Parse("5022.5,1,2");       // inside an ignored range
    Parse("5201.5,1,2");       // between 5201 and 5202: a data line
    Parse("abc,3,4");          // no number: code 0, a data line
    EXPECT_EQ(Location(1, "NumberOfDrops"), "2");
    EXPECT_EQ(Location(1, "DropData_1"), "1, 2");
    EXPECT_EQ(Location(1, "DropData_2"), "3, 4");
}

TEST_F(F25Read, TheFileNameKeepsLowerCaseExtensionsAndTheClosingValuesAreWritten)
{
    const std::string upper = ReadFile("Run.F25", {"5001,1"});
    EXPECT_EQ(Value("Operations Information", "FileName"), upper.substr(0, upper.size() - 4) + ".DDX");
    EXPECT_EQ(Value("Device Information", "DeviceDesignationName"), "Dynatest FWD");
    EXPECT_EQ(Value("Units", "GPSUnits"), "degree, degree, meter");
    EXPECT_EQ(Value("Units", "DropHistoryDataFrequencyUnits"), "Hertz");
    EXPECT_EQ(Value("Units", "LoadPlateRadiusUnits"), "");  // not metric

    const std::string lower = ReadFile("run.f25", {"5001,1"});
    EXPECT_EQ(Value("Operations Information", "FileName"), lower);
    const std::string twice = ReadFile("a.F25.F25", {"5001,1"});
    EXPECT_EQ(Value("Operations Information", "FileName"), twice.substr(0, twice.size() - 8) + ".DDX.DDX");
}

TEST_F(F25Read, EmptyLinesAreSkippedButBlankLinesAreData)
{
    state_.Settings.NumSensors = 1;
    ReadFile("blank.F25", {"5301,0", "", "5301,1,x,x,x,1,x,x,L,4,4,7,9,0", "", "   ", "1,5,6"});
    EXPECT_EQ(Location(1, "NumberOfDrops"), "2");
    EXPECT_EQ(Location(1, "DropData_1"), ", ");
    EXPECT_EQ(Location(1, "DropData_2"), "5, 6");
}

TEST_F(F25Read, ALineOfMoreThanFortyFieldsEndsTheFileWithoutClosingValues)
{
    std::string wide = "5001";
    for (int i = 0; i < 40; ++i) wide += ",x";  // 41 fields
    try {
        ReadFile("wide.F25", {"5030,Kept", "", wide, "5032,Never"});
        FAIL() << "no error";
    } catch (const ReadError& error) {
        EXPECT_EQ(error.Line(), 3);
        EXPECT_NE(error.File().find("wide.F25"), std::string::npos);
        EXPECT_NE(error.Reason().find("40"), std::string::npos) << error.Reason();
    }
    EXPECT_EQ(Value("Operations Information", "OperatorName"), "Kept");
    EXPECT_EQ(Value("Location Identification", "SectionName"), "");
    EXPECT_EQ(Value("Operations Information", "FileName"), "");
    EXPECT_EQ(Value("Device Information", "DeviceDesignationName"), "");

    EXPECT_THROW(test::ReadFile(ReadF25File, state_, (dir_ / "missing.F25").string(), doc_), ReadError);
}

TEST_F(F25Read, EveryFileStartsAfreshButTheSensorCountCarriesOver)
{
    // File A: metric, ends in history mode after one location.
    ReadFile("a.F25", {"5010,0", "5020,150,0,300,N0", "5301,0", "5301,1,x,x,x,1,x,x,L,4,4,7,9,0", "1,100,10,20",
                       "5185,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,600", "1,5,1,2"});
    EXPECT_EQ(Value("Units", "LoadPlateRadiusUnits"), "millimeter");

    // File B, appended to the same document: its first station is skipped again, its data
    // lines before any station are neither drops nor samples of A's location, and it keeps A's
    // sensor count.
    ReadFile("b.F25", {"1,7,7,7", "5301,0", "2,8,8,8", "5301,2,x,x,x,2,x,x,L,4,4,7,10,0", "1,200,11,21"});
    EXPECT_EQ(Value("Deflection Data", "NumberOfTestLocations"), "2");
    EXPECT_EQ(Location(1, "NumberOfDrops"), "1");
    EXPECT_FALSE(Has(1, "DropHistoryData_1_2"));
    EXPECT_EQ(Location(2, "DropData_1"), "200, 11, 21");

    // File C, into a new document, without unit records: A's metric flag is not carried.
    PDDXFile fresh;
    ReadFile("c.F25", {"5001,1"}, fresh);
    EXPECT_EQ(fresh.Element("Units", "LoadPlateRadiusUnits").Value(), "");
    EXPECT_EQ(state_.Settings.NumSensors, 2);
}

}  // namespace
}  // namespace vantrel
