// The JILS Setup.Par and CFG readers: comment-line targets, gains capped by the sensor count the
// document holds, values found by line position with empty lines counted, the lines taken only in
// part or missing (warned of), and the numbers that end a reading when they are not. The examples
// (jils-par/, jils-cfg/) cover a usual file of each.

#include <gtest/gtest.h>

#include "import/FileFormats.h"
#include "support/ReaderTest.h"

namespace vantrel::test {
namespace {

using Lines = std::vector<std::string>;

const std::string kCount = "# number of sensor channel", kGains = "# Sensor channels EU conversion factor";

// What a reading sets and the values it takes only in part or does not find, warned of.
TEST(JilsConfigRead, SetupParAndCfgValuesAndTheValuesWarnedOf)
{
    // A reader, the program's sensor count before and after it, its input, the value it must set
    // (none for an empty key) and the warnings it must give.
    const struct {
        FileType read;
        int sensors, sensorsAfter;
        Lines lines;
        std::string key = "", value = "";
        std::vector<Warned> warned = {};
    } cases[] = {
        // Gains: as many as the document's sensors, joined as split; a single value needs no count.
        {FileType::JilsPar, 9, 9, {kCount, "3", kGains, "1,2,3"}, "SensorCalibrationCenterGain", "1,2,3"},
        {FileType::JilsPar, 0, 0, {kCount, "2", kGains, "1, 2,3"}, "SensorCalibrationCenterGain", "1, 2"},
        {FileType::JilsPar, 0, 0, {kGains, " 1.5 "}, "SensorCalibrationCenterGain", " 1.5 "},
        // A target lasts to the next "#" line; its last line stands, the comment itself if last.
        {FileType::JilsPar, 0, 0, {"# header", "1", kCount, "", "5,channels", "6", "# Sensor offsets", "9"},
         "NumberOfDeflectionSensors", "6",
         {{5, "only the first field, \"5\", was read"},
          {6, "a further value line for NumberOfDeflectionSensors; it replaces \"5\""}}},
        {FileType::JilsPar, 0, 0, {kCount, "2", kGains}, "SensorCalibrationCenterGain", kGains,
         {{3, "no value line follows; the comment itself was stored as SensorCalibrationCenterGain"}}},
        {FileType::JilsPar, 0, 0, {kGains, kCount, "seven"}, "", "",
         {{1, "no value line follows"}, {3, "the number of sensor channels \"seven\" is not a whole number"}}},
        {FileType::JilsPar, 0, 0, {"# header", "1", kCount, "7", "", kGains, "1,2,3,4,5,6,7,8", "# other", "9"}},
        // The comments are matched exactly, anywhere in a line; of both on one line the gains win.
        {FileType::JilsPar, 0, 0, {"x # number of sensor channels", "4"}, "NumberOfDeflectionSensors", "4"},
        {FileType::JilsPar, 0, 0, {kCount, "3", "# Number of sensor channel", "5"}, "NumberOfDeflectionSensors", "3"},
        {FileType::JilsPar, 0, 0, {kCount + " " + kGains, "1.5"}, "SensorCalibrationCenterGain", "1.5"},
        {FileType::JilsPar, 0, 0, {kGains, "2", "# sensor channels eu conversion factor", "1.5"},
         "SensorCalibrationCenterGain", "2"},
        // CFG: line 1 the count N; line N + 3 the lines k to skip; line N + k + 4 the gain.
        {FileType::JilsCfg, 9, 2, {"2", "", "x", "", "1", "", " 3.25 ", "4"}, "LoadCellCalibrationCenterGain", " 3.25 "},
        {FileType::JilsCfg, 0, 8, {"7.5", "", "", "", "", "", "", "", "", "", "0", "2.5"}, "LoadCellCalibrationCenterGain",
         "2.5", {{1, "the number of sensor channels \"7.5\" is not a whole number of at least 0; 8 was taken"}}},
        {FileType::JilsCfg, 7, 0, {"", "x", "0", "6.5"}, "LoadCellCalibrationCenterGain", "6.5",  // no count: 0
         {{0, "line 1, where the number of sensor channels belongs, is empty"}}},
        {FileType::JilsCfg, 0, 2, {"2", "a", "b", "c", "-1"}, "", "", {{5, "line count \"-1\" is not a whole"}}},
        {FileType::JilsCfg, 0, 2, {"2", "a", "b"}, "", "", {{0, "line 5, where the line count belongs, is empty"}}},
        {FileType::JilsCfg, 0, 1, {"1", "a", "", "1", "", "x"}, "", "", {{6, "load-cell gain \"x\" is not a number"}}},
        {FileType::JilsCfg, 0, 1, {"1", "a", "", "2", "b", "c"}, "", "",
         {{0, "line 7, where the load-cell gain belongs, is empty or missing"}}},
        {FileType::JilsCfg, 0, 1, {"1,channels", "name", "", "1,rows", "row", "1.5,gain", "0,offset"}},
    };
    for (const auto& c : cases) {
        ReaderRun run;
        run.NumSensors = c.sensors;
        run.Read(c.read, c.lines);
        const std::string what = c.lines.front() + " ... " + c.lines.back();
        const char* section = c.key == "NumberOfDeflectionSensors" ? "Device Configuration" : "Device Calibration";
        if (!c.key.empty()) run.ExpectValues({{section, c.key, c.value}}, what);
        EXPECT_EQ(run.NumSensors, c.sensorsAfter) << what;
        ExpectWarnings(run.Warnings, c.warned, what);
    }
}

TEST(JilsConfigRead, NumbersThatAreNotEndTheReadingAtTheirLine)
{
    const std::tuple<FileType, Lines, int> cases[] = {
        {FileType::JilsPar, {kCount, ",7", "", kGains, "1,2"}, 5},  // no sensor count for the gains
        {FileType::JilsPar, {kCount, "seven", kGains, "1,2"}, 4},
        {FileType::JilsPar, {kCount, "7", kGains, std::string(41, ',') + "1"}, 4},
        {FileType::JilsCfg, {"seven", "1"}, 1},
        {FileType::JilsCfg, {"40000"}, 1},
        {FileType::JilsCfg, {"1", "", "", "n/a", "", "1"}, 4},
    };
    for (const auto& [read, lines, line] : cases)
        EXPECT_EQ(ReaderRun().Failure(read, lines).Line(), line) << lines.front() << " ... " << lines.back();
}

}  // namespace
}  // namespace vantrel::test
