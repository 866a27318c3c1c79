// Telling a file's type from its content: every bundled example with each line-end style, files
// of no type, and the edges of each sniffer.

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "import/FileFormats.h"
#include "support/TestSupport.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;
const fs::path kExamples = VANTREL_EXAMPLES;

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
    WriteBytes(dir / "binary.DAT", std::string("\x7f" "ELF\x02\x01\x01\0\0\0\x03\x00>\x00", 16));
    WriteBytes(dir / "short.CFG", "7\r\n1\r\n2\r\n");
    const RunResult none = Run({"detect", (kExamples / "jils-dat" / "Config.bag").string(),
                                (kExamples / "merge" / "kuab-fwd-then-ini.merge").string(), "none.txt", "empty.F25",
                                "binary.DAT", "short.CFG", "missing.F25"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out.substr(none.out.find("none.txt")),
              "none.txt: unknown\nempty.F25: unknown\nbinary.DAT: unknown\nshort.CFG: unknown\n");
    EXPECT_NE(none.err.find("missing.F25: cannot open"), std::string::npos) << none.err;
}

// The least each sniffer takes, and what stops it.
TEST(Sniffers, TellTheirFormatFromWhatItFixes)
{
    const std::string f20Line1 = "R32-20       040407        252.1";
    const struct {
        std::string bytes;
        std::string expected;
        bool complete = true;
    } cases[] = {
        {f20Line1 + "\r\n3       8002\r\n", "f20"},
        {"X" + f20Line1.substr(1, 4) + " " + f20Line1.substr(6) + "\r\n3\r\n", "f20"},  // no layout name
        {"R32-20       04x407        252.1\r\n", "unknown"},
        {"KUAB\r\nD  100    1  50.1 210 180\r\n", "kuab"},
        {"KUAB\r\nD  100    1  50.1 210 180\r\nsome\r\nother\r\n", "unknown"},
        {"KUAB\r\nHSite: North\r\nJStation Drop Load D0\r\n", "kuab"},
        {"5001,1\r\n5010,0\r\n1,2,3\r\n", "f25"},
        {"1,1\r\n2,0\r\n1,2,3\r\n", "unknown"},
        {"5001,1\r\n5010,0\r\ntext\r\nmore text\r\n", "unknown"},
        {"$1\r\nPlate radius [mm]\t150\r\n$2\r\n", "carlbro"},
        {"Plate radius [mm]\t150\r\nChainage [m]\t0\r\n", "unknown"},
        {"Geophone nr.\t1\r\nSlope  \t1,05\r\n", "carlbro-ini"},
        {"Geophone nr.\r\nSlope\t1,05\r\n", "unknown"},
        {"JILS\r\nDate-Time: 5/ 3/2005\r\nSensors: D1 D2\r\n", "jils-dat"},
        {"# number of sensor channels\r\n7\r\n", "jils-par"},
        {"3\r\n1\r\n\r\n1\r\n2\r\n0\r\n1.02\r\n", "jils-cfg"},
        {"3\r\n1\r\n\r\n1\r\n2\r\n0\r\n", "unknown"},
        {"3\r\n1\r\n\r\n1\r\n2\r\n0\r\n", "jils-cfg", false},  // the rest may hold the gain
        {"41\r\n" + std::string(50, '1') + "\r\n", "unknown"},
        {"; KUAB\r\n[rack]\r\nfwdtype=2\r\n[Sensors]\r\n", "kuab-ini"},
        {"[rack]\r\nfwdtype=2\r\n", "unknown"},
        {"[Units]\r\nLoadUnits = kilo-Newton\r\n", "pddx"},
        {"[Settings]\r\nFileType = 6\r\n", "unknown"},
        {"note\r\n[Units]\r\nLoadUnits = kilo-Newton\r\n", "unknown"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortNameOf(DetectFormat(c.bytes, "x", c.complete).Code), c.expected) << c.bytes;
}

}  // namespace
}  // namespace vantrel::test
