// KUAB FWD data files: header rules, the table header lines, the drops, what carries over into
// the next file of a run and what does not, and the errors that end a reading.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "support/TestSupport.h"
#include "core/Conversion.h"
#include "core/ProgramState.h"
#include "base/ReadError.h"
#include "import/modKUABRead.h"

namespace vantrel {
namespace {

using test::CrLf;
using test::TempDir;
using test::WriteBytes;

// One program run: files are written into a fresh folder and read with the same state.
class KuabRun {
public:
    // Writes `lines` after a title line (the reader never reads the first line) and reads them.
    std::unique_ptr<PDDXFile> Read(const std::vector<std::string>& lines, const std::string& name = "ROAD.FWD")
    {
        auto document = std::make_unique<PDDXFile>();
        ReadInto(*document, lines, name);
        return document;
    }

    void ReadInto(PDDXFile& document, const std::vector<std::string>& lines, const std::string& name = "ROAD.FWD")
    {
        std::vector<std::string> all{"KUAB FWD test file"};
        all.insert(all.end(), lines.begin(), lines.end());
        WriteBytes(dir / name, CrLf(all));
        test::ReadFile(ReadKuabFwd, state, (dir / name).string(), document);
    }

    // The ReadError that reading these lines ends with.
    ReadError Failure(const std::vector<std::string>& lines)
    {
        return test::ReadFailure([&] { Read(lines, "BAD.FWD"); });
    }

    TempDir dir;
    ProgramState state = NewProgramState(dir.Path());
};

using test::Value;

std::string Text(const PDDXFile& document)
{
    std::ostringstream out;
    document.PDDX_Output(out);
    return out.str();
}

// A table of three sensors with the time in column 7, as KUAB writes it.
const std::vector<std::string> kTable = {
    "ISensor Distance: 0 200 300 mm",
    "JDistance Drop Load D0 D1 D2 time",
    "J   m    -   kN   um um um hh:mm:ss",
    "J----- ---- ----- --- --- --- --------",
};

std::vector<std::string> With(std::vector<std::string> lines, const std::vector<std::string>& more)
{
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

TEST(KuabFwdHeader, TheFirstRuleWhoseWordTheKeyContainsDecides)
{
    KuabRun run;
    const auto doc = run.Read({
        "HRoad Name: Main Street",
        "HSite: North",
        "HOPERAT\xD6R: \xD6rjan",  // the umlaut rule, letter case ignored
        "CWEATHER:rain",
        "HDate Created: 06.04.2004",
        "HRoad Name Site: both words",  // "Road Name" comes first
        "HComment: Site Distance Weather",  // only the key is tested
        "HSite without a colon",
    });
    EXPECT_EQ(Value(*doc, "Location Identification", "FacilityName"), " both words");
    EXPECT_EQ(Value(*doc, "Location Identification", "SiteName"), " North");
    EXPECT_EQ(Value(*doc, "Operations Information", "OperatorName"), " \xD6rjan");
    EXPECT_EQ(Value(*doc, "Operations Information", "WeatherCondition"), "rain");
    EXPECT_EQ(Value(*doc, "Operations Information", "StartDate"), " 06.04.2004");
    EXPECT_EQ(Value(*doc, "Device Configuration", "NumberOfDeflectionSensors"), "0");
}

TEST(KuabFwdHeader, PlateRadiusAndTestSpacingSplitIntoNumberAndUnit)
{
    KuabRun run;
    const auto doc = run.Read({"IPlate Radius: 5.91 in", "ITestpoint spacing:   25 ft  "});
    EXPECT_EQ(Value(*doc, "Device Configuration", "LoadPlateRadius"), "5.91");
    EXPECT_EQ(Value(*doc, "Units", "LoadPlateRadiusUnits"), "inch");
    EXPECT_EQ(Value(*doc, "Deflection Data", "NominalTestSpacing"), "25");
    EXPECT_EQ(Value(*doc, "Units", "NominalTestSpacingUnits"), "foot");
}

TEST(KuabFwdHeader, SensorDistancesGiveTheSensorCountAndTheirUnit)
{
    KuabRun run;
    auto doc = run.Read({"ISensor Distance: 0 200 300 450 600 900 1200 1500 mm"});
    EXPECT_EQ(run.state.Settings.NumSensors, 8);
    EXPECT_EQ(Value(*doc, "Device Configuration", "NumberOfDeflectionSensors"), "8");
    EXPECT_EQ(Value(*doc, "Units", "SensorsLocationUnits"), "millimeter");

    doc = run.Read({"IDistance:  0   8 12  in"});  // "Distance" alone is the same rule
    EXPECT_EQ(run.state.Settings.NumSensors, 3);
    EXPECT_EQ(Value(*doc, "Units", "SensorsLocationUnits"), "inch");
}

TEST(KuabFwdHeader, AnEmptySensorDistanceValueGivesTheCountMinusOneAndDropsWithoutFields)
{
    KuabRun run;
    const auto doc = run.Read({
        "ISensor Distance:   ",
        "IPosition: FRONT BACK",
        "D  100    1  50.1 210",
    });
    EXPECT_EQ(run.state.Settings.NumSensors, -1);
    EXPECT_EQ(Value(*doc, "Device Configuration", "NumberOfDeflectionSensors"), "-1");
    EXPECT_EQ(Value(*doc, "Units", "SensorsLocationUnits"), "0");  // the word count stands where the unit would
    EXPECT_EQ(Value(*doc, "Device Configuration", "DeflectionSensorXAxisDistances"), "");
    EXPECT_EQ(Value(*doc, "Test Location 1", "NumberOfDrops"), "1");
    EXPECT_EQ(Value(*doc, "Test Location 1", "DropData_1"), "");
    EXPECT_EQ(Value(*doc, "Test Location 1", "TestLocation"), "100, 0, 0");

    // The next title line counts its deflection columns again.
    run.Read({"JDistance Drop Load D0 D1"});
    EXPECT_EQ(run.state.Settings.NumSensors, 2);
}

TEST(KuabFwdHeader, SensorsInFrontGetNegativeOffsetsOnceHoweverOftenThePositionsRepeat)
{
    KuabRun run;
    const auto doc = run.Read({"ISensor Distance: 300 0 200 mm", "ISensor Position: FRONT BACK back"});
    EXPECT_EQ(Value(*doc, "Device Configuration", "DeflectionSensorXAxisDistances"), "-300, 0, 200");
    EXPECT_EQ(Value(*doc, "Device Configuration", "DeflectionSensorYAxisDistances"), "0, 0, 0");

    run.ReadInto(*doc, {"JDistance Drop Load D0 D1 D2"});  // the titles see the signed offsets
    EXPECT_EQ(Value(*doc, "Device Configuration", "DeflectionSensorXAxisDistances"), "-300, 0, 200");

    run.ReadInto(*doc, {"IPosition: front BACK BACK"});
    EXPECT_EQ(Value(*doc, "Device Configuration", "DeflectionSensorXAxisDistances"), "-300, 0, 200");
    run.ReadInto(*doc, {"IPosition: BACK BACK Infront", "JDistance Drop Load D0 D1 D2"});
    EXPECT_EQ(Value(*doc, "Device Configuration", "DeflectionSensorXAxisDistances"), "300, 0, -200");
}

TEST(KuabFwdTable, ColumnTitlesPlaceDeflectionsTemperaturesAndTime)
{
    KuabRun run;
    const auto doc = run.Read({
        "ISensor Distance: 0 200 300 mm",
        "JDistance Drop Load D1 D0 D2 AirPave Ground pave Time",
        "J----- ---- ----- --- --- --- ----- ----- ----- --------",
        "D  100    1  50.1 210 180 150  17.5  12.0  21.0 09:00:00",
    });
    EXPECT_EQ(Value(*doc, "Device Configuration", "NumberOfDeflectionSensors"), "3");
    EXPECT_EQ(Value(*doc, "Device Configuration", "DeflectionSensorXAxisDistances"), "200, 0, 300");
    EXPECT_EQ(Value(*doc, "Device Configuration", "NumberOfTemperatureSensors"), "3");
    EXPECT_EQ(Value(*doc, "Device Configuration", "TemperatureSensorUse"), "Air, Ground, Pavement");
    EXPECT_EQ(Value(*doc, "Test Location 1", "TestTemperatures"), "17.5, 12.0, 21.0");
    EXPECT_EQ(Value(*doc, "Test Location 1", "TestTime"), " 09:00:00");
}

TEST(KuabFwdTable, FormAKeepsTwoCharacterDeflectionTitlesAndFormBUpToThree)
{
    KuabRun run;
    const std::string offsets = "ISensor Distance: 0 1 2 3 4 5 6 7 8 9 10 11 mm";
    auto doc = run.Read({offsets, "JDistance Drop Load D0 D1 D10"});
    EXPECT_EQ(run.state.Settings.NumSensors, 2);
    EXPECT_EQ(Value(*doc, "Device Configuration", "DeflectionSensorXAxisDistances"), "0, 1");

    doc = run.Read({offsets, "JStation Drop Load D0 D1 D10 time"});  // form B has no time column
    EXPECT_EQ(run.state.Settings.NumSensors, 3);
    EXPECT_EQ(Value(*doc, "Device Configuration", "DeflectionSensorXAxisDistances"), "0, 1, 10");
    EXPECT_EQ(run.state.Readers.Kuab.TimeColumn, 0);

    doc = run.Read({offsets, "JStation Distance Load D0 D1 D10"});  // "Distance" makes it form A
    EXPECT_EQ(run.state.Settings.NumSensors, 2);
}

TEST(KuabFwdTable, OffsetsTheDistanceLineDidNotGiveStayEmptyListEntries)
{
    KuabRun run;
    auto doc = run.Read({"ISensor Distance: 0 200 mm", "JDistance Drop Load D4 D0 D1"});
    EXPECT_EQ(Value(*doc, "Device Configuration", "DeflectionSensorXAxisDistances"), ", 0, 200");
    EXPECT_EQ(Value(*doc, "Device Configuration", "DeflectionSensorYAxisDistances"), "0, 0, 0");

    KuabRun fresh;
    fresh.state.Settings.NumSensors = 3;  // a count from the settings, but no offsets
    doc = fresh.Read({"IPosition: BACK BACK FRONT"});
    EXPECT_EQ(Value(*doc, "Device Configuration", "DeflectionSensorXAxisDistances"), ", , -");
}

TEST(KuabFwdTable, LinesAreTestedAsTitlesThenMetricThenCustomaryUnitsThenDashes)
{
    KuabRun run;
    const std::vector<std::string> titles = {"JDistance Drop Load D0 Air time"};
    auto doc = run.Read(With(titles, {"J   m    -   kN   um \xB0" "C lbf"}));
    EXPECT_EQ(Value(*doc, "Units", "TestLocationUnits"), "meter, meter, meter");
    EXPECT_EQ(Value(*doc, "Units", "LoadUnits"), "kilo-Newton");
    EXPECT_EQ(Value(*doc, "Units", "DeflectionUnits"), "micron");
    EXPECT_EQ(Value(*doc, "Units", "TemperatureUnits"), "Celsius");  // column 5, not 4

    doc = run.Read(With(titles, {"J  ft    -  lbf  mils  \xB0" "F ---"}));
    EXPECT_EQ(Value(*doc, "Units", "TestLocationUnits"), "foot, inch, inch");
    EXPECT_EQ(Value(*doc, "Units", "LoadUnits"), "pound-force");
    EXPECT_EQ(Value(*doc, "Units", "DeflectionUnits"), "mil");
    EXPECT_EQ(Value(*doc, "Units", "TemperatureUnits"), "Fahrenheit");
    EXPECT_EQ(run.state.Readers.Kuab.ColumnWidths[0], 0);  // a units line sets no widths

    doc = run.Read({"JStation Load kN lbf D0"});  // a title line, though it names units
    EXPECT_EQ(Value(*doc, "Units", "LoadUnits"), "");
    EXPECT_EQ(run.state.Settings.NumSensors, 1);

    doc = run.Read({"J--- -- -----", "JTable 2 of 3"});
    EXPECT_EQ(run.state.Readers.Kuab.ColumnWidths[0], 3);
    EXPECT_EQ(run.state.Readers.Kuab.ColumnWidths[3], 5);
}

TEST(KuabFwdTable, UnitsBeforeAnyTemperatureColumnLeaveTheTemperatureUnitAlone)
{
    KuabRun run;
    const auto doc = run.Read({"J   m    -   kN   um  C"});
    EXPECT_EQ(Value(*doc, "Units", "LoadUnits"), "kilo-Newton");
    EXPECT_EQ(Value(*doc, "Units", "TemperatureUnits"), "");
}

TEST(KuabFwdData, TheTimeIsCutByTheDashWidthsFromOneCharacterBeforeItsColumn)
{
    KuabRun run;
    // Time in column 3 of widths 5, 2, 7: it is cut from character 10 for 8 characters.
    auto doc = run.Read({
        "JDistance Drop time Load D0",
        "J----- -- ------- ----- ---",
        "D  100  1 8:01:02  50.1 210",
        "D  100  2 08:01:09  50.2 211",
        "D  200  1",
    });
    EXPECT_EQ(Value(*doc, "Operations Information", "StartTime"), " 8:01:02");
    EXPECT_EQ(Value(*doc, "Test Location 1", "TestTime"), " 08:01:0");
    EXPECT_EQ(Value(*doc, "Test Location 2", "TestTime"), "");  // the line ends before the column
    EXPECT_EQ(Value(*doc, "Operations Information", "EndTime"), "");

    // In column 1 the record letter is part of it.
    doc = run.Read({"JTime Distance Load D0", "J-------- ----- ----- ---", "D12:00:01   100  50.1 210"});
    EXPECT_EQ(Value(*doc, "Test Location 1", "TestTime"), "D12:00:01");
}

TEST(KuabFwdData, DropsOfOneStationShareATestLocationUntilTheStationChanges)
{
    KuabRun run;
    const auto doc = run.Read(With(kTable, {
                                               "D  100    1  50.1 210 180 150 12:00:01",
                                               "D  100    2  50.3 212 181 151 12:00:09",
                                               "D  200    1  49.8 190 160 130 12:01:30",
                                               "D  100    1  49.9 211 179 149 12:03:00",
                                           }));
    EXPECT_EQ(Value(*doc, "Deflection Data", "NumberOfTestLocations"), "3");
    EXPECT_EQ(Value(*doc, "Test Location 1", "NumberOfDrops"), "2");
    EXPECT_EQ(Value(*doc, "Test Location 1", "DropData_1"), "50.1, 210, 180, 150");
    EXPECT_EQ(Value(*doc, "Test Location 1", "DropData_2"), "50.3, 212, 181, 151");
    EXPECT_EQ(Value(*doc, "Test Location 1", "TestTime"), " 12:00:09");
    EXPECT_EQ(Value(*doc, "Test Location 1", "TestLocation"), "100, 0, 0");
    EXPECT_EQ(Value(*doc, "Test Location 2", "NumberOfDrops"), "1");
    EXPECT_EQ(Value(*doc, "Test Location 3", "TestLocation"), "100, 0, 0");
    EXPECT_EQ(Value(*doc, "Operations Information", "StartTime"), " 12:00:01");
    EXPECT_EQ(Value(*doc, "Operations Information", "EndTime"), " 12:03:00");
    EXPECT_EQ(Value(*doc, "Test Location 1", "TestTemperatures"), "");
}

TEST(KuabFwdData, ADropTakesTheLoadAndOneFieldPerSensor)
{
    KuabRun run;
    run.state.Settings.NumSensors = 2;  // from the settings: no header gives a count
    auto doc = run.Read({"D 7 1 50.1 210 180 150", "D 8 1 49.0 200"});
    EXPECT_EQ(Value(*doc, "Test Location 1", "DropData_1"), "50.1, 210, 180");
    EXPECT_EQ(Value(*doc, "Test Location 2", "DropData_1"), "49.0, 200, ");  // missing fields stay empty

    run.state.Settings.NumSensors = 0;
    doc = run.Read({"D 7 1 50.1 210"});
    EXPECT_EQ(Value(*doc, "Test Location 1", "DropData_1"), "50.1");

    run.state.Settings.NumSensors = 37;  // fields 3 to 40: the most a line can hold
    std::string expected = "50";
    for (int i = 0; i < 37; ++i) expected += ", ";
    doc = run.Read({"D 7 1 50"});
    EXPECT_EQ(Value(*doc, "Test Location 1", "DropData_1"), expected);
}

TEST(KuabFwdData, WithoutATimeColumnTheTimesAreLeftAsTheyWere)
{
    KuabRun run;
    PDDXFile doc;
    doc.Element("Operations Information", "StartTime").SetValue("08:00:00");
    run.ReadInto(doc, {"ISensor Distance: 0 300 mm", "JStation Drop Load D0 D1", "D 10 1 50 300 200"});
    EXPECT_EQ(Value(doc, "Operations Information", "StartTime"), "08:00:00");
    EXPECT_EQ(Value(doc, "Operations Information", "EndTime"), "");
    EXPECT_EQ(Value(doc, "Test Location 1", "TestTime"), "");
    EXPECT_EQ(Value(doc, "Test Location 1", "DropData_1"), "50, 300, 200");
}

TEST(KuabFwdFile, OnlyUpperCaseRecordLettersAfterTheFirstLineAreRead)
{
    KuabRun run;
    WriteBytes(run.dir / "ONE.FWD", CrLf({"HRoad Name: the first line is never read"}));
    PDDXFile doc;
    test::ReadFile(ReadKuabFwd, run.state, (run.dir / "ONE.FWD").string(), doc);
    PDDXFile expected;
    expected.Element("Operations Information", "FileName").SetValue((run.dir / "ONE.DDX").string());
    EXPECT_EQ(Text(doc), Text(expected));

    const auto other = run.Read({"", "   ", "hRoad Name: lower case", "d 100 1 50", "XSite: X", "HSite: kept"});
    EXPECT_EQ(Value(*other, "Location Identification", "FacilityName"), "");
    EXPECT_EQ(Value(*other, "Location Identification", "SiteName"), " kept");
    EXPECT_EQ(Value(*other, "Deflection Data", "NumberOfTestLocations"), "0");

    // A line feed alone ends no line: the whole file is its first line.
    WriteBytes(run.dir / "LF.FWD", "title\nHSite: hidden\nD 1 1 50\n");
    PDDXFile lf;
    test::ReadFile(ReadKuabFwd, run.state, (run.dir / "LF.FWD").string(), lf);
    EXPECT_EQ(Value(lf, "Location Identification", "SiteName"), "");
    EXPECT_EQ(Value(lf, "Deflection Data", "NumberOfTestLocations"), "0");
}

TEST(KuabFwdFile, OnlyAnUpperCaseFwdExtensionBecomesDdx)
{
    KuabRun run;
    const auto stored = [&run](const std::string& name) {
        return Value(*run.Read({}, name), "Operations Information", "FileName");
    };
    EXPECT_EQ(stored("ROAD1.FWD"), (run.dir / "ROAD1.DDX").string());
    EXPECT_EQ(stored("road1.fwd"), (run.dir / "road1.fwd").string());
    EXPECT_EQ(stored("A.FWD.FWD"), (run.dir / "A.DDX.DDX").string());
    const auto doc = run.Read({}, "B.Fwd");
    EXPECT_EQ(Value(*doc, "Operations Information", "FileName"), (run.dir / "B.Fwd").string());
    EXPECT_EQ(Value(*doc, "Units", "DropHistoryDataFrequencyUnits"), "Hertz");
    EXPECT_EQ(Value(*doc, "Device Information", "DeviceLoadType"), "Impulse");
}

TEST(KuabFwdCarryOver, TheTableLayoutAndOffsetsSurviveIntoTheNextFileButTheOpenLocationDoesNot)
{
    KuabRun run;
    const auto first = run.Read({
        "ISensor Distance: 300 0 200 mm",
        "IPosition: FRONT BACK BACK",
        "JDistance Drop Load D0 D1 D2 Air time",
        "J----- ---- ----- --- --- --- ---- --------",
        "D  100    1  50.1 210 180 150 17.5 12:00:01",
    });
    EXPECT_EQ(Value(*first, "Test Location 1", "TestTemperatures"), "17.5");

    // The same station again, in a second file read into the same document: a new location.
    PDDXFile& merged = *first;
    run.ReadInto(merged, {"D  100    2  50.3 212 181 151 17.9 12:30:00"});
    EXPECT_EQ(Value(merged, "Deflection Data", "NumberOfTestLocations"), "2");
    EXPECT_EQ(Value(merged, "Test Location 2", "DropData_1"), "50.3, 212, 181, 151");
    EXPECT_EQ(Value(merged, "Test Location 2", "TestTemperatures"), "17.9");
    EXPECT_EQ(Value(merged, "Operations Information", "StartTime"), " 12:30:00");  // first drop of that file

    // A further file with only titles still finds the signed offsets.
    const auto third = run.Read({"JDistance Drop Load D2 D0"});
    EXPECT_EQ(Value(*third, "Device Configuration", "DeflectionSensorXAxisDistances"), "200, -300");

    // A new run starts with nothing carried.
    KuabRun fresh;
    fresh.state.Settings.NumSensors = 3;
    const auto alone = fresh.Read({"D  100    2  50.3 212 181 151 17.9 12:30:00"});
    EXPECT_EQ(Value(*alone, "Test Location 1", "TestTime"), "");
    EXPECT_EQ(Value(*alone, "Test Location 1", "TestTemperatures"), "");
}

TEST(KuabFwdCarryOver, TwoFilesConvertedInOneRunShareTheLayout)
{
    TempDir dir;
    WriteBytes(dir / "A.FWD", CrLf(With({"title"}, With(kTable, {"D  100    1  50.1 210 180 150 12:00:01"}))));
    WriteBytes(dir / "B.FWD", CrLf({"title", "D  200    1  49.8 190 160 130 12:01:30"}));
    const auto result =
        test::RunVantrel({"--settings", "none.bag", "convert", "-t", "kuab", "A.FWD", "B.FWD"}, dir.Path());
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string b = test::ReadBytes(dir / "B.DDX");
    EXPECT_NE(b.find("StartTime =  12:01:30\r\n"), std::string::npos) << b;
    EXPECT_NE(b.find("DropData_1 = 49.8, 190, 160, 130\r\n"), std::string::npos) << b;
}

TEST(KuabFwdErrors, ALineBeyondTheLimitsEndsTheReadingNamingFileAndLine)
{
    KuabRun run;
    const std::string path = (run.dir / "BAD.FWD").string();
    std::string words41 = "D";
    for (int i = 0; i < 41; ++i) words41 += " 1";
    std::string columns26 = "JDistance", dashes26 = "J---", temps11 = "JDistance", offsets25 = "ISensor Distance:";
    for (int i = 1; i < 26; ++i) columns26 += " x", dashes26 += " ---";
    for (int i = 0; i < 11; ++i) temps11 += " Air";
    for (int i = 0; i < 25; ++i) offsets25 += " 1";

    const struct {
        std::vector<std::string> lines;
        int line;
        const char* says;
    } cases[] = {
        {{"HSite: ok", words41}, 3, "more than 40"},
        {{columns26}, 2, "more than 25"},
        {{dashes26}, 2, "more than 25"},
        {{temps11}, 2, "10 temperature"},
        {{"JStation D25"}, 2, "\"D25\""},
        {{"JDistance Dx"}, 2, "\"Dx\""},
        {{"JStation Std"}, 2, "\"Std\""},
        {{offsets25 + " 1"}, 2, "more than 25 words"},
        {{"", "ISensor Distance: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 in",
          "IPosition: FRONT"},
         3, "more than 25 words"},
    };
    for (const auto& c : cases) {
        const ReadError error = run.Failure(c.lines);
        EXPECT_EQ(error.File(), path);
        EXPECT_EQ(error.Line(), c.line) << c.says;
        EXPECT_NE(error.Reason().find(c.says), std::string::npos) << error.Reason();
    }

    // Just within the limits: 25 columns, 24 offsets and their unit, sensor 24.
    std::string columns25 = "JStation";
    for (int i = 1; i < 24; ++i) columns25 += " x";
    EXPECT_NO_THROW(run.Read({offsets25, columns25 + " D24"}));
    EXPECT_EQ(run.state.Settings.NumSensors, 1);
}

TEST(KuabFwdErrors, SensorCountsBeyondWhatALineHoldsAreErrors)
{
    KuabRun run;
    run.state.Settings.NumSensors = 38;  // fields 3 to 41
    EXPECT_EQ(run.Failure({"D 1 1 50"}).Line(), 2);
    run.state.Settings.NumSensors = 26;
    EXPECT_NE(run.Failure({"IPosition: FRONT"}).Reason().find("25 sensor offsets"), std::string::npos);
}

TEST(KuabFwdErrors, WhatWasReadBeforeTheErrorStaysInTheDocument)
{
    KuabRun run;
    run.state.Settings.NumSensors = 1;
    PDDXFile doc;
    EXPECT_THROW(run.ReadInto(doc, {"HSite: before", "D 1 1 50 100", "JDistance Dz"}), ReadError);
    EXPECT_EQ(Value(doc, "Location Identification", "SiteName"), " before");
    EXPECT_EQ(Value(doc, "Test Location 1", "DropData_1"), "50, 100");
    EXPECT_EQ(run.state.Settings.NumSensors, 1);  // the failing title line changed nothing

    EXPECT_THROW(test::ReadFile(ReadKuabFwd, run.state, (run.dir / "missing.FWD").string(), doc), ReadError);
}

TEST(KuabFwdErrors, TheCommandLineNamesFileAndLineAndWritesNothing)
{
    TempDir dir;
    WriteBytes(dir / "BAD.FWD", CrLf({"title", "HSite: x", "JDistance D7 Dq"}));
    const auto result = test::RunVantrel({"--settings", "none.bag", "convert", "-t", "8", "BAD.FWD"}, dir.Path());
    EXPECT_NE(result.status, 0);
    EXPECT_NE(result.err.find("vantrel: BAD.FWD:3: "), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "BAD.DDX"));
}

}  // namespace
}  // namespace vantrel
