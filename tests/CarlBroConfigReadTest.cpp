// The Carl Bro configuration text reader: keys matched after trailing blanks only, the modes of
// the transducer blocks, lists that geophone 1 starts, dates, and the closing values.

#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "core/ProgramState.h"
#include "base/ReadError.h"
#include "import/modCarlBroRead.h"

namespace vantrel::test {
namespace {

using Lines = std::vector<std::string>;

class ConfigRun {
public:
    void Read(const std::string& name, const Lines& lines, PDDXFile& document)
    {
        WriteBytes(dir / name, CrLf(lines));
        test::ReadFile(ReadCarlBroConfig, state, (dir / name).string(), document);
    }
    ReadError Failure(const Lines& lines, PDDXFile& document)
    {
        return ReadFailure([&] { Read("bad.txt", lines, document); });
    }

    TempDir dir;
    ProgramState state = NewProgramState(dir.Path());
};


TEST(CarlBroConfigRead, GeophonesFillTheListsInFileOrder)
{
    ConfigRun run;
    PDDXFile document;
    run.Read("geo.txt",
             {"Geophone nr.\t1", "ID\tG101", "Slope\t1,05", "[dd/mm/yy]\t15/03/04", "Geophone nr.\t2", "ID\tG102",
              "Slope\t0,98", "[dd/mm/yy]\t20/04/05"},
             document);
    EXPECT_EQ(Value(document, "Device Information", "SensorSerialNumbers"), "G101, G102");
    EXPECT_EQ(Value(document, "Device Calibration", "SensorDynamicCalibrationFactor"), "1.05, 0.98");
    EXPECT_EQ(Value(document, "Device Calibration", "SensorCalibrationCenterGain"), "1.05, 0.98");
    // Only the first geophone's date is kept.
    EXPECT_EQ(Value(document, "Device Calibration", "SensorDynamicCalibrationDate"), "15-Mar-2004");
    EXPECT_EQ(Value(document, "Device Configuration", "NumberOfDeflectionSensors"), "2");
}

TEST(CarlBroConfigRead, ForceBlockFillsTheLoadCell)
{
    ConfigRun run;
    PDDXFile document;
    run.Read("force.txt", {"Customer\tPRI-8012", "Force", "ID\tLC7", "Slope\t2,5", "[dd/mm/yy]\t01/02/04"}, document);
    EXPECT_EQ(Value(document, "Device Information", "DeviceSerialNumber"), "PRI-8012");
    EXPECT_EQ(Value(document, "Device Information", "LoadCellSerialNumber"), "LC7");
    EXPECT_EQ(Value(document, "Device Calibration", "LoadCellCalibrationFactor"), "2.5");
    EXPECT_EQ(Value(document, "Device Calibration", "LoadCellCalibrationCenterGain"), "2.5");
    EXPECT_EQ(Value(document, "Device Calibration", "LoadCellCalibrationDate"), "01-Feb-2004");
    EXPECT_EQ(Value(document, "Device Configuration", "NumberOfDeflectionSensors"), "0");
    EXPECT_EQ(Value(document, "Device Information", "SensorSerialNumbers"), "");
}

TEST(CarlBroConfigRead, KeysLoseTrailingBlanksOnlyAndKeepTheirCase)
{
    ConfigRun run;
    PDDXFile document;
    run.Read("keys.txt",
             {"Geophone nr.  \t1", "ID   \tG1", "Slope   \t1,5", "  Slope\t7", "slope\t8", "SLOPE\t9", "Id\tX",
              "\tID\tY"},
             document);
    // Geophone 1 would start each list afresh, so any of the other lines would show here.
    EXPECT_EQ(Value(document, "Device Information", "SensorSerialNumbers"), "G1");
    EXPECT_EQ(Value(document, "Device Calibration", "SensorDynamicCalibrationFactor"), "1.5");
    EXPECT_EQ(Value(document, "Device Configuration", "NumberOfDeflectionSensors"), "1");
}

TEST(CarlBroConfigRead, TemperatureAndUnheadedBlocksChangeNothing)
{
    for (const std::string heading : {"Air temp.", "Surface temp.", "Manual temp.", ""}) {
        ConfigRun run;
        PDDXFile document;
        Lines lines = {"Force", "ID\tLC1", "Slope\t3", "[dd/mm/yy]\t01/01/04"};
        if (!heading.empty()) lines.push_back(heading);
        Lines after = {"ID\tT9", "Slope\t0,1", "[dd/mm/yy]\t09/09/09"};
        if (heading.empty()) lines = after;  // before any heading at all
        else lines.insert(lines.end(), after.begin(), after.end());
        run.Read("temp.txt", lines, document);
        const std::string expectedId = heading.empty() ? "" : "LC1";
        EXPECT_EQ(Value(document, "Device Information", "LoadCellSerialNumber"), expectedId) << heading;
        EXPECT_EQ(Value(document, "Device Calibration", "LoadCellCalibrationFactor"), heading.empty() ? "" : "3")
            << heading;
        EXPECT_EQ(Value(document, "Device Calibration", "LoadCellCalibrationDate"),
                  heading.empty() ? "" : "01-Jan-2004")
            << heading;
        EXPECT_EQ(Value(document, "Device Information", "SensorSerialNumbers"), "") << heading;
    }
}

TEST(CarlBroConfigRead, ListsStartAtGeophoneOneWhereverItStands)
{
    ConfigRun run;
    PDDXFile early;
    run.Read("three.txt", {"Geophone nr.\t3", "ID\tG103", "Slope\t1,3"}, early);
    // Geophone 3 adds to an empty list.
    EXPECT_EQ(Value(early, "Device Information", "SensorSerialNumbers"), ", G103");
    EXPECT_EQ(Value(early, "Device Calibration", "SensorDynamicCalibrationFactor"), ", 1.3");
    EXPECT_EQ(Value(early, "Device Configuration", "NumberOfDeflectionSensors"), "3");

    PDDXFile late;
    run.Read("late.txt",
             {"Geophone nr.\t3", "ID\tG103", "Geophone nr.\t1", "ID\tG101", "[dd/mm/yy]\t02/03/04", "Geophone nr.\t2",
              "ID\tG102"},
             late);
    EXPECT_EQ(Value(late, "Device Information", "SensorSerialNumbers"), "G101, G102");
    EXPECT_EQ(Value(late, "Device Calibration", "SensorDynamicCalibrationDate"), "02-Mar-2004");
    EXPECT_EQ(Value(late, "Device Configuration", "NumberOfDeflectionSensors"), "2");
}

TEST(CarlBroConfigRead, LaterGeophonesAddToWhatTheDocumentHolds)
{
    ConfigRun run;
    PDDXFile document;
    document.Element("Device Information", "SensorSerialNumbers").SetValue("A, B");
    document.Element("Device Calibration", "LoadCellCalibrationFactor").SetValue("1.7");
    run.Read("more.txt", {"Geophone nr.\t4", "ID\tG104"}, document);
    EXPECT_EQ(Value(document, "Device Information", "SensorSerialNumbers"), "A, B, G104");
    // The closing copies read what the document holds, not only what the file gave.
    EXPECT_EQ(Value(document, "Device Calibration", "LoadCellCalibrationCenterGain"), "1.7");
}

TEST(CarlBroConfigRead, ValuesAreField1OnlyWithEveryCommaMadeAPoint)
{
    ConfigRun run;
    PDDXFile document;
    run.Read("fields.txt",
             {"Customer\t 8012 \tVejdirektoratet", "Geophone nr.\t1\textra", "ID\tG1\tspare", "Slope\t1,234,5\t0,9"},
             document);
    EXPECT_EQ(Value(document, "Device Information", "DeviceSerialNumber"), " 8012 ");
    EXPECT_EQ(Value(document, "Device Information", "SensorSerialNumbers"), "G1");
    EXPECT_EQ(Value(document, "Device Calibration", "SensorDynamicCalibrationFactor"), "1.234.5");
}

TEST(CarlBroConfigRead, DatesAreDayMonthYearWithCarriesAndPadding)
{
    const std::pair<std::string, std::string> cases[] = {
        {"15/03/04", "15-Mar-2004"}, {"5/3/04", "05-Mar-2004"},  {"31/02/04", "02-Mar-2004"},
        {"01/13/03", "01-Jan-2004"}, {"01/01/29", "01-Jan-2029"}, {"01/01/30", "01-Jan-1930"},
        {"1/1/1999", "01-Jan-1999"},
    };
    for (const auto& [text, expected] : cases) {
        ConfigRun run;
        PDDXFile document;
        run.Read("date.txt", {"Force", "[dd/mm/yy]\t" + text}, document);
        EXPECT_EQ(Value(document, "Device Calibration", "LoadCellCalibrationDate"), expected) << text;
    }
}

TEST(CarlBroConfigRead, ClosingValuesAreSetWhateverTheFileHolds)
{
    ConfigRun run;
    PDDXFile document;
    document.Element("Device Information", "DeviceModelNumber").SetValue("other");
    document.Element("Units", "DropHistoryDataFrequencyUnits").SetValue("kHz");
    run.Read("CFG.FWD.FWD", {"Comment\tnothing kept"}, document);
    EXPECT_EQ(Value(document, "Operations Information", "FileName"), (run.dir / "CFG.DDX.DDX").string());
    EXPECT_EQ(Value(document, "Units", "DropHistoryDataFrequencyUnits"), "Hertz");
    EXPECT_EQ(Value(document, "Device Information", "DeviceDesignationName"), "CarlBro FWD");
    EXPECT_EQ(Value(document, "Device Information", "DeviceModelNumber"), "PRI 2100");
    EXPECT_EQ(Value(document, "Device Information", "DeviceLoadType"), "Impulse");
    EXPECT_EQ(Value(document, "Device Configuration", "NumberOfDeflectionSensors"), "0");

    PDDXFile lower;
    run.Read("config.fwd", {"Force"}, lower);
    EXPECT_EQ(Value(lower, "Operations Information", "FileName"), (run.dir / "config.fwd").string());
    // The configuration gives the document a sensor count but leaves the program's alone.
    EXPECT_EQ(run.state.Settings.NumSensors, 0);
}

TEST(CarlBroConfigRead, MalformedLinesEndTheReadingAtTheirLine)
{
    struct Case {
        Lines lines;
        int line;
        std::string mentions;
    };
    const Case cases[] = {
        {{"Force", "", "Customer"}, 3, "Customer"},
        {{"Geophone nr."}, 1, "Geophone nr."},
        {{"Geophone nr.\tfirst"}, 1, "first"},
        {{"ID"}, 1, "ID"},  // even where an ID would not be kept
        {{"Air temp.", "Slope   "}, 2, "Slope"},
        {{"Force", "[dd/mm/yy]"}, 2, "[dd/mm/yy]"},
        {{"Force", "[dd/mm/yy]\t15-03-04"}, 2, "15-03-04"},
        {{"Geophone nr.\t1", "[dd/mm/yy]\t15/03"}, 2, "15/03"},
        {{"Geophone nr.\t1", "[dd/mm/yy]\t15/03/04/05"}, 2, "15/03/04/05"},
        {{"Force", "[dd/mm/yy]\t15/x/04"}, 2, "15/x/04"},
    };
    for (const Case& c : cases) {
        ConfigRun run;
        PDDXFile document;
        const ReadError error = run.Failure(c.lines, document);
        EXPECT_EQ(error.File(), (run.dir / "bad.txt").string());
        EXPECT_EQ(error.Line(), c.line) << c.lines.back();
        EXPECT_NE(error.Reason().find(c.mentions), std::string::npos) << error.what();
        EXPECT_EQ(Value(document, "Device Information", "DeviceDesignationName"), "") << c.lines.back();
    }
}

TEST(CarlBroConfigRead, DatesThatAreNotKeptAreNotRead)
{
    ConfigRun run;
    PDDXFile document;
    run.Read("unkept.txt",
             {"[dd/mm/yy]\tnever", "Geophone nr.\t2", "[dd/mm/yy]\tsoon", "Air temp.", "[dd/mm/yy]\t??"}, document);
    EXPECT_EQ(Value(document, "Device Calibration", "SensorDynamicCalibrationDate"), "");
    EXPECT_EQ(Value(document, "Device Configuration", "NumberOfDeflectionSensors"), "2");
}

}  // namespace
}  // namespace vantrel::test
