// Each file read into a new document gives the same bytes whatever the same run read before it,
// in convert with several files and in batch; only a merge carries what one file says of the
// device over to the next. And no reading changes a setting.

#include <gtest/gtest.h>

#include "base/Latin1.h"
#include "support/TestSupport.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;
const fs::path kExamples = VANTREL_EXAMPLES;
using IndependentReadings = ProgramTest;

TEST_F(IndependentReadings, AFileReadsTheSameWhateverWasReadBeforeIt)
{
    WriteBytes(dir / "settings.bag", ReadBytes(kExamples / "jils-dat" / "Config.bag"));  // 7 JILS sensors
    for (const char* name : {"kuab/small.FWD", "kuab/us.FWD", "jils-dat/short.DAT"})
        fs::copy_file(kExamples / name, dir / fs::path(name).filename());
    fs::create_directory(dir / "alone");
    // Each pair: the file converted alone, then after another file of the same run.
    const struct {
        std::vector<std::string> together;
        std::string file, output;
    } cases[] = {
        {{"small.FWD", "us.FWD"}, "us.FWD", "us.DDX"},
        {{"us.FWD", "short.DAT"}, "short.DAT", "short.DDX"},
    };
    for (const auto& c : cases) {
        RunResult run = Run({"convert", "--output-dir", "alone", c.file});
        ASSERT_EQ(run.status, 0) << run.err;
        std::vector<std::string> args{"convert"};
        args.insert(args.end(), c.together.begin(), c.together.end());
        run = Run(args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(ReadBytes(dir / c.output), ReadBytes(dir / "alone" / c.output)) << c.together.front();
    }
    // A batch reads each file alone too.
    fs::create_directory(dir / "runs");
    for (const char* name : {"small.FWD", "us.FWD"}) fs::copy_file(dir / name, dir / "runs" / name);
    ASSERT_EQ(Run({"batch", "-t", "kuab", "runs/small.FWD"}).status, 0);
    EXPECT_EQ(ReplaceAll(ReadBytes(dir / "runs" / "uscvt.DDX"), "runs/", ""), ReadBytes(dir / "alone" / "us.DDX"));

    // The unattended run saves the settings: the sensor count the JILS file gives is not among them.
    WriteBytes(dir / "settings.bag", ReplaceAll(ReadBytes(dir / "settings.bag"), "NumSensors = 7", "NumSensors = 6"));
    ASSERT_EQ(Run({"short.DAT,6"}).status, 0);
    EXPECT_TRUE(Holds("settings.bag", "NumSensors = 6\r\n")) << ReadBytes(dir / "settings.bag");
}

}  // namespace
}  // namespace vantrel::test
