// Telling a file's type from its content: every bundled example with each line-end style, files
// of no type, and the edges of each sniffer.

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "import/FileFormats.h"
#include "support/JilsTimeHistory.h"
#include "support/TestSupport.h"

namespace vantrel::test {
namespace {

std::string WithLineEnds(std::string text, const std::string& end)
{
    text = ReplaceAll(ReplaceAll(text, "\r\n", "\n"), "\r", "\n");
    return ReplaceAll(text, "\n", end);
}

using Detect = ProgramTest;

TEST_F(Detect, EveryExampleIsKnownWhateverItsLineEnds)
{
    // The type of each input: its folder's, the merge lists' for merge/, pddx for each output.
    std::map<fs::path, std::string> types;
    for (const auto& folder : fs::directory_iterator(kExamples))
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            const std::string name = entry.path().filename().string(), type = folder.path().filename().string();
            if (name.ends_with(".expected.DDX")) types[entry.path()] = "pddx";
            else if (type != "merge" && name != "Config.bag") types[entry.path()] = type;
            std::ifstream list(entry.path());
            for (std::string listed, path; type == "merge" && name.ends_with(".merge") && list >> listed >> path;)
                if (path.starts_with("merge/")) types[kExamples / path] = listed;
        }
    std::vector<std::string> args{"detect"};
    std::string want;
    for (const auto& [input, type] : types)
        for (const std::string end : {"\r", "\r\n", "\n"}) {
            const std::string copy = std::to_string(args.size()) + "-" + input.filename().string();
            WriteBytes(dir / copy, WithLineEnds(ReadBytes(input), end));
            args.push_back(copy);
            want += copy + ": " + type + "\n";
        }
    EXPECT_GT(types.size(), 50u);
    const RunResult run = Run(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, want);

    // Files of no type: a settings file (INI, but no PDDX section), a merge list, text, nothing,
    // binary bytes, counts that do not fit a JILS CFG file.
    WriteBytes(dir / "none.txt", "Calibration notes\r\nThe load cell was checked on Monday.\r\n");
    WriteBytes(dir / "empty.F25", "");
    WriteBytes(dir / "binary.DAT", std::string("\x7f" "ELF\x02\x01\x01\0\0\0\x03\x00>\x00\x01\x00", 16));
    WriteBytes(dir / "short.CFG", "7\r\n1\r\n2\r\n");
    const RunResult none = Run({"detect", (kExamples / "jils-dat" / "Config.bag").string(),
                                (kExamples / "merge" / "kuab-fwd-then-ini.merge").string(), "none.txt", "empty.F25",
                                "binary.DAT", "short.CFG", "missing.F25"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out.substr(none.out.find("none.txt")),
              "none.txt: unknown\nempty.F25: unknown\nbinary.DAT: unknown\nshort.CFG: unknown\n");
    EXPECT_NE(none.err.find("missing.F25: cannot open"), std::string::npos) << none.err;
}

// A DAT file of `count` data lines made from `pattern` (given the line's number twice); with
// `closed` each is a point of its own, closed by the drop mark.
std::string ManyDrops(int count, const char* pattern, bool closed = false)
{
    std::vector<std::string> lines = {"JILS FWD Unit 12", "Date-Time: 6/14/2019 10:02:11", "Sensors: D1 D2"};
    for (int i = 1; i <= count; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, pattern, i, i);
        lines.push_back(line);
        if (closed) lines.push_back("Drop Sequence Completed Time: 10:00");
    }
    return CrLf(lines);
}

// The least each sniffer takes, and what stops it.
TEST(Sniffers, TellTheirFormatFromWhatItFixes)
{
    const std::string history = JilsTimeHistory(2, 60);
    const std::string f20Line1 = "R32-20       990407        252.1", noLayout = "X32-2 " + f20Line1.substr(6) + "\r\n";
    std::string f20Units = noLayout;  // line 22 with the unit digits
    for (int line = 2; line < 22; ++line) f20Units += "x\r\n";
    // A JILS CFG file of n sensors: the count, a name a line, a spare line, no rows, the gain.
    const auto cfg = [](int n) {
        return std::to_string(n) + "\r\n" + ReplaceAll(std::string(n, 's'), "s", "s\r\n") + "\r\n0\r\n1.5\r\n";
    };
    const struct {
        std::string bytes;
        std::string expected;
        bool complete = true;
        std::string name = "x";
    } cases[] = {
        {f20Line1 + "\r\n", "f20"},
        {"R3X-20" + f20Line1.substr(6) + "\r\n", "unknown"},
        {noLayout + "3       8002\r\n", "f20"},
        {f20Units + "11   3\r\n", "f20"},
        {"R32-20       04x407        252.1\r\n", "unknown"},
        {"R32-20       990407        2x2.1\r\n", "unknown"},
        {"KUAB\r\nHSite: North\r\nD  100    1  50.1 210 180\r\n", "kuab"},
        {"KUAB\r\nHSite: North\r\nD  100    1  50.1 210 180\r\nsome\r\nother\r\nmore\r\n", "unknown"},
        {"KUAB\r\nHSite: North\r\nD  100    1  50.1 210 180\r\nHRoad: 9\r\nsome\r\nother\r\n", "kuab"},
        {"KUAB\r\nHSite: North\r\nJStation Drop Load D0\r\n", "kuab"},
        {"5001,1\r\n5010,0\r\n1,2,3\r\n", "f25"},
        {"1,1\r\n2,0\r\n1,2,3\r\n", "unknown"},
        {"5001,1\r\n5010,0\r\n1,2\r\n2,3\r\ntext\r\n", "f25"},  // eight numbered lines in ten are enough
        {"5001,1\r\n5010,0\r\n1,2\r\ntext\r\n", "unknown"},
        // A tie (F25 and JILS CFG alike) goes to the type of the extension, or to none.
        {"7,a\r\n5001,1\r\n5301,1\r\n", "jils-cfg", false, "x.cfg"},
        {"7,a\r\n5001,1\r\n5301,1\r\n", "f25", false, "x.F25"},
        {"7,a\r\n5001,1\r\n5301,1\r\n", "unknown", false, "x.TXT"},
        {"$1\r\nPlate radius [mm]\t150\r\n$2\r\n", "carlbro"},
        {"Plate radius [mm]\t150\r\nChainage [m]\t0\r\n", "unknown"},
        {"$1\r\n$2\r\n$3\r\n", "unknown"},
        {"Geophone nr.\t1\r\nSlope  \t1,05\r\n", "carlbro-ini"},
        {"Geophone nr.\r\nSlope\t1,05\r\n", "unknown"},
        {"JILS\r\nDate-Time: 5/ 3/2005\r\n9.1 10.1 8.2\r\n", "jils-dat"},
        {"JILS\r\nDate-Time: 5/ 3/2005\r\n", "unknown"},  // a keyword without data lines is not enough
        // A time history: a long run of samples whose first number steps on steadily, and the
        // field program's keyword lines; its first bytes are enough.
        {history, "jils-thy"},
        {history.substr(0, kSniffLength), "jils-thy", false},
        {ReplaceAll(history, "Point: 1  Drop: 2\r\n", ""), "jils-thy"},  // the time starts again: a new run
        {JilsTimeHistory(1, 24), "jils-dat"},                             // too short a run for samples
        {JilsTimeHistory(1, 25), "jils-thy"},
        {ReplaceAll(JilsTimeHistory(1, 40), "0.0040 ", "0.0090 "), "jils-dat"},  // a time out of step parts it
        {history.substr(history.find("Point:")), "unknown"},              // samples alone
        {ManyDrops(30, "%d OWP 0.%d 1 9.1 12 9 7", true), "jils-dat"},     // one point after another
        {ManyDrops(30, "%d 1 0.%d 1 9.1 12 9 7", true), "jils-dat"},
        {ManyDrops(30, "9.%d 12.%d 9"), "jils-dat"},                      // loads that vary
        {ManyDrops(30, "9 12.%d 9"), "jils-dat"},                         // loads that stay
        {"# number of sensor channels\r\n7\r\n", "jils-par"},
        {"# Sensor channels EU conversion factor\r\n1.0, 0.9\r\n", "jils-par"},
        {"3\r\n1\r\n\r\n1\r\n2\r\n0\r\n1.02\r\n", "jils-cfg"},
        {"3\r\n1\r\n\r\n1\r\n2\r\n0\r\n", "unknown"},
        {"3\r\n1\r\n\r\n1\r\n2\r\n0\r\n1.0x", "jils-cfg", false},  // the rest may hold the gain
        {cfg(1), "jils-cfg"}, {cfg(40), "jils-cfg"}, {cfg(41), "unknown"},  // 1 to 40 sensors
        // By its structure alone: names on the lines between the counts.
        {"3,channels\r\nD1,A12\r\nD2,chop\r\nD3,B7\r\nspare\r\n1,rows\r\nrow\r\n1.02,gain\r\n", "jils-cfg"},
        {"3,channels\r\nD1\r\nD2\r\nD3\r\nspare\r\nrows\r\nrow\r\n1.02\r\n", "unknown"},
        {"41\r\n" + std::string(50, '1') + "\r\n", "unknown"},
        {"; KUAB\r\n[rack]\r\nfwdtype=2\r\n[Sensors]\r\n", "kuab-ini"},
        {"[rack]\r\nfwdtype=2\r\n", "unknown"},
        {"\r\n[rack]\r\n[sensors]\r\n", "kuab-ini"},  // an empty line first is no text before the header
        {"[rack]\r\nfwdtype=2\r\n[sensors]\r\nn=1\r\na=1\r\nb=1\r\nc=1\r\nd=1\r\ne=1\r\nstray\r\n", "kuab-ini"},
        {"[rack]\r\n[sensors]\r\na=1\r\nb=1\r\nc=1\r\nd=1\r\nstray\r\n", "unknown"},  // nine lines in ten
        {"[Units]\r\nLoadUnits = kilo-Newton\r\n[Test Location 1]\r\n", "pddx"},
        {"[Settings]\r\nFileType = 6\r\n", "unknown"},
        // Several of the template's section names make PDDX, whatever else the text holds.
        {"note\r\n[Units]\r\n[Deflection Data]\r\n", "pddx"},
        {"; by hand\r\n[Units]\r\nLoadUnits = kN\r\nnot a key\r\nnor this\r\n[test location 1]\r\n", "pddx"},
        {"note\r\n[Units]\r\nLoadUnits = kN\r\n[Sensors]\r\n", "unknown"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortNameOf(DetectFormat(c.bytes, c.name, c.complete).Type), c.expected) << c.bytes;

    // What the open dialog asks about: content that is recognised, as another type, and does not
    // look enough like the chosen one.
    const std::string kuab = "KUAB\r\nHSite: North\r\nD  100    1  50.1 210 180\r\n", tie = "7,a\r\n5001,1\r\n5301,1\r\n";
    EXPECT_TRUE(DetectFormat(kuab, "x.F25", true).ClearlyOther(FileType::DynatestF25));
    EXPECT_FALSE(DetectFormat(kuab, "x.F25", true).ClearlyOther(FileType::KuabFwd));
    EXPECT_FALSE(DetectFormat("no type", "x.F25", true).ClearlyOther(FileType::DynatestF25));
    EXPECT_FALSE(DetectFormat(tie, "x.cfg", false).ClearlyOther(FileType::DynatestF25));
}

}  // namespace
}  // namespace vantrel::test
