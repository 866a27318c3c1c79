// convert, merge and batch telling types from the content, the warning when nothing was read,
// --strict, --quiet, --output-dir and standard input; and the progress line.

#include <gtest/gtest.h>

#include <sstream>

#include "cli/Progress.h"
#include "support/JilsTimeHistory.h"
#include "support/TestSupport.h"

namespace vantrel::test {
namespace {

using DetectingCommands = ProgramTest;

TEST_F(DetectingCommands, ReadAsTheContentSaysAndWarnWhenNothingWasRead)
{
    WriteBytes(dir / "settings.bag", "[Settings]\r\nFileType = 1\r\n");  // the default type: Dynatest F25
    const std::string kuab = ReadBytes(kExamples / "kuab" / "small.FWD");
    fs::create_directory(dir / "runs");
    WriteBytes(dir / "k.FWD", kuab);
    WriteBytes(dir / "k.F25", kuab);
    WriteBytes(dir / "fvo.INI", ReadBytes(kExamples / "kuab-ini" / "small.INI"));
    WriteBytes(dir / "runs" / "a.F25", ReadBytes(kExamples / "f25" / "small.F25"));
    WriteBytes(dir / "runs" / "k.F25", kuab);
    WriteBytes(dir / "none.txt", "no type\r\n");
    WriteBytes(dir / "empty.F25", "");
    WriteBytes(dir / "blank.DDX", ReadBytes(kExamples / "pddx" / "blank.DDX"));
    WriteBytes(dir / "bad.F25", CrLf({"5301,0", "5301,1,x,x,x,5.0,x,x,L,y,m,d,8,0"}));
    WriteBytes(dir / "run.THY", JilsTimeHistory(3, 40));
    const std::string history = "vantrel: run.THY: a JILS time history, not readable on its own";
    const std::string badLine = "vantrel: bad.F25:2: warning: \"y\" is not a number; the rest of the line was skipped";
    const std::string looksF25 = "vantrel: k.FWD: warning: nothing was read as f25 (it looks like kuab)";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;  // what standard error starts with; empty: it says nothing
        std::string written = "", holds = "";  // a failed run must not have written it
        std::string input = "/dev/null";
    } cases[] = {
        {{"convert", "k.FWD"}, 0, "", "k.DDX", "[Test Location 2]"},
        {{"convert", "-t", "auto", "--output-dir", "out", "k.F25"}, 0, "", "out/k.DDX", "DropData_2 = 50.3"},
        {{"convert", "-o", "stdin.DDX", "-"}, 0, "", "stdin.DDX", "FileName = -", "k.FWD"},
        {{"convert", "-t", "f25", "k.FWD", "-o", "f.DDX"}, 0, looksF25 + "\n", "f.DDX", "NumberOfTestLocations = 0"},
        {{"k.FWD,1"}, 0, looksF25 + "\n", "kcvt.DDX", "NumberOfTestLocations = 0"},
        {{"--quiet", "convert", "-t", "f25", "k.FWD", "-o", "q.DDX"}, 0, "", "q.DDX", "NumberOfTestLocations = 0"},
        {{"convert", "--strict", "-t", "f25", "k.FWD", "-o", "s.DDX"}, 1,
         looksF25 + "; with --strict nothing is written", "s.DDX"},
        {{"convert", "bad.F25"}, 0, badLine + "\n", "bad.DDX", "[Test Location 1]"},
        {{"convert", "--strict", "bad.F25", "-o", "bs.DDX"}, 1, badLine + "; with --strict nothing is written",
         "bs.DDX"},
        {{"convert", "none.txt"}, 0, "vantrel: none.txt: warning: nothing was read as f25\n", "none.DDX", "[Units]"},
        {{"convert", "empty.F25"}, 0, "vantrel: empty.F25: warning: nothing was read as f25: the file is empty"},
        // A blank PDDX document is a template read whole; text that is no PDDX read as PDDX is not.
        {{"convert", "-t", "pddx", "blank.DDX", "-o", "b.DDX"}, 0, "", "b.DDX", "[Units]"},
        {{"convert", "-t", "pddx", "none.txt", "-o", "np.DDX"}, 0, "vantrel: none.txt:1: warning: not a [section] header nor a key = value line; ignored\nvantrel: none.txt: warning: nothing was read as pddx\n", "np.DDX", "[Units]"},
        // A time history is known, and refused: read as data it would be a location per sample.
        {{"convert", "run.THY"}, 1, history + "\n", "run.DDX"},
        {{"convert", "-t", "jils-dat", "run.THY", "-o", "t.DDX"}, 1, history + "; read as JILS DAT", "t.DDX"},
        {{"convert", "-t", "auto", "none.txt"}, 1, "vantrel: none.txt: its content matches no file type"},
        {{"convert", "-"}, 2, "vantrel: standard input (-) has no name"},
        {{"convert", "--output-dir", "out", "-o", "x.DDX", "k.FWD"}, 2,
         "vantrel: -o and --output-dir cannot go together", "x.DDX"},
        {{"merge", "-o", "m.DDX", "k.FWD", "fvo.INI"}, 0, "", "m.DDX", "DeviceDesignationName = KUAB FWD\r\n"},
        {{"merge", "-o", "m2.DDX", "-t", "auto", "k.FWD", "none.txt"}, 1, "vantrel: none.txt: its content matches no",
         "m2.DDX"},
        {{"batch", "-t", "auto", "--output-dir", "out", "runs/a.F25"}, 0, "", "out/kcvt.DDX", "DropData_2 = 50.3"},
    };
    for (const auto& c : cases) {
        const RunResult run = Run(c.args, "", c.input);
        EXPECT_EQ(run.status, c.status) << c.args[0] << c.args[1] << run.err;
        EXPECT_TRUE(c.err.empty() ? run.err.empty() : run.err.starts_with(c.err)) << run.err;
        EXPECT_TRUE(c.written.empty() || (c.status == 0 ? Holds(c.written, c.holds) : !fs::exists(dir / c.written)))
            << c.written;
    }
    EXPECT_TRUE(Holds("out/acvt.DDX", "SoftwareVersion = 25.1.2"));  // the other file of the batch, an F25
    // A reader that takes something from a file that clearly is of another type says so.
    const RunResult wrongType = Run({"convert", "-t", "jils-cfg", "runs/a.F25", "-o", "j.DDX"});
    EXPECT_NE(wrongType.err.find("runs/a.F25: warning: read as jils-cfg, but it looks like f25\n"), std::string::npos)
        << wrongType.err;
    // Standard input read whole is seen whole: its last line counts even without a line end.
    WriteBytes(dir / "two.INI", "[rack]\r\n[sensors]");
    EXPECT_EQ(Run({"detect", "-"}, "", "two.INI").out, "-: kuab-ini\n");
}

TEST(ProgressLine, ShowsAfterASecondAndIsWipedBeforeMessages)
{
    std::ostringstream out;
    auto now = ProgressLine::Clock::time_point();
    ProgressLine line(out, true, [&] { return now; });
    line.Files(3);
    line.Read(999);  // the most bytes still counted one by one
    EXPECT_EQ(out.str(), "");  // a short run stays quiet
    now += std::chrono::milliseconds(1000);
    line.FileDone();
    EXPECT_EQ(out.str(), "\rvantrel: 1 of 3 files, 999 bytes read");
    now += std::chrono::milliseconds(100);
    line.Read(99'100);
    EXPECT_EQ(line.Text(), "1 of 3 files, 100.1 kB read");
    line.Read(900'000);
    EXPECT_EQ(line.Text(), "1 of 3 files, 1.0 MB read");
    EXPECT_EQ(out.str(), "\rvantrel: 1 of 3 files, 999 bytes read");  // at most five times a second
    now += std::chrono::milliseconds(100);
    line.FileDone();
    line.Wipe();
    // Blanks over the rest of the longer line before, then the wipe.
    EXPECT_EQ(out.str().substr(38), "\rvantrel: 2 of 3 files, 1.0 MB read   \r" + std::string(34, ' ') + "\r");
    ProgressLine hidden(out, false, [&] { return now + std::chrono::hours(1); });
    hidden.Files(1);
    hidden.Read(1);
    EXPECT_EQ(hidden.Text(), "0 of 1 file, 1 byte read");
    EXPECT_EQ(out.str().size(), 112u);
}

}  // namespace
}  // namespace vantrel::test
