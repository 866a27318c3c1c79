// KUAB FVO.INI: the model code, single-precision calibration numbers, the sensor lists, names
// matched in any letter case, the file name and modification date, and the missing values that
// end a reading.

#include <gtest/gtest.h>

#include <utime.h>

#include <ctime>
#include <memory>

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

// Every value the reader needs, for one sensor; tests replace or add lines.
const std::vector<std::string> kMinimal = {
    "[rack]",        "fwdtype=1",    "[loadplate1]",  "calfac=1",      "caladd=0",
    "sharpcalfac=1", "[sensors]",    "numberofsensors=1", "[sensor0]", "seismoid=S1",
    "calfac=1",      "dyncalfac=1",  "sharpcalfac=1", "[distmeter]",   "calfac=1",
};

std::vector<std::string> Replace(std::vector<std::string> lines, const std::string& section, const std::string& line)
{
    // The line replaces the first one of the same key inside `section`.
    const auto keyOf = [](const std::string& l) { return l.substr(0, l.find_last_not_of(' ', l.find('=') - 1) + 1); };
    const std::string key = keyOf(line);
    bool inside = false;
    for (std::string& l : lines) {
        if (!l.empty() && l[0] == '[') inside = l == section;
        else if (inside && keyOf(l) == key) {
            l = line;
            return lines;
        }
    }
    ADD_FAILURE() << "no " << key << " in " << section;
    return lines;
}

std::vector<std::string> Plus(std::vector<std::string> lines, const std::vector<std::string>& more)
{
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

void SetLocalModificationTime(const std::filesystem::path& file, int year, int month, int day, int hour)
{
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_isdst = -1;
    const std::time_t when = std::mktime(&local);
    const ::utimbuf times{when, when};
    ASSERT_EQ(::utime(file.c_str(), &times), 0);
}

class IniRun {
public:
    std::unique_ptr<PDDXFile> Read(const std::vector<std::string>& lines, const std::string& name = "FVO.INI")
    {
        auto document = std::make_unique<PDDXFile>();
        ReadInto(*document, lines, name);
        return document;
    }

    void ReadInto(PDDXFile& document, const std::vector<std::string>& lines, const std::string& name = "FVO.INI")
    {
        WriteBytes(dir / name, CrLf(lines));
        test::SetFixedModificationTime(dir / name);
        test::ReadFile(ReadKuabFvoIni, state, (dir / name).string(), document);
    }

    ReadError Failure(const std::vector<std::string>& lines, PDDXFile* into = nullptr)
    {
        PDDXFile scratch;
        return test::ReadFailure([&] { ReadInto(into ? *into : scratch, lines); });
    }

    TempDir dir;
    ProgramState state = NewProgramState(dir.Path());
};

using test::Value;

TEST(KuabIniModel, CodesOneToThreeAndNewYorkNameAModelAndAnythingElseLeavesIt)
{
    const struct {
        const char* line;
        const char* model;
    } cases[] = {
        {"fwdtype=1", "model 50 type endswitches"},
        {"fwdtype = 2", "model 150 type endswitches"},
        {"fwdtype=3.0", "model NAVY"},
        {"fwdtype=\"New York\"", "New York -01 (heightsensor)"},
        {"fwdtype=7", "kept"},
        {"fwdtype=0", "kept"},
        {"fwdtype=new york", "kept"},
        {"fwdtype=2a", "kept"},
        {"fwdtype=1e400", "kept"},  // too large for any number type, still no model
        {"fwdtype=", "kept"},
    };
    IniRun run;
    for (const auto& c : cases) {
        PDDXFile doc;
        doc.Element("Device Information", "DeviceModelNumber").SetValue("kept");
        run.ReadInto(doc, Replace(kMinimal, "[rack]", c.line));
        EXPECT_EQ(Value(doc, "Device Information", "DeviceModelNumber"), c.model) << c.line;
        EXPECT_EQ(Value(doc, "Device Information", "DeviceDesignationName"), "KUAB FWD");
    }
    PDDXFile doc;
    doc.Element("Device Information", "DeviceModelNumber").SetValue("kept");
    run.ReadInto(doc, {"[loadplate1]", "calfac=1", "caladd=0", "sharpcalfac=1", "[sensors]", "numberofsensors=0",
                       "[sensor0]", "calfac=1", "dyncalfac=1", "sharpcalfac=1", "[distmeter]", "calfac=1"});
    EXPECT_EQ(Value(doc, "Device Information", "DeviceModelNumber"), "kept");  // no [rack] at all
}

TEST(KuabIniNumbers, FactorsAreStoredInSinglePrecisionWithAtMostSevenDigits)
{
    IniRun run;
    auto lines = Replace(kMinimal, "[loadplate1]", "calfac=1.000");
    lines = Replace(lines, "[loadplate1]", "caladd= -0.35 ");
    lines = Replace(lines, "[loadplate1]", "sharpcalfac='2.50'");
    lines = Replace(lines, "[sensor0]", "calfac=0.98765432");
    lines = Replace(lines, "[sensor0]", "dyncalfac=1e-3");
    lines = Replace(lines, "[sensor0]", "sharpcalfac=12345.678");
    lines = Replace(lines, "[distmeter]", "calfac=+3");
    const auto doc = run.Read(lines);
    EXPECT_EQ(Value(*doc, "Device Calibration", "LoadCellCalibrationFactor"), "1");
    EXPECT_EQ(Value(*doc, "Device Calibration", "LoadCellCalibrationIntercept"), "-0.35");
    EXPECT_EQ(Value(*doc, "Device Calibration", "LoadCellCalibrationCenterGain"), "2.5");
    EXPECT_EQ(Value(*doc, "Device Calibration", "SensorStaticCalibrationFactor"), "0.9876543");
    EXPECT_EQ(Value(*doc, "Device Calibration", "SensorDynamicCalibrationFactor"), "0.001");
    EXPECT_EQ(Value(*doc, "Device Calibration", "SensorCalibrationCenterGain"), "12345.68");
    EXPECT_EQ(Value(*doc, "Device Calibration", "DMIDeviceCalibrationFactor"), "3");
    EXPECT_EQ(Value(*doc, "Device Information", "SensorSerialNumbers"), "S1");
}

TEST(KuabIniSensors, EachSensorAddsOneEntryToEveryListJoinedWithCommaBlank)
{
    IniRun run;
    const auto lines = Plus(Replace(kMinimal, "[sensors]", "numberofsensors=3"),
                            {"[sensor1]", "seismoid=S 2", "calfac=2", "dyncalfac=2.5", "sharpcalfac=0.5",
                             "[sensor2]", "seismoid=S3", "calfac=3", "dyncalfac=3.25", "sharpcalfac=0.25",
                             "[sensor3]", "seismoid=S4", "calfac=4", "dyncalfac=4", "sharpcalfac=4"});
    PDDXFile doc;
    doc.Element("Device Information", "SensorSerialNumbers").SetValue("OLD");  // replaced, not extended
    run.ReadInto(doc, lines);
    EXPECT_EQ(Value(doc, "Device Configuration", "NumberOfDeflectionSensors"), "3");
    EXPECT_EQ(Value(doc, "Device Information", "SensorSerialNumbers"), "S1, S 2, S3");
    EXPECT_EQ(Value(doc, "Device Calibration", "SensorStaticCalibrationFactor"), "1, 2, 3");
    EXPECT_EQ(Value(doc, "Device Calibration", "SensorDynamicCalibrationFactor"), "1, 2.5, 3.25");
    EXPECT_EQ(Value(doc, "Device Calibration", "SensorCalibrationCenterGain"), "1, 0.5, 0.25");

    // A count is rounded half to even: 2.5 reads two sensors, 3.5 four; the count is kept as written.
    auto half = run.Read(Replace(lines, "[sensors]", "numberofsensors=2.50"));
    EXPECT_EQ(Value(*half, "Device Configuration", "NumberOfDeflectionSensors"), "2.5");
    EXPECT_EQ(Value(*half, "Device Information", "SensorSerialNumbers"), "S1, S 2");
    half = run.Read(Replace(lines, "[sensors]", "numberofsensors=3.5"));
    EXPECT_EQ(Value(*half, "Device Calibration", "SensorStaticCalibrationFactor"), "1, 2, 3, 4");

    // No count above one reads the first sensor only; its missing serial number is empty.
    const auto none = run.Read(Replace(Replace(lines, "[sensors]", "numberofsensors=0"), "[sensor0]", "seismoid="));
    EXPECT_EQ(Value(*none, "Device Configuration", "NumberOfDeflectionSensors"), "0");
    EXPECT_EQ(Value(*none, "Device Information", "SensorSerialNumbers"), "");
    EXPECT_EQ(Value(*none, "Device Calibration", "SensorStaticCalibrationFactor"), "1");
}

TEST(KuabIniNames, SectionsAndKeysMatchInAnyLetterCaseAndTheFirstOneCounts)
{
    IniRun run;
    const auto doc = run.Read({
        "[RACK]", "FwdType=3", "fwdtype=1",
        "[LoadPlate1]", "CALFAC = 4", "caladd=5", "SharpCalFac=6",
        "[Sensors]", "NumberOfSensors=2",
        "[SENSOR0]", "SeismoId=A", "CalFac=7", "DynCalFac=8", "SHARPCALFAC=9",
        "[Sensor1]", "SEISMOID=B", "calfac=10", "dyncalfac=11", "sharpcalfac=12",
        "[sensor1]", "seismoid=second section, not read",
        "[DistMeter]", "CalFac=13",
    });
    EXPECT_EQ(Value(*doc, "Device Information", "DeviceModelNumber"), "model NAVY");
    EXPECT_EQ(Value(*doc, "Device Calibration", "LoadCellCalibrationFactor"), "4");
    EXPECT_EQ(Value(*doc, "Device Information", "SensorSerialNumbers"), "A, B");
    EXPECT_EQ(Value(*doc, "Device Calibration", "SensorCalibrationCenterGain"), "9, 12");
    EXPECT_EQ(Value(*doc, "Device Calibration", "DMIDeviceCalibrationFactor"), "13");
}

TEST(KuabIniFile, OnlyAnUpperCaseIniExtensionBecomesDdx)
{
    IniRun run;
    auto doc = run.Read(kMinimal, "FVO.INI");
    EXPECT_EQ(Value(*doc, "Operations Information", "FileName"), (run.dir / "FVO.DDX").string());
    EXPECT_EQ(Value(*doc, "Units", "DropHistoryDataFrequencyUnits"), "Hertz");
    EXPECT_EQ(Value(*doc, "Device Information", "DeviceLoadType"), "Impulse");
    doc = run.Read(kMinimal, "fvo.ini");
    EXPECT_EQ(Value(*doc, "Operations Information", "FileName"), (run.dir / "fvo.ini").string());
    doc = run.Read(kMinimal, "A.INI.INI");
    EXPECT_EQ(Value(*doc, "Operations Information", "FileName"), (run.dir / "A.DDX.DDX").string());
}

TEST(KuabIniFile, EndDateIsTheLocalDateOfTheLastModification)
{
    IniRun run;
    const auto file = run.dir / "FVO.INI";
    WriteBytes(file, CrLf(kMinimal));
    const struct {
        int year, month, day, hour;
        const char* text;
    } cases[] = {
        {2004, 4, 7, 12, "07-Apr-2004"},
        {1999, 1, 5, 0, "05-Jan-1999"},  // just after local midnight: still the 5th
        {2021, 12, 31, 23, "31-Dec-2021"},
    };
    for (const auto& c : cases) {
        SetLocalModificationTime(file, c.year, c.month, c.day, c.hour);
        PDDXFile doc;
        test::ReadFile(ReadKuabFvoIni, run.state, file.string(), doc);
        EXPECT_EQ(Value(doc, "Operations Information", "EndDate"), c.text);
    }
}

TEST(KuabIniErrors, AMissingOrNonNumericNumberNamesSectionAndKey)
{
    IniRun run;
    const std::string path = (run.dir / "FVO.INI").string();
    auto withoutLine = [](std::vector<std::string> lines, const std::string& line) {
        std::erase(lines, line);
        return lines;
    };
    const struct {
        std::vector<std::string> lines;
        const char* says;
    } cases[] = {
        {withoutLine(kMinimal, "caladd=0"), "[loadplate1] has no key \"caladd\""},
        {Replace(kMinimal, "[loadplate1]", "sharpcalfac=1,5"), "[loadplate1] sharpcalfac: \"1,5\" is not a number"},
        {Replace(kMinimal, "[sensors]", "numberofsensors="), "[sensors] numberofsensors: \"\" is not a number"},
        {Replace(kMinimal, "[sensors]", "numberofsensors=40000"), "[sensors] numberofsensors"},
        {Replace(kMinimal, "[sensors]", "numberofsensors=2"), "no section [sensor1]"},
        {Replace(kMinimal, "[sensor0]", "dyncalfac=high"), "[sensor0] dyncalfac"},
        {Replace(kMinimal, "[distmeter]", "calfac=1e40"), "[distmeter] calfac"},
        {std::vector<std::string>(kMinimal.begin(), kMinimal.end() - 2), "no section [distmeter]"},
    };
    for (const auto& c : cases) {
        const ReadError error = run.Failure(c.lines);
        EXPECT_EQ(error.File(), path);
        EXPECT_EQ(error.Line(), 0);
        EXPECT_NE(error.Reason().find(c.says), std::string::npos) << error.Reason();
    }

    PDDXFile doc;
    EXPECT_THROW(test::ReadFile(ReadKuabFvoIni, run.state, (run.dir / "missing.INI").string(), doc), ReadError);
}

TEST(KuabIniErrors, ValuesReadBeforeTheFailureStayInTheDocument)
{
    IniRun run;
    const auto lines = Plus(Replace(kMinimal, "[sensors]", "numberofsensors=4"),
                            {"[sensor1]", "seismoid=S2", "calfac=2", "dyncalfac=2", "sharpcalfac=2", "[sensor2]",
                             "seismoid=S3", "calfac=3"});
    PDDXFile doc;
    const ReadError error = run.Failure(lines, &doc);
    EXPECT_NE(error.Reason().find("[sensor2] has no key \"dyncalfac\""), std::string::npos) << error.Reason();
    EXPECT_EQ(Value(doc, "Device Information", "SensorSerialNumbers"), "S1, S2, S3");
    EXPECT_EQ(Value(doc, "Device Calibration", "SensorStaticCalibrationFactor"), "1, 2, 3");
    EXPECT_EQ(Value(doc, "Device Calibration", "SensorDynamicCalibrationFactor"), "1, 2");
    EXPECT_EQ(Value(doc, "Device Calibration", "DMIDeviceCalibrationFactor"), "");
}

TEST(KuabIniFile, TheDispatcherReadsCodeNineIntoTheDocumentItIsGiven)
{
    IniRun run;
    WriteBytes(run.dir / "FVO.INI", CrLf(kMinimal));
    PDDXFile doc;
    doc.AddTestLocation();
    ReadWithReader(run.state, 9, (run.dir / "FVO.INI").string(), doc, true);
    EXPECT_EQ(Value(doc, "Device Information", "DeviceModelNumber"), "model 50 type endswitches");
    EXPECT_EQ(Value(doc, "Deflection Data", "NumberOfTestLocations"), "1");
}

}  // namespace
}  // namespace vantrel
