// The JILS DAT reader: the two data-line layouts, the keyword lines, what starts afresh with
// each file, and the errors that end a conversion.

#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "core/ProgramState.h"
#include "base/ReadError.h"
#include "import/modJilsRead.h"

namespace vantrel {
namespace {

using test::CrLf;
using test::TempDir;
using test::WriteBytes;

// One program run: its state (seven sensors unless a test says otherwise) and one document.
class JilsDatRun {
public:
    JilsDatRun() : state(NewProgramState(dir.Path())) { state.Settings.NumSensors = 7; }

    std::string Write(const std::string& name, const std::vector<std::string>& lines)
    {
        const std::string path = (dir / name).string();
        WriteBytes(path, CrLf(lines));
        return path;
    }

    // Reads a file whose first line (the device name) is "FWD" followed by `lines`.
    void Read(const std::vector<std::string>& lines, const std::string& name = "RUN.DAT")
    {
        std::vector<std::string> all{"FWD"};
        all.insert(all.end(), lines.begin(), lines.end());
        test::ReadFile(ReadJilsDat, state, Write(name, all), doc);
    }

    std::string Value(std::string_view section, std::string_view key) const { return std::string(doc.Element(section, key).Value()); }
    std::string Location(int n, std::string_view key) const { return Value("Test Location " + std::to_string(n), key); }

    TempDir dir;
    ProgramState state;
    PDDXFile doc;
};

// The ReadError of reading `lines` (after the device-name line), or a failure when none comes.
ReadError DatFailure(JilsDatRun& run, const std::vector<std::string>& lines)
{
    return test::ReadFailure([&] { run.Read(lines); });
}

TEST(JilsDatShortLayout, LoadInKipsBecomesPoundsAndDeflectionsStayAsWritten)
{
    JilsDatRun run;
    run.Read({"Temp: 68", "9.123 10.1 8.2 6.3 4.4 3.5 2.6 1.7", "12.05 14.02 11.3 8.75 6.1 4.8 3.55 02.40"});
    EXPECT_EQ(run.Value("Deflection Data", "NumberOfTestLocations"), "1");  // every line to one location
    EXPECT_EQ(run.Location(1, "NumberOfDrops"), "2");
    EXPECT_EQ(run.Location(1, "DropData_1"), "9123, 10.1, 8.2, 6.3, 4.4, 3.5, 2.6, 1.7");
    EXPECT_EQ(run.Location(1, "DropData_2"), "12050, 14.02, 11.3, 8.75, 6.1, 4.8, 3.55, 02.40");
    EXPECT_EQ(run.Location(1, "TestTemperatures"), "68");

    // The pounds are a plain decimal number, however small or large.
    JilsDatRun extremes;
    extremes.state.Settings.NumSensors = 1;
    extremes.Read({"0.00000001 1.5", "1e12 2.5"});
    EXPECT_EQ(extremes.Location(1, "DropData_1"), "0.00001, 1.5");
    EXPECT_EQ(extremes.Location(1, "DropData_2"), "1000000000000000, 2.5");
    EXPECT_EQ(run.Location(1, "DropHistoryType"), "load and deflections");
    EXPECT_EQ(run.Location(1, "TestLocation"), "");
    EXPECT_EQ(run.Value("Device Configuration", "NumberOfTemperatureSensors"), "1");
    EXPECT_EQ(run.Value("Device Configuration", "TemperatureSensorUse"), "air");
}

TEST(JilsDatShortLayout, ShortDataLinesGiveEmptyDeflectionsAndZeroSensorsGiveTheLoadAlone)
{
    JilsDatRun run;
    run.state.Settings.NumSensors = 3;
    run.Read({"-1.5e0 7", "2 1 2 3"});
    EXPECT_EQ(run.Location(1, "DropData_1"), "-1500, 7, , ");
    EXPECT_EQ(run.Location(1, "DropData_2"), "2000, 1, 2, 3");

    JilsDatRun none;
    none.state.Settings.NumSensors = 0;
    none.Read({"4.5"});
    EXPECT_EQ(none.Location(1, "DropData_1"), "4500");
}

TEST(JilsDatExtendedLayout, ColumnsAndPointNumbersStartingNewLocations)
{
    JilsDatRun run;
    run.state.Settings.NumSensors = 2;
    run.Read({"Temp: 55", "1 OWP 0.125 7 9.05 12.1 9.8 61.2", "1 OWP 0.125 8 11.5 15.3 12.4 61.4",
              "2 IWP 0.250 9 9.1 11.2 9.1 62.0", "2.0 IWP 0.250 9 8 10 9 63"});
    EXPECT_EQ(run.Value("Deflection Data", "NumberOfTestLocations"), "2");
    EXPECT_EQ(run.Location(1, "DropData_1"), "9050, 12.1, 9.8");  // F(4) is not the load
    EXPECT_EQ(run.Location(1, "DropData_2"), "11500, 15.3, 12.4");
    EXPECT_EQ(run.Location(1, "TestTemperatures"), "55, 61.4");
    EXPECT_EQ(run.Location(1, "TestLocation"), "0.125, 0, 0");
    EXPECT_EQ(run.Location(1, "TestLane"), "OWP");
    EXPECT_EQ(run.Location(2, "NumberOfDrops"), "2");  // "2.0" is still point 2
    EXPECT_EQ(run.Location(2, "DropData_1"), "9100, 11.2, 9.1");
    EXPECT_EQ(run.Location(2, "TestTemperatures"), "55, 63");
    EXPECT_EQ(run.Location(2, "TestLane"), "IWP");
    EXPECT_EQ(run.Location(1, "DropHistoryType"), "load and deflections");
    EXPECT_EQ(run.Location(2, "DropHistoryType"), "");  // only the file's first location says it
    EXPECT_EQ(run.Value("Device Configuration", "NumberOfTemperatureSensors"), "2");
    EXPECT_EQ(run.Value("Device Configuration", "TemperatureSensorUse"), "air, surface");
}

TEST(JilsDatExtendedLayout, ChosenByTheDropMarkOrByLongerLinesCountedWithTheSensorsBeforeTheFile)
{
    JilsDatRun marked;  // no line longer than load + 7 deflections, but the file closes its points
    marked.Read({"1 L 0.5 1 9 1 2", "Drop Sequence Completed Time: 10:25"});
    EXPECT_EQ(marked.Location(1, "DropData_1"), "9000, 1, 2, , , , , ");
    EXPECT_EQ(marked.Location(1, "TestTemperatures"), ", ");
    EXPECT_EQ(marked.Location(1, "TestTime"), "10:25:00");

    JilsDatRun exact;  // N + 1 fields is the short layout, N + 2 already the extended one
    exact.state.Settings.NumSensors = 2;
    exact.Read({"5 1 2"});
    EXPECT_EQ(exact.Location(1, "DropData_1"), "5000, 1, 2");
    JilsDatRun longer;
    longer.state.Settings.NumSensors = 2;
    longer.Read({"5 1 2 3 4"});
    EXPECT_EQ(longer.Location(1, "DropData_1"), "4000, , ");
    EXPECT_EQ(longer.Location(1, "TestLocation"), "2, 0, 0");

    // Nine-field lines with the file's own three sensors: extended with the settings' 7 ...
    const std::vector<std::string> file{"Sensors: A B C", "1 L 0.5 1 9 1 2 3 60"};
    JilsDatRun seven;
    seven.Read(file);
    EXPECT_EQ(seven.Location(1, "DropData_1"), "9000, 1, 2, 3");
    EXPECT_EQ(seven.Location(1, "TestTemperatures"), ", 60");
    // ... but short with 8, since the pre-scan does not see the "Sensors:" line's count.
    JilsDatRun eight;
    eight.state.Settings.NumSensors = 8;
    eight.Read(file);
    EXPECT_EQ(eight.Location(1, "DropData_1"), "1000, L, 0.5, 1");
}

TEST(JilsDatKeywords, DateAndTimeMendedWhereBlankPaddingCutThem)
{
    const struct {
        const char* line;
        const char* date;
        const char* time;
    } cases[] = {
        {"Date-Time: 5/ 3/2005  9: 5: 3", "03-May-2005", "09:05:03"},
        {"Date-Time: 12/15/2005 10:25:30", "15-Dec-2005", "10:25:30"},
        {"Date-Time: 1/ 2/2006 14:30: 7", "02-Jan-2006", "14:30:07"},
        {"Date-Time: 2/29/04 23:59", "29-Feb-2004", "23:59:00"},
        {"Date-Time: 7/4/75 0: 0: 0", "04-Jul-1975", "00:00:00"},
    };
    for (const auto& c : cases) {
        JilsDatRun run;
        run.Read({c.line});
        EXPECT_EQ(run.Value("Operations Information", "StartDate"), c.date) << c.line;
        EXPECT_EQ(run.Value("Operations Information", "StartTime"), c.time) << c.line;
    }
    for (const char* bad : {"Date-Time: 15/12/2005 10:25:30", "Date-Time: 2/30/2005 10:25", "Date-Time: 2005-05-03 1:2",
                            "Date-Time: 5/3 10:25", "Date-Time: 5/3/2005 25:00", "Date-Time:"}) {
        JilsDatRun run;
        const ReadError error = DatFailure(run, {"Note: x", bad});
        EXPECT_EQ(error.Line(), 3) << bad;
        EXPECT_EQ(error.File(), (run.dir / "RUN.DAT").string());
    }
}

TEST(JilsDatKeywords, SensorNamesCountAndChopNumbering)
{
    JilsDatRun run;
    run.Read({"Sensors: A12 chop B7 Chop chop"});
    EXPECT_EQ(run.state.Settings.NumSensors, 5);
    EXPECT_EQ(run.Value("Device Configuration", "NumberOfDeflectionSensors"), "5");
    EXPECT_EQ(run.Value("Device Information", "SensorSerialNumbers"), "A12, chop2, B7, Chop, chop5");

    JilsDatRun none;
    none.doc.Element("Device Information", "SensorSerialNumbers").SetValue("old");
    none.Read({"Sensors:"});
    EXPECT_EQ(none.state.Settings.NumSensors, 0);
    EXPECT_EQ(none.Value("Device Configuration", "NumberOfDeflectionSensors"), "0");
    EXPECT_EQ(none.Value("Device Information", "SensorSerialNumbers"), "");
}

TEST(JilsDatKeywords, OnlyExactKeywordsCountAndTakeTheirFirstWord)
{
    JilsDatRun run;
    run.Read({"Location: SR-9 northbound", "Operator: R. Jones", "location: other", "OPERATOR: other",
              "temp: 99", "Comments: 5 6 7", "Note: 1 2", "sensors: a b", "Header 1 2 3"});
    EXPECT_EQ(run.Value("Location Identification", "SiteName"), "SR-9");
    EXPECT_EQ(run.Value("Operations Information", "OperatorName"), "R.");
    EXPECT_EQ(run.Value("Device Configuration", "NumberOfTemperatureSensors"), "");
    EXPECT_EQ(run.state.Settings.NumSensors, 7);
    EXPECT_EQ(run.Value("Deflection Data", "NumberOfTestLocations"), "0");

    JilsDatRun empty;
    empty.doc.Element("Location Identification", "SiteName").SetValue("old");
    empty.Read({"Location:"});
    EXPECT_EQ(empty.Value("Location Identification", "SiteName"), "");
}

TEST(JilsDatKeywords, DropLineEndsThePointAndAlwaysAppendsSeconds)
{
    JilsDatRun run;
    run.state.Settings.NumSensors = 1;
    run.Read({"Drop Sequence Completed Time: 9:58", "1 L 0 0 9 1 60", "Drop Sequence Completed Time: 10:25:30"});
    EXPECT_EQ(run.Value("Operations Information", "EndTime"), "10:25:30:00");
    EXPECT_EQ(run.Location(1, "TestTime"), "10:25:30:00");

    JilsDatRun before;  // no location yet: the end time alone
    before.Read({"Drop Sequence Completed Time: 9:58"});
    EXPECT_EQ(before.Value("Operations Information", "EndTime"), "9:58:00");
    EXPECT_EQ(before.Value("Deflection Data", "NumberOfTestLocations"), "0");
}

TEST(JilsDatFiles, NothingOfOneFileLeaksIntoTheNextOfTheSameRun)
{
    JilsDatRun run;
    run.state.Settings.NumSensors = 2;
    run.Read({"Temp: 70", "1 L 0.1 1 9 1 2 60", "Drop Sequence Completed Time: 10:00"}, "A.DAT");
    // Same state and document, as a merge: no "Temp:", a "Drop" line before the data, point 1 again.
    run.Read({"Drop Sequence Completed Time: 11:00", "1 L 0.2 1 5 6 7 61"}, "B.DAT");
    EXPECT_EQ(run.Value("Deflection Data", "NumberOfTestLocations"), "2");
    EXPECT_EQ(run.Location(1, "TestTime"), "10:00:00");
    EXPECT_EQ(run.Location(1, "NumberOfDrops"), "1");
    EXPECT_EQ(run.Location(2, "DropData_1"), "5000, 6, 7");
    EXPECT_EQ(run.Location(2, "TestTemperatures"), ", 61");
    EXPECT_EQ(run.Location(2, "TestTime"), "");
    EXPECT_EQ(run.Value("Operations Information", "EndTime"), "11:00:00");

    PDDXFile second;  // a short-layout file into a document of its own
    test::ReadFile(ReadJilsDat, run.state, run.Write("C.DAT", {"FWD", "3 1 2"}), second);
    EXPECT_EQ(second.Element("Test Location 1", "DropData_1").Value(), "3000, 1, 2");
    EXPECT_EQ(second.Element("Test Location 1", "TestTemperatures").Value(), "");
}

TEST(JilsDatFiles, SensorCountOfAFileStaysForTheNextFile)
{
    JilsDatRun run;
    run.Read({"Sensors: A B"}, "A.DAT");
    EXPECT_EQ(run.state.Settings.NumSensors, 2);
    PDDXFile next;
    test::ReadFile(ReadJilsDat, run.state, run.Write("B.DAT", {"FWD", "4 1 2"}), next);
    EXPECT_EQ(next.Element("Test Location 1", "DropData_1").Value(), "4000, 1, 2");
}

TEST(JilsDatFiles, FirstLineUnitsSettingsAndFileName)
{
    JilsDatRun run;
    run.state.Settings.LoadPlateRadius = "5.91";
    run.state.Settings.SensorXAxis = "0, 8, 12";
    run.state.Settings.SensorYAxis = "0,  0";
    const std::string path = run.Write("RUN1.DAT", {"  JILS 20 ", "Device: 12 3"});
    test::ReadFile(ReadJilsDat, run.state, path, run.doc);
    EXPECT_EQ(run.Value("Device Information", "DeviceDesignationName"), "JILS 20");
    EXPECT_EQ(run.Value("Operations Information", "FileName"), (run.dir / "RUN1.DDX").string());
    EXPECT_EQ(run.Value("Units", "LoadPlateRadiusUnits"), "inch");
    EXPECT_EQ(run.Value("Units", "LoadUnits"), "pound-force");
    EXPECT_EQ(run.Value("Units", "TemperatureUnits"), "Fahrenheit");
    EXPECT_EQ(run.Value("Units", "DeflectionUnits"), "mil");
    EXPECT_EQ(run.Value("Units", "SensorsLocationUnits"), "inch");
    EXPECT_EQ(run.Value("Units", "TestLocationUnits"), "mile, inch, inch");
    EXPECT_EQ(run.Value("Device Configuration", "LoadPlateRadius"), "5.91");
    EXPECT_EQ(run.Value("Device Configuration", "DeflectionSensorXAxisDistances"), "0, 8, 12");
    EXPECT_EQ(run.Value("Device Configuration", "DeflectionSensorYAxisDistances"), "0,  0");
    EXPECT_EQ(run.Value("Deflection Data", "NumberOfTestLocations"), "0");

    const std::string lower = run.Write("run1.dat", {"FWD"});
    test::ReadFile(ReadJilsDat, run.state, lower, run.doc);
    EXPECT_EQ(run.Value("Operations Information", "FileName"), lower);
    EXPECT_EQ(ReplaceAll("C:\\X.DAT\\RUN1.DAT", ".DAT", ".DDX"), "C:\\X.DDX\\RUN1.DDX");
    EXPECT_EQ(ReplaceAll("RUN1.Dat", ".DAT", ".DDX"), "RUN1.Dat");
}

TEST(JilsDatErrors, UnreadableInputNamesFileAndLine)
{
    JilsDatRun load;  // extended layout: a load that is not a number
    load.state.Settings.NumSensors = 1;
    EXPECT_EQ(DatFailure(load, {"1 L 0 0 9 1 60", "", "2 L 0 0 x 1 60"}).Line(), 4);

    JilsDatRun point;  // a point number beyond 32 bits
    point.state.Settings.NumSensors = 1;
    EXPECT_EQ(DatFailure(point, {"3e9 L 0 0 9 1 60"}).Line(), 2);

    JilsDatRun infinite;  // kips that overflow as pounds
    infinite.state.Settings.NumSensors = 0;
    EXPECT_EQ(DatFailure(infinite, {"1e306"}).Line(), 2);

    JilsDatRun wide;  // 41 fields
    std::string line = "1";
    for (int i = 0; i < 40; ++i) line += " 2";
    EXPECT_EQ(DatFailure(wide, {"Note: fine", line}).Line(), 3);

    JilsDatRun many;  // 35 sensors and the extended layout need F(41)
    many.state.Settings.NumSensors = 35;
    EXPECT_EQ(DatFailure(many, {"Drop Sequence Completed Time: 1:00", "1 2"}).Line(), 3);
    many.state.Settings.NumSensors = 34;
    EXPECT_NO_THROW(many.Read({"Drop Sequence Completed Time: 1:00", "1 2 3 4 5"}));

    JilsDatRun negative;
    negative.state.Settings.NumSensors = -1;
    EXPECT_EQ(DatFailure(negative, {"1 2"}).Line(), 2);

    JilsDatRun empty;
    EXPECT_THROW(test::ReadFile(ReadJilsDat, empty.state, empty.Write("E.DAT", {}), empty.doc), ReadError);
    EXPECT_THROW(test::ReadFile(ReadJilsDat, empty.state, (empty.dir / "missing.DAT").string(), empty.doc), ReadError);
}

TEST(JilsDatErrors, CommandLineWritesNothingAndNamesTheLine)
{
    TempDir dir;
    WriteBytes(dir / "bad.DAT", CrLf({"FWD", "Date-Time: 13/45/2005 1:00"}));
    const test::RunResult run = test::RunVantrel({"--settings", "none.bag", "convert", "-t", "jils-dat", "bad.DAT"}, dir.Path());
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("bad.DAT:2:"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "bad.DDX"));
}

}  // namespace
}  // namespace vantrel
