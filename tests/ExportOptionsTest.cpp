// export's options on documents written here (tests/data/export-options), against tables whose
// numbers were worked out by hand.

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace vantrel::test {
namespace {

class ExportOptions : public ProgramTest {
protected:
    void SetUp() override
    {
        for (const auto& entry : fs::directory_iterator(fs::path(VANTREL_TEST_DATA) / "export-options"))
            fs::copy_file(entry.path(), dir / entry.path().filename());
    }
};

// i1.DDX: kN, micron, plate 150 mm, sensors at 0, 200, 310, 600, 890 mm: D1, D3, D4, D5 taken.
//   drop 1: SCI = 400 - 250 = 150, BDI = 250 - 150 = 100, BCI = 150 - 100 = 50,
//           AREA = 6 (400 + 2*250 + 2*150 + 100) / 400 = 6 * 1300 / 400 = 19.5,
//           sigma = 50 / (3.14159 * 0.0225) = 707.355 kPa, E0 = 2 (1 - 0.1225) * 707.355 * 150 / 400 = 465.528
//   drop 2: 200 - 100 = 100, 100 - 60 = 40, 60 - 20 = 40, 6 * 540 / 200 = 16.2,
//           sigma = 40 / 0.0706858 = 565.884, E0 = 1.755 * 565.884 * 150 / 200 = 744.845
//   drop 3: D0 = 0 leaves AREA and E0 empty.
// i2.DDX: psi, mil, inch; no sensor near 900 mm. a = 5.91 * 25.4 = 150.114 mm, D0 = 20 * 25.4 = 508 um,
//   sigma = 80 * 6.89476 = 551.581 kPa, E0 = 1.755 * 551.581 * 150.114 / 508 = 286.051; SCI 8, BDI 6.
// --normalise 40: i1 drop 1 times 40 / 50 = 0.8 (400 -> 320 ...; AREA 6 * 1040 / 320 = 19.5 again),
//   drop 3 times 40 / 30 (zeros stay zeros); i2 carries 551.581 kPa * 3.14159 * 0.150114^2 m^2 = 39.0482 kN,
//   so times 1.024374: 20 -> 20.4875, 12 -> 12.2925, 6 -> 6.14625, SCI 8 * 1.024374 = 8.195. E0 is the same.
// --histories: h.DDX location 1 at 2000 Hz of "Deflection Data": sample 2 at 1 / 2000 = 0.0005 s,
//   sample 3 at 2 / 2000 = 0.001 s; location 2 at its own 500 Hz: sample 2 at 1 / 500 = 0.002 s.
//   h2.DDX gives no frequency: times empty.
// --format geojson: g.DDX's locations 1 and 4 have fixes; 2 is at 0, 0 (no fix), 3 at latitude 95,
//   5 has none. Location 1: peak load max(49.9, 50.2, 48) = 50.2, peak D1 max(612, 615, 620) = 620.
TEST_F(ExportOptions, EachOptionWritesItsTable)
{
    const struct {
        std::vector<std::string> args;
        std::string out, err;  // the files holding what standard output and error must be
    } cases[] = {
        {{"export", "--indices", "i1.DDX", "i2.DDX"}, "indices.csv", "indices.err"},
        {{"export", "--normalise", "40", "--indices", "i1.DDX", "i2.DDX"}, "normalised.csv", "indices.err"},
        {{"export", "--histories", "h.DDX", "h2.DDX", "i2.DDX"}, "histories.csv", "histories.err"},
        {{"export", "--format", "geojson", "g.DDX", "i2.DDX"}, "map.geojson", "map.err"},
    };
    for (const auto& c : cases) {
        const RunResult run = Run(c.args);
        EXPECT_EQ(run.status, 0) << c.out << ": " << run.err;
        EXPECT_EQ(run.out, ReadBytes(dir / c.out)) << c.out;
        EXPECT_EQ(run.err, ReadBytes(dir / c.err)) << c.out;
    }
}

// Dx is the sensor x mm in front of the plate, whatever the order of the list; one behind it
// (a negative offset) never stands for it. Each file: 50 kN on a 150 mm plate, and the sensors
// at 0, 300, 600, 900 mm read 400, 250, 150, 100 micron, those behind it 90 (-300) and 110 (-200):
//   SCI = 400 - 250 = 150, BDI = 250 - 150 = 100, BCI = 150 - 100 = 50,
//   AREA = 6 (400 + 2*250 + 2*150 + 100) / 400 = 19.5, E0 = 465.528 as for i1.DDX's drop 1.
// Taken from -300 mm, SCI would be 400 - 90 = 310.
TEST_F(ExportOptions, IndicesTakeTheSensorsInFrontOfThePlateWhateverTheOrder)
{
    const std::string all = ",150,100,50,19.5,465.528,";
    const struct {
        std::string offsets, drop, indices, note;
    } cases[] = {
        {"-300, -200, 0, 200, 300, 600, 900", "50, 90, 110, 400, 300, 250, 150, 100", all,
         "D0 = D3 (0 mm), D300 = D5 (300 mm), D600 = D6 (600 mm) and D900 = D7 (900 mm)"},
        {"600, 0, 300, -300, 900, 200, -200", "50, 150, 400, 250, 90, 100, 300, 110", all,
         "D0 = D2 (0 mm), D300 = D3 (300 mm), D600 = D1 (600 mm) and D900 = D5 (900 mm)"},
        {"0, -300, 300, 600, 900", "50, 400, 90, 250, 150, 100", all, "D300 = D3 (300 mm)"},
        {"0, 300, -300, 600, 900", "50, 400, 250, 90, 150, 100", all, "D300 = D2 (300 mm)"},
        // Within the tolerance: of two as near, the one farther out, in either order; D0 behind.
        {"-10, 290, 310, 600, 900", "50, 400, 240, 250, 150, 100", all, "D0 = D1 (-10 mm), D300 = D3 (310 mm)"},
        {"-10, 310, 290, 600, 900", "50, 400, 250, 240, 150, 100", all, "D300 = D2 (310 mm)"},
        // Behind the plate only: E0 = 465.528 from D0 alone.
        {"0, -300, -600, -900", "50, 400, 250, 150, 100", ",,,,,465.528,",
         "D0 = D1 (0 mm); no sensor within 25 mm of +300 mm, +600 mm and +900 mm, so SCI, BDI, BCI and AREA are "
         "empty (behind the plate, and so not used: D2 (-300 mm), D3 (-600 mm) and D4 (-900 mm))"},
    };
    for (const auto& c : cases) {
        WriteBytes(dir / "s.DDX", CrLf({"[Units]", "LoadPlateRadiusUnits = millimeter", "LoadUnits = kilo-Newton",
                                        "DeflectionUnits = micron", "SensorsLocationUnits = millimeter",
                                        "[Device Configuration]", "LoadPlateRadius = 150",
                                        "DeflectionSensorXAxisDistances = " + c.offsets, "[Test Location 1]",
                                        "DropData_1 = " + c.drop}));
        const RunResult run = Run({"export", "--indices", "s.DDX"});
        EXPECT_NE(run.out.find(c.indices + "kilo-Newton,micron\r\n"), std::string::npos) << c.offsets << "\n" << run.out;
        EXPECT_NE(run.err.find(c.note), std::string::npos) << c.offsets << "\n" << run.err;
    }
}

// A viewer's file (viewer.DDX): SensorLocationUnits for SensorsLocationUnits, and an offset of 0
// for the plate before the five sensors' -300, 0, 300, 600, 900 mm; its drop reads as above.
TEST_F(ExportOptions, IndicesOfAViewersFileTakeTheSensorsInFrontOfThePlate)
{
    const RunResult run = Run({"export", "--indices", "viewer.DDX"});
    EXPECT_NE(run.out.find(",50,90,400,250,150,100,150,100,50,19.5,465.528,kilo-Newton,micron\r\n"),
              std::string::npos) << run.out;
    EXPECT_NE(run.err.find("indices take D0 = D2 (0 mm), D300 = D3 (300 mm), D600 = D4 (600 mm) and D900 = D5 "
                           "(900 mm)\n"), std::string::npos) << run.err;
}

TEST_F(ExportOptions, WhatCannotBeComputedIsRefused)
{
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{"export", "--normalise", "0", "i1.DDX"}, 2, "--normalise: \"0\" is not a number from 0.1 to 1000 kN"},
        {{"export", "--normalise", "inf", "i1.DDX"}, 2, "--normalise: \"inf\" is not a number from 0.1"},
        {{"export", "--normalise", "1e308", "i1.DDX"}, 2, "--normalise: \"1e308\" is not a number from 0.1"},
        {{"export", "--normalise", "1e-320", "i1.DDX"}, 2, "--normalise: \"1e-320\" is not a number from 0.1"},
        {{"export", "--indices", "--poisson", "0.6", "i1.DDX"}, 2, "--poisson"},
        {{"export", "--poisson", "0.3", "i1.DDX"}, 2, "--poisson requires --indices"},
        {{"export", "--normalise", "40", "z.DDX"}, 1,
         "z.DDX: Test Location 1, DropData_2: the load \"0\" is not a positive number"},
        {{"export", "-t", "pddx", "--normalise", "40", "i1.DDX", "e.DDX"}, 1,
         "e.DDX: cannot normalise the loads: it gives no LoadUnits"},
        {{"export", "--histories", "--indices", "h.DDX"}, 2, "--histories cannot stand with --indices"},
        {{"export", "--histories", "--format", "geojson", "h.DDX"}, 2, "--histories writes CSV"},
        {{"export", "--format", "geojson", "--normalise", "40", "g.DDX"}, 2,
         "--format geojson cannot stand with --normalise"},
    };
    WriteBytes(dir / "e.DDX", CrLf({"[Test Location 1]", "DropData_1 = 40, 1"}));
    for (const auto& c : cases) {
        const RunResult run = Run(c.args);
        EXPECT_EQ(run.status, c.status) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "") << c.message;
    }
}

}  // namespace
}  // namespace vantrel::test
