// A survey larger than any 16-bit count: 100,000 stations of an F25 file converted, checked and
// exported whole, and the document read back with every location.

#include <gtest/gtest.h>

#include <string>

#include "support/TestSupport.h"

namespace vantrel::test {
namespace {

using LargeSurvey = ProgramTest;

TEST_F(LargeSurvey, AHundredThousandStationsConvertCheckAndExportWhole)
{
    constexpr int kStations = 100000;
    // The last station holds two drops, so that drops are counted past the locations too.
    WriteBytes(dir / "big.F25", F25Survey(kStations) + "2,50.2,301,201,101\r\n");

    RunResult run = Run({"convert", "big.F25", "-o", "big.DDX"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string ddx = ReadBytes(dir / "big.DDX");
    EXPECT_EQ(Count(ddx, "[Test Location "), static_cast<std::size_t>(kStations));
    EXPECT_NE(ddx.find("NumberOfTestLocations = 100000\r\n"), std::string::npos);
    EXPECT_NE(ddx.find("[Test Location 100000]\r\nTestLocation = 100000, 0, 0\r\n"), std::string::npos);
    EXPECT_NE(ddx.find("DropData_2 = 50.2, 301, 201, 101\r\n"), std::string::npos);

    // Read back, it is the same document; check finds no counter at odds with what it holds (its
    // stations share one test time, kept to the minute, and name no sensor: notes, no error).
    run = Run({"convert", "big.DDX", "-o", "again.DDX"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(dir / "again.DDX"), ddx);
    run = Run({"check", "--fail-on", "error", "big.DDX"});
    EXPECT_EQ(run.status, 0) << run.out.substr(0, 1000);
    EXPECT_EQ(run.out.find("NumberOf"), std::string::npos) << run.out.substr(0, 1000);
    EXPECT_EQ(Count(run.out, "V134 note"), static_cast<std::size_t>(kStations) - 1);
    run = Run({"export", "big.DDX", "-o", "big.csv"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Count(ReadBytes(dir / "big.csv"), "\n"), static_cast<std::size_t>(kStations) + 2);  // a header and a row a drop
}

}  // namespace
}  // namespace vantrel
