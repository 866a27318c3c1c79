// The JILS Setup.Par and CFG readers: comment-line targets, gains capped by the sensor count the
// document holds, values found by line position with empty lines counted, and the numbers that
// end a reading when they are not. The examples (jils-par/, jils-cfg/) cover a usual file of each.

#include <gtest/gtest.h>

#include "import/modJilsConfigRead.h"
#include "support/ReaderTest.h"

namespace vantrel::test {
namespace {

using Lines = std::vector<std::string>;

const std::string kCount = "# number of sensor channel", kGains = "# Sensor channels EU conversion factor";

TEST(JilsConfigRead, ParTargetsExactCaseWithTheLaterMatchWinning)
{
    std::string section = "S", element = "E";
    const std::pair<std::string, std::string> steps[] = {
        {"1.002, 0.998", "S/E"},  // no "#"
        {"x # number of sensor channels", "Device Configuration/NumberOfDeflectionSensors"},
        {"# Number of sensor channel", "/"},
        {kCount + " " + kGains, "Device Calibration/SensorCalibrationCenterGain"},
        {"# sensor channels eu conversion factor", "/"}};
    for (const auto& [line, target] : steps) {
        JilsParTarget(line, section, element);
        EXPECT_EQ(section + "/" + element, target) << line;
    }
}

TEST(JilsConfigRead, SetupParAndCfgValues)
{
    // A reader, the program's sensor count before and after it, its input and the value it must set.
    const std::tuple<NativeReader, int, int, Lines, std::string, std::string> cases[] = {
        // Gains: as many as the document's sensors, joined as split; a single value needs no count.
        {ReadJilsSetupPar, 9, 9, {kCount, "3", kGains, "1,2,3"}, "SensorCalibrationCenterGain", "1,2,3"},
        {ReadJilsSetupPar, 0, 0, {kCount, "2", kGains, "1, 2,3"}, "SensorCalibrationCenterGain", "1, 2"},
        {ReadJilsSetupPar, 0, 0, {kGains, " 1.5 "}, "SensorCalibrationCenterGain", " 1.5 "},
        // A target lasts to the next "#" line; its last line stands, the comment itself if last.
        {ReadJilsSetupPar, 0, 0, {"# header", "1", kCount, "", "5,channels", "6", "# Sensor offsets", "9"},
         "NumberOfDeflectionSensors", "6"},
        {ReadJilsSetupPar, 0, 0, {kCount, "2", kGains}, "SensorCalibrationCenterGain", kGains},
        // CFG: line 1 the count N; line N + 3 the lines k to skip; line N + k + 4 the gain.
        {ReadJilsCfg, 9, 2, {"2", "", "x", "", "1", "", " 3.25 ", "4"}, "LoadCellCalibrationCenterGain", " 3.25 "},
        {ReadJilsCfg, 0, 8, {"7.5", "", "", "", "", "", "", "", "", "", "0", "2.5"}, "LoadCellCalibrationCenterGain",
         "2.5"},
        {ReadJilsCfg, 7, 0, {"", "x", "0", "6.5"}, "LoadCellCalibrationCenterGain", "6.5"},  // no count: 0
    };
    for (const auto& [read, sensors, sensorsAfter, lines, key, value] : cases) {
        ReaderRun run;
        run.NumSensors = sensors;
        run.Read(read, lines);
        const char* section = key == "NumberOfDeflectionSensors" ? "Device Configuration" : "Device Calibration";
        run.ExpectValues({{section, key, value}}, lines.front());
        EXPECT_EQ(run.NumSensors, sensorsAfter) << lines.front();
    }
}

TEST(JilsConfigRead, NumbersThatAreNotEndTheReadingAtTheirLine)
{
    const std::tuple<NativeReader, Lines, int> cases[] = {
        {ReadJilsSetupPar, {kCount, ",7", "", kGains, "1,2"}, 5},  // no sensor count for the gains
        {ReadJilsSetupPar, {kCount, "seven", kGains, "1,2"}, 4},
        {ReadJilsSetupPar, {kCount, "7", kGains, std::string(41, ',') + "1"}, 4},
        {ReadJilsCfg, {"seven", "1"}, 1},
        {ReadJilsCfg, {"40000"}, 1},
        {ReadJilsCfg, {"1", "", "", "n/a", "", "1"}, 4},
    };
    for (const auto& [read, lines, line] : cases)
        EXPECT_EQ(ReaderRun().Failure(read, lines).Line(), line) << lines.front() << " ... " << lines.back();
}

}  // namespace
}  // namespace vantrel::test
