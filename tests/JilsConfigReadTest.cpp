// The JILS Setup.Par and CFG readers: comment-line targets, gains capped by the sensor count,
// values found by line position with empty lines counted, and the errors that end a conversion.

#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "core/ProgramState.h"
#include "base/ReadError.h"
#include "import/modJilsConfigRead.h"

namespace vantrel {
namespace {

using test::CrLf;
using test::TempDir;
using test::WriteBytes;

constexpr const char* kCount = "# number of sensor channel";
constexpr const char* kGains = "# Sensor channels EU conversion factor";

class JilsConfigRun {
public:
    JilsConfigRun() : state(NewProgramState(dir.Path())) {}

    std::string Write(const std::string& name, const std::vector<std::string>& lines)
    {
        const std::string path = (dir / name).string();
        WriteBytes(path, CrLf(lines));
        return path;
    }
    void Par(const std::vector<std::string>& lines, const std::string& name = "SETUP.PAR")
    {
        test::ReadFile(ReadJilsSetupPar, state, Write(name, lines), doc);
    }
    void Cfg(const std::vector<std::string>& lines, const std::string& name = "LOAD.CFG")
    {
        test::ReadFile(ReadJilsCfg, state, Write(name, lines), doc);
    }

    std::string Sensors() const { return std::string(doc.Element("Device Configuration", "NumberOfDeflectionSensors").Value()); }
    std::string Gains() const { return std::string(doc.Element("Device Calibration", "SensorCalibrationCenterGain").Value()); }
    std::string LoadGain() const { return std::string(doc.Element("Device Calibration", "LoadCellCalibrationCenterGain").Value()); }

    TempDir dir;
    ProgramState state;
    PDDXFile doc;
};

TEST(JilsConfigParTarget, ExactCaseSubstringsWithTheLaterMatchWinning)
{
    std::string section = "S", element = "E";
    JilsParTarget("1.002, 0.998", section, element);  // no "#": unchanged
    EXPECT_EQ(section + "/" + element, "S/E");
    JilsParTarget("x # number of sensor channels (max 16)", section, element);
    EXPECT_EQ(section + "/" + element, "Device Configuration/NumberOfDeflectionSensors");
    JilsParTarget("## Sensor channels EU conversion factor", section, element);
    EXPECT_EQ(section + "/" + element, "Device Calibration/SensorCalibrationCenterGain");
    JilsParTarget("# Number of sensor channel", section, element);  // wrong case: any other comment
    EXPECT_EQ(section + "/" + element, "/");
    JilsParTarget("# number of sensor channel # Sensor channels EU conversion factor", section, element);
    EXPECT_EQ(element, "SensorCalibrationCenterGain");
    JilsParTarget("# sensor channels eu conversion factor", section, element);
    EXPECT_EQ(element, "");
}

TEST(JilsConfigSetupPar, GainsCappedAtTheSensorCountJoinedWithBareCommas)
{
    JilsConfigRun run;
    run.Par({kCount, "7", kGains, "1.002, 0.998, 1.010, 1.003, 0.995, 1.001, 0.999, 1.004"});
    EXPECT_EQ(run.Sensors(), "7");
    EXPECT_EQ(run.Gains(), "1.002, 0.998, 1.010, 1.003, 0.995, 1.001, 0.999");

    JilsConfigRun fewer;
    fewer.Par({kCount, "7", kGains, "1.002,0.998 , 1.010"});
    EXPECT_EQ(fewer.Gains(), "1.002,0.998 , 1.010");

    JilsConfigRun exact;  // as many gains as sensors: none dropped
    exact.Par({kCount, "3", kGains, "1,2,3"});
    EXPECT_EQ(exact.Gains(), "1,2,3");

    JilsConfigRun earlier;  // the count may come from an earlier file of the same document
    earlier.doc.Element("Device Configuration", "NumberOfDeflectionSensors").SetValue(" 2 ");
    earlier.Par({kGains, "1,2,3"});
    EXPECT_EQ(earlier.Gains(), "1,2");
    EXPECT_EQ(earlier.Sensors(), " 2 ");
}

TEST(JilsConfigSetupPar, TargetsLastUntilTheNextCommentAndTheLastLineStands)
{
    JilsConfigRun run;
    run.Par({"# header", "ignored", kCount, "", "5,channels", "6", "# Sensor offsets", "9", kGains});
    EXPECT_EQ(run.Sensors(), "6");      // the last line of the section, F(1) only
    EXPECT_EQ(run.Gains(), kGains);     // a recognised comment as the last line keeps its own text

    JilsConfigRun single;  // one field: stored as it is, no count needed
    single.doc.Element("Device Configuration", "NumberOfDeflectionSensors").SetValue("");
    single.Par({kGains, " 1.5 "});
    EXPECT_EQ(single.Gains(), " 1.5 ");
    EXPECT_EQ(single.state.Settings.NumSensors, 0);  // Setup.Par leaves the program's count alone
}

TEST(JilsConfigSetupPar, FileNameLoadTypeAndErrors)
{
    JilsConfigRun run;
    run.state.Settings.NumSensors = 9;
    run.Par({"Unit=JILS"});
    EXPECT_EQ(run.doc.Element("Operations Information", "FileName").Value(), (run.dir / "SETUP.DDX").string());
    EXPECT_EQ(run.doc.Element("Device Information", "DeviceLoadType").Value(), "Impulse");
    EXPECT_EQ(run.state.Settings.NumSensors, 9);
    run.Par({"x"}, "setup.par");
    EXPECT_EQ(run.doc.Element("Operations Information", "FileName").Value(), (run.dir / "setup.par").string());

    JilsConfigRun empty;  // gains met while the sensor count is empty
    const ReadError noCount = test::ReadFailure([&] { empty.Par({kCount, ",7", "", kGains, "1,2"}); });
    EXPECT_EQ(noCount.Line(), 5);
    EXPECT_EQ(noCount.File(), (empty.dir / "SETUP.PAR").string());
    JilsConfigRun word;
    EXPECT_EQ(test::ReadFailure([&] { word.Par({kCount, "seven", kGains, "1,2"}); }).Line(), 4);
    JilsConfigRun wide;
    EXPECT_EQ(test::ReadFailure([&] { wide.Par({kCount, "7", kGains, std::string(41, ',') + "1"}); }).Line(), 4);
}

TEST(JilsConfigCfg, ValuesByLinePositionFromTheSensorCount)
{
    JilsConfigRun run;
    run.state.Settings.NumSensors = 9;
    run.doc.Element("Device Information", "SensorSerialNumbers").SetValue("A, B");
    // Line 1: 7 channels; lines 2-9 unused; line 10 (7 + 3): 2 more unused lines; line 13: the gain.
    run.Cfg({"7,channels", "a", "b", "c", "d", "e", "f", "g", "h", "2", "1.5", "0.5", "1.02,load", "9.99"});
    EXPECT_EQ(run.state.Settings.NumSensors, 7);
    EXPECT_EQ(run.Sensors(), "7");
    EXPECT_EQ(run.LoadGain(), "1.02");
    EXPECT_EQ(run.doc.Element("Device Information", "SensorSerialNumbers").Value(), "");
    EXPECT_EQ(run.doc.Element("Operations Information", "FileName").Value(), (run.dir / "LOAD.DDX").string());
    EXPECT_EQ(run.doc.Element("Device Information", "DeviceLoadType").Value(), "Impulse");
}

TEST(JilsConfigCfg, EmptyLinesCountForThePositions)
{
    JilsConfigRun run;  // 2 channels: count on line 5, gain on line 2 + 1 + 4 = 7
    run.Cfg({"2", "", "x", "", "1", "", " 3.25 ", "4"}, "load.cfg");
    EXPECT_EQ(run.LoadGain(), " 3.25 ");
    EXPECT_EQ(run.doc.Element("Operations Information", "FileName").Value(), (run.dir / "load.cfg").string());

    JilsConfigRun none;  // no unused lines between count and gain, and 7.5 channels read as 8
    none.Cfg({"7.5", "", "", "", "", "", "", "", "", "", "0", "2.5"});
    EXPECT_EQ(none.state.Settings.NumSensors, 8);
    EXPECT_EQ(none.LoadGain(), "2.5");

    JilsConfigRun blankFirst;  // no count on line 1: the program's count starts at 0
    blankFirst.state.Settings.NumSensors = 7;
    blankFirst.Cfg({"", "x", "0", "6.5"});
    EXPECT_EQ(blankFirst.state.Settings.NumSensors, 0);
    EXPECT_EQ(blankFirst.Sensors(), "0");
    EXPECT_EQ(blankFirst.LoadGain(), "6.5");
}

TEST(JilsConfigCfg, NumbersThatAreNotEndTheReadAtTheirLine)
{
    JilsConfigRun first;
    const ReadError count = test::ReadFailure([&] { first.Cfg({"seven", "1"}); });
    EXPECT_EQ(count.Line(), 1);
    EXPECT_EQ(count.File(), (first.dir / "LOAD.CFG").string());
    EXPECT_EQ(first.Sensors(), "0");

    JilsConfigRun lines;
    EXPECT_EQ(test::ReadFailure([&] { lines.Cfg({"1", "", "", "n/a", "", "1"}); }).Line(), 4);
    JilsConfigRun huge;
    EXPECT_EQ(test::ReadFailure([&] { huge.Cfg({"40000"}); }).Line(), 1);

    TempDir dir;  // the command line writes nothing
    WriteBytes(dir / "bad.CFG", CrLf({"2", "", "", "", "x"}));
    const test::RunResult run = test::RunVantrel({"--settings", "none.bag", "convert", "-t", "jils-cfg", "bad.CFG"}, dir.Path());
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("bad.CFG:5:"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "bad.DDX"));
}

}  // namespace
}  // namespace vantrel
