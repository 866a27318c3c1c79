// The files other programs wrote, kept beside the repository in shared/real-world (when that
// folder is there): each converted, and the facts its README lists checked in the output. And
// check, which must judge of every file what convert reads of it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/TestSupport.h"

namespace vantrel::test {
namespace {

const fs::path kRealWorld = kExamples / ".." / ".." / "shared" / "real-world";

struct Facts {
    std::string file;
    int locations, drops;
    int deflections;  // per drop; 0: not checked
    std::string holds = "";  // a line the output holds
};

// The values of the lines that start with `key`.
std::vector<std::string> ValuesOf(const std::string& text, const std::string& key)
{
    std::vector<std::string> values;
    for (std::size_t at = text.find("\r\n" + key); at != std::string::npos; at = text.find("\r\n" + key, at + 2)) {
        const std::size_t from = text.find(" = ", at), to = text.find("\r\n", at + 2);
        values.push_back(from < to ? text.substr(from + 3, to - from - 3) : "");
    }
    return values;
}

using RealWorld = ProgramTest;

TEST_F(RealWorld, EveryFileIsReadWithTheFactsItsReadmeLists)
{
    if (!fs::is_directory(kRealWorld)) GTEST_SKIP() << "no " << kRealWorld;
    const Facts cases[] = {
        // The first station's GPS fix is the 5280 line just above its 5301 line.
        {"basic_PV01.F25", 52, 156, 11, "[Test Location 1]\r\nTestLocation = 0, 0, 0\r\nGPSLocation = 48.97394250, 2.58734083, 1.00\r\n"},
        {"basic_PV01.pdx", 52, 156, 0},
        // Sensor 1 comes as a second 5200 line, its type left out like that of every sensor line.
        {"mr.F25", 40, 200, 10, "SensorSerialNumbers = FG256, FG189, FG201, FG216, FG240, FG244, FG200, FG257, FG220, "
                                "FG233\r\n"},
        {"report.F25", 26, 78, 0},
        {"basic_PV01-sweco.fwd", 52, 0, 0, "EndDate = 12-Apr-2023\r\n"},
        // Its first "Position of Drop" in degrees, minutes and seconds is the F25's first fix.
        {"basic_PV01-sweco.fwd", 52, 0, 0, "[Test Location 1]\r\nTestLocation = 0, 0, 0\r\nGPSLocation = 48.9739425, 2.5873408, 0.0\r\n"},
    };
    for (const Facts& facts : cases) {
        const RunResult run = Run({"convert", (kRealWorld / facts.file).string(), "-o", "out.DDX"});
        ASSERT_EQ(run.status, 0) << facts.file << ": " << run.err;
        const std::string ddx = ReadBytes(dir / "out.DDX");
        EXPECT_EQ(ValuesOf(ddx, "[Test Location ").size(), static_cast<std::size_t>(facts.locations)) << facts.file;
        const std::vector<std::string> drops = ValuesOf(ddx, "DropData_");
        if (facts.drops > 0) {
            EXPECT_EQ(drops.size(), static_cast<std::size_t>(facts.drops)) << facts.file;
        }
        for (std::size_t i = 0; facts.deflections > 0 && i < drops.size(); ++i)
            ASSERT_EQ(std::count(drops[i].begin(), drops[i].end(), ','), facts.deflections) << facts.file << drops[i];
        EXPECT_NE(ddx.find(facts.holds), std::string::npos) << facts.file;
        EXPECT_EQ(ddx.find('\0'), std::string::npos) << facts.file << " holds NUL bytes";
    }
    // The indices take the sensors in front of the plate, though each list starts behind it
    // (-300, -200, 0, 200, 300 ...); the viewer's PDDX file spells SensorsLocationUnits its own way
    // and gives the plate an offset before the sensors'. First drops, D0, D300, D600, D900:
    //   report.F25: 725.9, 441.3, 235.8, 158.5: SCI 284.6, BDI 205.5, BCI 77.3,
    //     AREA = 6 (725.9 + 882.6 + 471.6 + 158.5) / 725.9 = 18.5034;
    //   basic_PV01.pdx: 148.37, 71.83, 55.82, 45.07: SCI 76.54, BDI 16.01, BCI 10.75,
    //     AREA = 6 (148.37 + 143.66 + 111.64 + 45.07) / 148.37 = 18.1468.
    for (const auto& [file, indices] : {std::pair{"report.F25", ",284.6,205.5,77.3,18.5034,"},
                                        std::pair{"basic_PV01.pdx", ",76.54,16.01,10.75,18.1468,"}}) {
        const RunResult indexed = Run({"export", "--indices", (kRealWorld / file).string()});
        EXPECT_NE(indexed.out.find(indices), std::string::npos) << file << "\n" << indexed.out.substr(0, 600);
        EXPECT_NE(indexed.err.find("D300 = D5 (300 mm)"), std::string::npos) << file << "\n" << indexed.err;
    }
    // Its fields run together: refused with a word on why, or read with warnings, never silently.
    const RunResult run = Run({"convert", (kRealWorld / "basic_PV01-dynatest.fwd").string(), "-o", "f20.DDX"});
    EXPECT_NE(run.err, "") << "read without a word";
}

// check of a file finds what check of its conversion finds, the same lines in the same order:
// every example and every real file (one that cannot be read is left out of the comparison).
TEST_F(RealWorld, CheckOfAFileFindsWhatCheckOfItsConversionFinds)
{
    std::vector<fs::path> files;
    for (const fs::path& folder : {kExamples, kRealWorld}) {
        if (!fs::is_directory(folder)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    int compared = 0;
    for (const fs::path& file : files) {
        const RunResult direct = Run({"check", file.string()});
        if (direct.status == 1 || Run({"convert", file.string(), "-o", "out.DDX"}).status != 0) continue;
        const RunResult converted = Run({"check", "out.DDX"});
        EXPECT_EQ(ReplaceAll(converted.out, "out.DDX: ", ""), ReplaceAll(direct.out, file.string() + ": ", ""))
            << file;
        ++compared;
    }
    EXPECT_GT(compared, 30) << "examples read";
}

}  // namespace
}  // namespace vantrel::test
