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

// i1.DDX: kN, micron, plate 150 mm, sensors at 0, 200, 310, 600, -890 mm: D1, D3, D4, D5 taken.
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

TEST_F(ExportOptions, WhatCannotBeComputedIsRefused)
{
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{"export", "--normalise", "0", "i1.DDX"}, 2, "\"0\" is not a number above 0"},
        {{"export", "--normalise", "inf", "i1.DDX"}, 2, "\"inf\" is not a number above 0"},
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
