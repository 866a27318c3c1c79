// The Carl Bro FWD text reader: block dispatch, the key rules in their order, the column layout
// of title and drop lines, what survives into the next file of a run and what does not, and the
// errors that end a reading.

#include <gtest/gtest.h>

#include <sstream>

#include "support/TestSupport.h"
#include "core/ProgramState.h"
#include "base/ReadError.h"
#include "import/modCarlBroRead.h"
#include "base/modConvert.h"

namespace vantrel::test {
namespace {

using Lines = std::vector<std::string>;

// One run of the program: files read in turn share its ProgramState.
class CarlBroRun {
public:
    std::string Write(const std::string& name, const Lines& lines)
    {
        WriteBytes(dir / name, CrLf(lines));
        return (dir / name).string();
    }
    void Read(const std::string& name, const Lines& lines, PDDXFile& document)
    {
        test::ReadFile(ReadCarlBroFwd, state, Write(name, lines), document);
    }
    // The ReadError a file ends with; a failed expectation when it reads cleanly.
    ReadError Failure(const std::string& name, const Lines& lines, PDDXFile& document)
    {
        return ReadFailure([&] { Read(name, lines, document); });
    }

    TempDir dir;
    ProgramState state = NewProgramState(dir.Path());
};


std::string Output(const PDDXFile& document)
{
    std::ostringstream out;
    document.PDDX_Output(out);
    return out.str();
}

// A header with three sensors, a station, and the title line of a drop block with one air
// temperature in column 7: drop no., D1-D3, stress, load, air.
Lines ThreeSensorStation(const std::string& chainage = "100")
{
    return {"$1",
            "Radial offset [mm]\t0\t300\t600",
            "$2",
            "Chainage [m]\t" + chainage,
            "$3",
            "Sequence no.\t1\t\tTime 10:32",
            "Drop no.\tD1\tD2\tD3\tStress\tLoad [kN]\tAir temp."};
}

Lines Plus(Lines lines, const Lines& more)
{
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

TEST(CarlBroFwdText, BracketContentsTakesFirstOpeningToFirstClosing)
{
    EXPECT_EQ(BracketContents("Chainage [m]"), "m");
    EXPECT_EQ(BracketContents("Plate radius [mm] [in]"), "mm");
    EXPECT_EQ(BracketContents("Empty []"), "");
    EXPECT_EQ(BracketContents("mm] without an opening"), "mm");
    EXPECT_THROW(BracketContents("Chainage [m"), std::invalid_argument);
    EXPECT_THROW(BracketContents("Chainage m"), std::invalid_argument);
    EXPECT_THROW(BracketContents("a]b[c]"), std::invalid_argument);  // the first "]" comes before the "["
}

TEST(CarlBroFwdText, DateFromPatternReadsDigitsUnderTheLetters)
{
    EXPECT_EQ(FormatDate(DateFromPattern("dd-mm-yy", "12-05-03")), "12-May-2003");
    EXPECT_EQ(FormatDate(DateFromPattern("YYYY.MM.DD", "2004.02.09")), "09-Feb-2004");
    EXPECT_EQ(FormatDate(DateFromPattern("mm/dd/yy", "02/09/04")), "09-Feb-2004");
    // Separators are skipped position by position, whatever stands in the text there.
    EXPECT_EQ(FormatDate(DateFromPattern("dd-mm-yy", "12x05x03")), "12-May-2003");
    // Two-digit years: 00-29 this century, 30-99 the last one.
    EXPECT_EQ(FormatDate(DateFromPattern("dd-mm-yy", "01-01-29")), "01-Jan-2029");
    EXPECT_EQ(FormatDate(DateFromPattern("dd-mm-yy", "01-01-30")), "01-Jan-1930");
    // Days and months beyond their range carry; single digits are padded on output.
    EXPECT_EQ(FormatDate(DateFromPattern("dd-mm-yy", "30-02-04")), "01-Mar-2004");
    EXPECT_EQ(FormatDate(DateFromPattern("dd-mm-yy", "05-13-03")), "05-Jan-2004");
    EXPECT_EQ(FormatDate(DateFromPattern("d-m-yy", "5-3-04")), "05-Mar-2004");
    // A text shorter than the pattern leaves the missing characters out.
    EXPECT_EQ(FormatDate(DateFromPattern("dd-mm-yy", "12-05-3")), "12-May-2003");
}

TEST(CarlBroFwdText, DateFromPatternRejectsPartsThatAreNoNumbers)
{
    EXPECT_THROW(DateFromPattern("dd-mm-yy", "12-MA-03"), ConversionError);
    EXPECT_THROW(DateFromPattern("dd-mm", "12-05"), ConversionError);     // no year in the pattern
    EXPECT_THROW(DateFromPattern("dd-mm-yy", "12-05-"), ConversionError);  // nothing under the year
}

TEST(CarlBroFwdRead, FileWithoutBlocksSetsOnlyTheClosingValues)
{
    CarlBroRun run;
    PDDXFile document, untouched;
    run.Read("plain.TXT", {"Filename\tX.FWD", "Chainage [m]\t5", "1\t2\t3\t4\t5\t6"}, document);
    untouched.Element("Operations Information", "FileName").SetValue((run.dir / "plain.DDX").string());
    untouched.Element("Device Information", "DeviceDesignationName").SetValue("CarlBro FWD");
    untouched.Element("Device Information", "DeviceModelNumber").SetValue("PRI 2100");
    EXPECT_EQ(Output(document), Output(untouched));
}

TEST(CarlBroFwdRead, FileNameIsTheInputWithEveryUpperCaseTxtReplaced)
{
    CarlBroRun run;
    PDDXFile upper, lower, twice;
    run.Read("A12.TXT", {"$1", "Filename\tB7.FWD"}, upper);
    EXPECT_EQ(Value(upper, "Operations Information", "FileName"), (run.dir / "A12.DDX").string());
    run.Read("a12.txt", {"$1", "Filename\tB7.FWD"}, lower);
    EXPECT_EQ(Value(lower, "Operations Information", "FileName"), (run.dir / "a12.txt").string());
    run.Read("a.TXT.TXT", {"$1"}, twice);
    EXPECT_EQ(Value(twice, "Operations Information", "FileName"), (run.dir / "a.DDX.DDX").string());
}

TEST(CarlBroFwdRead, GeneralHeaderKeysAreTriedInOrderAndValuesTrimmed)
{
    CarlBroRun run;
    PDDXFile document;
    run.Read("head.TXT",
             {"$1", "Name of client\t  Road Authority  ", "Districtnumber\t7", "Road reference\tE45",
              // Contains "Start reference" and "date": the earlier rule wins.
              "Start reference date\t12,500",
              // Contains "Date" and "radius": the date rule comes first.
              "Date of radius check [dd-mm-yy]\t07-04-04", "FWD number\t 8012", "Plate radius [in]\t5,91",
              "Remarks\tnot a header key"},
             document);
    EXPECT_EQ(Value(document, "Operations Information", "OperatorName"), "Road Authority");
    EXPECT_EQ(Value(document, "Location Identification", "SiteName"), "7");
    EXPECT_EQ(Value(document, "Location Identification", "FacilityName"), "E45");
    EXPECT_EQ(Value(document, "Location Identification", "SectionName"), "12,500");  // no comma mending
    EXPECT_EQ(Value(document, "Operations Information", "EndDate"), "07-Apr-2004");
    EXPECT_EQ(Value(document, "Device Information", "DeviceSerialNumber"), "8012");
    EXPECT_EQ(Value(document, "Units", "LoadPlateRadiusUnits"), "inch");
    EXPECT_EQ(Value(document, "Device Configuration", "LoadPlateRadius"), "5.91");
    EXPECT_EQ(Value(document, "Deflection Data", "NumberOfTestLocations"), "0");
}

TEST(CarlBroFwdRead, RadialOffsetsGiveOneSensorPerFieldAfterTheKey)
{
    CarlBroRun run;
    PDDXFile document;
    run.Read("offsets.TXT", {"$1", "Radial offset [cm]\t0\t 20,5 \t30\t45"}, document);
    EXPECT_EQ(Value(document, "Units", "SensorsLocationUnits"), "centimeter");
    EXPECT_EQ(Value(document, "Device Configuration", "DeflectionSensorXAxisDistances"), "0, 20.5, 30, 45");
    EXPECT_EQ(Value(document, "Device Configuration", "DeflectionSensorYAxisDistances"), "0, 0, 0, 0");
    EXPECT_EQ(Value(document, "Device Configuration", "NumberOfDeflectionSensors"), "4");
    EXPECT_EQ(run.state.Settings.NumSensors, 4);

    PDDXFile none;
    run.Read("none.TXT", {"$1", "Radial offset [mm]"}, none);
    EXPECT_EQ(Value(none, "Device Configuration", "DeflectionSensorXAxisDistances"), "");
    EXPECT_EQ(Value(none, "Device Configuration", "NumberOfDeflectionSensors"), "0");
    EXPECT_EQ(run.state.Settings.NumSensors, 0);
}

TEST(CarlBroFwdRead, ChainageUnitGetsTheSuffixOfItsNormalisedName)
{
    const std::pair<std::string, std::string> cases[] = {
        {"ft", "foot, inch, inch"},
        {"MI", "mile, foot, foot"},
        {"m", "meter, millimeter, millimeter"},
        {"Foot", "Foot, inch, inch"},  // not in the unit table, but compared in upper case
        {"kilometer", "kilometer, meter, meter"},
        {"km", "km"},
        {"mm", "millimeter"},
    };
    for (const auto& [unit, expected] : cases) {
        CarlBroRun run;
        PDDXFile document;
        run.Read("station.TXT", {"$2", "Chainage [" + unit + "]\t1,5"}, document);
        EXPECT_EQ(Value(document, "Units", "TestLocationUnits"), expected) << unit;
        EXPECT_EQ(Value(document, "Test Location 1", "TestLocation"), "1.5, 0, 0") << unit;
    }
}

TEST(CarlBroFwdRead, StationLinesGoToTheLatestTestLocation)
{
    CarlBroRun run;
    PDDXFile document;
    run.Read("lanes.TXT",
             {"$2", "Pavement\tAsphalt", "Chainage [m]\t0", "Lane\t R1 ", "Remarks\tcrack", "$2", "Chainage [m]\t250",
              "Lane\tR2"},
             document);
    EXPECT_EQ(Value(document, "Deflection Data", "NumberOfTestLocations"), "2");
    EXPECT_EQ(Value(document, "Location Identification", "PavementType"), "Asphalt");
    EXPECT_EQ(Value(document, "Test Location 1", "TestLane"), "R1");
    EXPECT_EQ(Value(document, "Test Location 1", "TestComment"), "crack");
    EXPECT_EQ(Value(document, "Test Location 2", "TestLocation"), "250, 0, 0");
    EXPECT_EQ(Value(document, "Test Location 2", "TestLane"), "R2");
    EXPECT_EQ(Value(document, "Test Location 2", "TestComment"), "");
}

TEST(CarlBroFwdRead, SequenceTimesGiveStartEndAndEachStationsFirstTime)
{
    CarlBroRun run;
    PDDXFile document;
    run.Read("times.TXT",
             {"$2", "Chainage [m]\t0", "$3", "Sequence no.\t1\tx\tTime 10:32", "Sequence no.\t2\tx\tTime   10:35  ", "$2",
              "Chainage [m]\t250", "$3", "Sequence no.\t3\tx\tTime 10:40"},
             document);
    EXPECT_EQ(Value(document, "Operations Information", "StartTime"), "10:32:00");
    EXPECT_EQ(Value(document, "Operations Information", "EndTime"), "10:40:00");
    EXPECT_EQ(Value(document, "Test Location 1", "TestTime"), "10:32:00");
    EXPECT_EQ(Value(document, "Test Location 2", "TestTime"), "10:40:00");

    PDDXFile second;  // a second sequence line in a station changes only the end time
    run.Read("again.TXT",
             {"$2", "Chainage [m]\t0", "$3", "Sequence no.\t1\tx\tTime 08:00", "Sequence no.\t2\tx\tTime=08:07"},
             second);
    EXPECT_EQ(Value(second, "Operations Information", "StartTime"), "08:00:00");
    EXPECT_EQ(Value(second, "Operations Information", "EndTime"), "08:07:00");
    EXPECT_EQ(Value(second, "Test Location 1", "TestTime"), "08:00:00");

    PDDXFile bare;  // five characters leave no time at all
    run.Read("bare.TXT", {"$2", "Chainage [m]\t0", "$3", "Sequence no.\t1\tx\tTime "}, bare);
    EXPECT_EQ(Value(bare, "Test Location 1", "TestTime"), ":00");
}

TEST(CarlBroFwdRead, LoadUnitIsTheTitleAfterTheDeflectionsAndTheColumnBetween)
{
    CarlBroRun run;
    PDDXFile pounds, shifted;
    // n = 3: the load title stands in field 6.
    run.Read("lbf.TXT", {"$1", "Radial offset [in]\t0\t12\t24", "$3", "Drop\tD1\tD2\tD3\tStress\t lbf \tAir"}, pounds);
    EXPECT_EQ(Value(pounds, "Units", "LoadUnits"), "pound-force");
    EXPECT_EQ(Value(pounds, "Units", "DeflectionUnits"), "mil");
    EXPECT_EQ(Value(pounds, "Units", "TemperatureUnits"), "Fahrenheit");
    // "lbf" one column early is not the load column.
    run.Read("kn.TXT", {"$1", "Radial offset [in]\t0\t12\t24", "$3", "Drop\tD1\tD2\tD3\tlbf\tkN\tAir"}, shifted);
    EXPECT_EQ(Value(shifted, "Units", "LoadUnits"), "kilo-Newton");
    EXPECT_EQ(Value(shifted, "Units", "DeflectionUnits"), "micron");
    EXPECT_EQ(Value(shifted, "Units", "TemperatureUnits"), "Celsius");
}

TEST(CarlBroFwdRead, TemperatureColumnsAreFoundByTheirTitles)
{
    CarlBroRun run;
    PDDXFile document;
    run.Read("titles.TXT",
             Plus(ThreeSensorStation(),
                  // Any title holding "sur" counts, so "Pressure" is a surface reading too.
                  {"Drop no.\tD1\tD2\tManual\tPressure\tkN\tT AIR", "1\t10\t20\t30\t40\t50\t60"}),
             document);
    EXPECT_EQ(Value(document, "Device Configuration", "NumberOfTemperatureSensors"), "3");
    EXPECT_EQ(Value(document, "Device Configuration", "TemperatureSensorUse"), "Manual, Surface, Air");
    EXPECT_EQ(Value(document, "Test Location 1", "TestTemperatures"), "30, 40, 60");
    const auto& columns = run.state.Readers.CarlBro.TemperatureColumns;
    EXPECT_EQ(columns[0], 3);
    EXPECT_EQ(columns[1], 4);
    EXPECT_EQ(columns[2], 5);
    EXPECT_EQ(columns[3], 7);

    PDDXFile none;
    run.Read("none.TXT", Plus(ThreeSensorStation(), {"Drop\tD1\tD2\tD3\tx\tkN", "1\t10\t20\t30\t40\t50"}), none);
    EXPECT_EQ(Value(none, "Device Configuration", "NumberOfTemperatureSensors"), "0");
    EXPECT_EQ(Value(none, "Device Configuration", "TemperatureSensorUse"), "");
    EXPECT_EQ(Value(none, "Test Location 1", "TestTemperatures"), "");
    EXPECT_EQ(Value(none, "Test Location 1", "DropData_1"), "50, 10, 20, 30");
}

TEST(CarlBroFwdRead, DropLinesNeedMoreFieldsThanSensorsAndTemperatures)
{
    CarlBroRun run;
    PDDXFile document;
    run.Read("drops.TXT",
             Plus(ThreeSensorStation(),
                  {"1\t210,5\t180\t150\tx\t50,1\t18",  // the worked example: n = 3, t = 1, seven fields
                   "2\t200\t170\t140",                 // four fields: no more than n + t, ignored
                   "3\t201\t171\t141\t700",            // five fields: one more than n + t, a drop
                   "Mean\t1\t2\t3\t4\t5\t6",           // not a number in field 1
                   "1e999\t7\t8\t9\tx\t60\t20",         // a number, if too large to hold
                   " 4 \t1,0\t2\t3\t4\t5\t6,5"}),      // blanks around the drop number are allowed
             document);
    EXPECT_EQ(Value(document, "Test Location 1", "NumberOfDrops"), "4");
    EXPECT_EQ(Value(document, "Test Location 1", "DropData_1"), "50.1, 210.5, 180, 150");
    EXPECT_EQ(Value(document, "Test Location 1", "DropData_2"), ", 201, 171, 141");
    EXPECT_EQ(Value(document, "Test Location 1", "DropData_3"), "60, 7, 8, 9");
    EXPECT_EQ(Value(document, "Test Location 1", "DropData_4"), "5, 1.0, 2, 3");
    // The temperatures of the last drop stay.
    EXPECT_EQ(Value(document, "Test Location 1", "TestTemperatures"), "6.5");
}

TEST(CarlBroFwdRead, DropsAreNumberedPerStation)
{
    CarlBroRun run;
    PDDXFile document;
    run.Read("stations.TXT",
             Plus(ThreeSensorStation("0"), {"7\t1\t2\t3\tx\t40\t10", "9\t4\t5\t6\tx\t41\t11", "$2", "Chainage [m]\t50",
                                            "$3", "7\t7\t8\t9\tx\t42\t12"}),
             document);
    EXPECT_EQ(Value(document, "Test Location 1", "NumberOfDrops"), "2");
    EXPECT_EQ(Value(document, "Test Location 1", "DropData_2"), "41, 4, 5, 6");
    EXPECT_EQ(Value(document, "Test Location 2", "NumberOfDrops"), "1");
    EXPECT_EQ(Value(document, "Test Location 2", "DropData_1"), "42, 7, 8, 9");
    EXPECT_EQ(Value(document, "Test Location 2", "TestTemperatures"), "12");
}

TEST(CarlBroFwdRead, BlockLinesSelectTheRulesAndUnknownBlocksAreSkipped)
{
    CarlBroRun run;
    PDDXFile document;
    run.Read("blocks.TXT",
             {"Chainage [m]\t1", "$ 2", "Chainage [m]\t2", "$4", "Chainage [m]\t3", "Lane\tx", "$02", "Lane\tL2", "$1",
              "Chainage [m]\t4", "$3", "Chainage [m]\t5", "Lane\ty"},
             document);
    EXPECT_EQ(Value(document, "Deflection Data", "NumberOfTestLocations"), "1");
    EXPECT_EQ(Value(document, "Test Location 1", "TestLocation"), "2, 0, 0");
    EXPECT_EQ(Value(document, "Test Location 1", "TestLane"), "L2");
}

TEST(CarlBroFwdRead, NextFileKeepsTemperatureColumnsAndSensorCountButStartsItsOwnBlocksAndTimes)
{
    CarlBroRun run;
    PDDXFile document;
    run.Read("first.TXT", Plus(ThreeSensorStation("0"), {"1\t1\t2\t3\tx\t40\t10"}), document);
    // No header, no title line: the sensor count and the temperature column come from the first
    // file; its block 3 does not go on into this one, so the drop line before "$" is ignored.
    run.Read("second.TXT",
             {"1\t9\t9\t9\tx\t99\t99", "$2", "Chainage [m]\t100", "$3", "Sequence no.\t1\tx\tTime 11:00",
              "1\t4\t5\t6\tx\t41\t11,5"},
             document);
    EXPECT_EQ(Value(document, "Deflection Data", "NumberOfTestLocations"), "2");
    EXPECT_EQ(Value(document, "Test Location 1", "NumberOfDrops"), "1");
    EXPECT_EQ(Value(document, "Test Location 2", "DropData_1"), "41, 4, 5, 6");
    EXPECT_EQ(Value(document, "Test Location 2", "TestTemperatures"), "11.5");
    // The second file has its own start time.
    EXPECT_EQ(Value(document, "Operations Information", "StartTime"), "11:00:00");
    EXPECT_EQ(Value(document, "Test Location 2", "TestTime"), "11:00:00");

}

TEST(CarlBroFwdRead, NextFileGoesOnWithTheLastTestLocationOfItsDocument)
{
    CarlBroRun run;
    PDDXFile document;
    run.Read("first.TXT", Plus(ThreeSensorStation("0"), {"1\t1\t2\t3\tx\t40\t10"}), document);
    // Station lines before the next file's own "Chainage" belong to the station the last file
    // ended in; it has its time already, so the sequence line gives only the file's times.
    run.Read("second.TXT",
             {"$2", "Lane\tR2", "$3", "Sequence no.\t2\tx\tTime 11:00", "2\t4\t5\t6\tx\t41\t11", "$2",
              "Chainage [m]\t100", "$3", "Sequence no.\t3\tx\tTime 11:05", "1\t7\t8\t9\tx\t42\t12"},
             document);
    EXPECT_EQ(Value(document, "Deflection Data", "NumberOfTestLocations"), "2");
    EXPECT_EQ(Value(document, "Test Location 1", "TestLane"), "R2");
    EXPECT_EQ(Value(document, "Test Location 1", "TestTime"), "10:32:00");
    EXPECT_EQ(Value(document, "Test Location 1", "NumberOfDrops"), "2");
    EXPECT_EQ(Value(document, "Test Location 1", "DropData_2"), "41, 4, 5, 6");
    EXPECT_EQ(Value(document, "Test Location 2", "TestTime"), "11:05:00");
    EXPECT_EQ(Value(document, "Operations Information", "StartTime"), "11:00:00");
    // A third file goes on with the second file's last station, even after a failing file in
    // another document.
    PDDXFile other;
    run.Failure("other.TXT", {"$3", "1\t4\t5\t6\tx\t41\t11"}, other);
    run.Read("third.TXT", {"$3", "3\t1\t1\t1\tx\t43\t13"}, document);
    EXPECT_EQ(Value(document, "Test Location 2", "NumberOfDrops"), "2");
    EXPECT_EQ(Value(document, "Test Location 2", "DropData_2"), "43, 1, 1, 1");
    EXPECT_EQ(Value(document, "Test Location 2", "TestTemperatures"), "13");
}

TEST(CarlBroFwdRead, NextFileInAnotherDocumentHasNoTestLocationBeforeItsChainage)
{
    CarlBroRun run;
    PDDXFile first, second;
    run.Read("first.TXT", Plus(ThreeSensorStation("0"), {"1\t1\t2\t3\tx\t40\t10"}), first);
    // The last station is timed, so a sequence line needs no test location of its own...
    run.Read("times.TXT", {"$3", "Sequence no.\t1\tx\tTime 12:00"}, second);
    EXPECT_EQ(Value(second, "Operations Information", "StartTime"), "12:00:00");
    EXPECT_EQ(Value(second, "Deflection Data", "NumberOfTestLocations"), "0");
    EXPECT_EQ(Value(first, "Test Location 1", "TestTime"), "10:32:00");
    // ... but a drop does.
    PDDXFile third;
    const ReadError error = run.Failure("drops.TXT", {"$3", "1\t4\t5\t6\tx\t41\t11"}, third);
    EXPECT_EQ(error.Line(), 2);
    EXPECT_NE(error.Reason().find("Chainage"), std::string::npos) << error.what();
    EXPECT_EQ(Value(first, "Test Location 1", "NumberOfDrops"), "1");
}

TEST(CarlBroFwdRead, ErrorsNameFileAndLineAndLeaveWhatWasStored)
{
    struct Case {
        Lines lines;
        int line;
        std::string mentions;
    };
    const Case cases[] = {
        {{"$1", "", "$x"}, 3, "block"},
        {{"$"}, 1, "block"},
        {{"$1", "Date [dd-mm-yy\t12-05-03"}, 2, "]"},
        {{"$1", "Date [dd-mm-yy]\t12-ab-03"}, 2, "month"},
        {{"$1", "Plate radius mm\t150"}, 2, "]"},
        {{"$1", "Radial offset [mm\t0\t200"}, 2, "]"},
        {{"$2", "Chainage m]["}, 2, "]"},
        {{"$2", "Lane\tR1"}, 2, "Chainage"},
        {{"$2", "Remarks\tx"}, 2, "Chainage"},
        {{"$3", "Sequence\t1\t\tTime"}, 2, "Time"},
        {{"$3", "Sequence\t1\t\tTime 10:00"}, 2, "Chainage"},
        {Plus({"$1", "Radial offset [mm]\t0"}, {"$3", "1\t2\tx\t4"}), 4, "Chainage"},
        {{"$3", "Drop\tAir\tAir\tAir\tAir\tAir\tAir\tAir\tAir\tAir\tAir\tAir"}, 2, "10"},
        {{"$1", std::string("Radial offset [mm]") + std::string(40, '\t') + "x"}, 2, "40"},
    };
    for (const Case& c : cases) {
        CarlBroRun run;
        PDDXFile document;
        const ReadError error = run.Failure("bad.TXT", c.lines, document);
        EXPECT_EQ(error.File(), (run.dir / "bad.TXT").string()) << c.lines.back();
        EXPECT_EQ(error.Line(), c.line) << c.lines.back();
        EXPECT_NE(error.Reason().find(c.mentions), std::string::npos) << error.what();
        // The reading ended there: the closing values are not set.
        EXPECT_EQ(Value(document, "Device Information", "DeviceDesignationName"), "") << c.lines.back();
    }
}

TEST(CarlBroFwdRead, SensorCountThatCannotCutALineIsAnError)
{
    {
        CarlBroRun run;  // a negative count from the settings
        run.state.Settings.NumSensors = -2;
        PDDXFile document;
        const ReadError error =
            run.Failure("neg.TXT", {"$2", "Chainage [m]\t0", "$3", "1\t2\t3\t4\t5\t6"}, document);
        EXPECT_EQ(error.Line(), 4);
        EXPECT_NE(error.Reason().find("-2"), std::string::npos) << error.what();
    }
    {
        CarlBroRun run;  // 38 sensors put the load in field 41
        run.state.Settings.NumSensors = 38;
        PDDXFile document;
        const ReadError error = run.Failure("wide.TXT", {"$3", "Drop\tD1"}, document);
        EXPECT_EQ(error.Line(), 2);
        EXPECT_NE(error.Reason().find("41"), std::string::npos) << error.what();
    }
}

}  // namespace
}  // namespace vantrel::test
