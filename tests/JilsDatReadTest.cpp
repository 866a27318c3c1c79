// The JILS DAT reader, where a case file cannot say it: what the next file of a run starts afresh
// with and what stays. Its rules are cases in data/readers/jils-dat.cases.

#include <gtest/gtest.h>

#include "import/FileFormats.h"
#include "support/ReaderTest.h"

namespace vantrel::test {
namespace {

std::vector<std::string> Dat(std::vector<std::string> lines)
{
    lines.insert(lines.begin(), "FWD");
    return lines;
}

TEST(JilsDatRead, EachFileStartsAfreshButTheSensorCountStays)
{
    ReaderRun run;
    run.NumSensors = 7;
    run.LoadPlateRadius = "5.91", run.SensorXAxis = "0, 8", run.SensorYAxis = "0,  0";
    run.Read(FileType::JilsDat,
             Dat({"Sensors: A B", "Temp: 70", "1 L 0.1 1 9 1 2 60", "Drop Sequence Completed Time: 10:00"}));
    // Into the same document: no "Temp:", a "Drop" line before the data, point 1 again.
    run.Read(FileType::JilsDat, Dat({"Drop Sequence Completed Time: 11:00", "1 L 0.2 1 5 6 7 61"}));
    run.ExpectValues({{"Device Configuration", "LoadPlateRadius", "5.91"},
                      {"Device Configuration", "DeflectionSensorXAxisDistances", "0, 8"},
                      {"Device Configuration", "DeflectionSensorYAxisDistances", "0,  0"}, {"Test Location 1", "TestTime", "10:00:00"},
                      {"Test Location 1", "NumberOfDrops", "1"}, {"", "DropData_1", "5000, 6, 7"}, {"", "TestTime", ""},
                      {"", "TestTemperatures", ", 61"}, {"Operations Information", "EndTime", "11:00:00"}});
    EXPECT_EQ(run.NumSensors, 2);
}

}  // namespace
}  // namespace vantrel::test
