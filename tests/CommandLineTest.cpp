// The built program run end to end on files in a fresh folder: what it writes, what it says, its
// exit status, and what it leaves behind when something goes wrong.

#include <gtest/gtest.h>

#include <ctime>

#include "support/TestSupport.h"

namespace vantrel::test {
namespace {

using CommandLine = ProgramTest;

TEST_F(CommandLine, EachCommandWritesWhereItSaysAndListsIt)
{
    WriteBytes(dir / "survey.v1.txt", kSurvey);
    fs::create_directory(dir / "runs");
    for (const char* name : {"A.DDX", "b.ddx"}) WriteBytes(dir / "runs" / name, kSurvey);
    const struct {
        std::vector<std::string> args;
        std::string listed;
        std::string written, holds;
    } cases[] = {
        {{"convert", "-t", "pddx", "survey.v1.txt"}, "survey.v1.txt -> survey.v1.DDX\n", "survey.v1.DDX",
         "[Test Location 1]\r\nNumberOfDrops = 2\r\nDropData_1 = 40, 1, 2\r\n"},
        {{"blank", "-o", "empty.DDX"}, "blank template -> empty.DDX\n", "empty.DDX", "NumberOfTestLocations = 0\r\n"},
        {{"merge", "-o", "both.DDX", "-t", "pddx", "survey.v1.txt", "survey.v1.txt"},
         "merged 2 files -> both.DDX\n", "both.DDX", "[Test Location 2]\r\nNumberOfDrops = 2\r\nDropData_1 = 40, 1, 2\r\n"},
        {{"batch", "-t", "0", "runs/A.DDX"}, "runs/A.DDX -> runs/Acvt.DDX\n", "runs/bcvt.DDX", "DropData_2 = 50, 3, 4\r\n"},
        {{"--set", "FileType=0", "convert", "survey.v1.txt", "-o", "set.DDX"}, "", "set.DDX", "OperatorName = Field crew"},
    };
    for (const auto& c : cases) {
        const RunResult run = Run(c.args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find(c.listed), std::string::npos) << run.out;
        EXPECT_TRUE(Holds(c.written, c.holds)) << c.written;
    }
    EXPECT_FALSE(Holds("survey.v1.DDX", "DeviceLoadType"));  // absent from the input: cleared
    EXPECT_FALSE(fs::exists(dir / "settings.bag"));  // only PATH,CODE writes the settings
    EXPECT_EQ(Run({"blank", "-o", "-"}).out, ReadBytes(dir / "empty.DDX"));
}

// A KUAB FVO.INI is dated by its file; from standard input, which has no date, by the day it is
// read, and the user is told.
TEST_F(CommandLine, AnInputWithoutADateOfItsOwnIsDatedTheDayItIsRead)
{
    const auto today = [] {
        const std::time_t now = std::time(nullptr);
        char text[16];
        std::strftime(text, sizeof text, "%d-%b-%Y", std::localtime(&now));
        return "EndDate = " + std::string(text) + "\r\n";
    };
    const std::string ini = (kExamples / "kuab-ini" / "small.INI").string();
    const std::string before = today();  // a run across midnight may take either day
    const RunResult run = Run({"convert", "-t", "kuab-ini", "-", "-o", "ini.DDX"}, "", ini);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("-: warning: the input has no modification date of its own; EndDate is the day it was read"),
              std::string::npos) << run.err;
    EXPECT_TRUE(Holds("ini.DDX", before) || Holds("ini.DDX", today())) << before;
}

TEST_F(CommandLine, PathCodeConvertsBesideTheInputAndSavesTheType)
{
    fs::create_directory(dir / "a.b");
    WriteBytes(dir / "a.b" / "file", kSurvey);
    WriteBytes(dir / "road.dat", kSurvey);
    EXPECT_EQ(Run({"a.b/file,0"}).status, 0);
    EXPECT_TRUE(Holds("a.b/filecvt.DDX", "OperatorName = Field crew"));  // beside the input, a dot of the folder kept
    EXPECT_TRUE(Holds("settings.bag", "FileType = 0\r\n"));
    EXPECT_EQ(Run({"road.dat, 0 "}).status, 0);
    EXPECT_TRUE(fs::exists(dir / "roadcvt.DDX"));

    // Only a job that was accepted keeps its code; a --set is for its run alone.
    for (const char* rejected : {"x,11", "missing.dat,1"}) EXPECT_NE(Run({rejected}).status, 0) << rejected;
    EXPECT_EQ(Run({"--set", "NumSensors=9", "--set", "InputPath=/elsewhere", "road.dat,0"}).status, 0);
    EXPECT_TRUE(Holds("settings.bag", "FileType = 0\r\n"));
    EXPECT_FALSE(Holds("settings.bag", "elsewhere"));
    EXPECT_EQ(Run({"--set", "InputPath=a\r\nFileType = 3", "road.dat,0"}).status, 2);
    EXPECT_FALSE(Holds("settings.bag", "FileType = 3"));
    fs::remove(dir / "roadcvt.DDX");
    for (const char* text : {"nocomma.fwd", "x.fwd,eight", "x.fwd,", "x.fwd,1.5", "road.dat,5", "road.dat,11"})
        EXPECT_EQ(Run({text}).status, 2) << text;
    EXPECT_FALSE(fs::exists(dir / "roadcvt.DDX"));
}

TEST_F(CommandLine, BadArgumentsAndInputsChangeNoFile)
{
    WriteBytes(dir / "a.DDX", kSurvey);
    WriteBytes(dir / "b.DDX", kSurvey);
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{"convert", "-t", "pddx", "-o", "out.DDX", "missing.txt"}, 1, "vantrel: missing.txt: cannot open: No such file or directory\n"},
        {{"batch", "nothing.FWD"}, 1, "nothing.FWD: cannot open"},
        {{"merge", "-o", "m.DDX", "a.DDX", "gone.DDX"}, 1, "gone.DDX: cannot open"},
        {{"convert", "-t", "pddx", "a.DDX", "-o", "no/such/folder/out.DDX"}, 1, "Unable to create file no/such/folder/out.DDX"},
        {{"convert"}, 2, "files is required"},
        {{"convert", "-t", "word", "a.DDX"}, 2, "unknown file type \"word\" given with -t"},
        {{"frobnicate", "x"}, 2, "\"frobnicate x\" is neither a command (convert, merge, batch, blank, detect"},
        {{",8"}, 2, "\",8\" is not PATH,CODE: no PATH stands before the comma"},
        {{"convert", "-t", "pddx", "-o", "", "a.DDX"}, 2, "--output: an empty name names no file"},
        {{"merge", "a.DDX"}, 2, "--output is required"},
        {{"convert", "-o", "x.DDX", "a.DDX", "b.DDX"}, 2, "-o names the output of one FILE only"},
        {{"--set", "Colour=red", "blank"}, 2, "\"Colour\" is not a setting"},
        {{"--set", "NumSensors", "blank"}, 2, "expected KEY=VALUE"},
        {{"batch", "-t", "pddx", "a.DDX", "b.DDX"}, 2, "batch takes one FILE, whose folder and extension choose the files"},
        {{"convert", "-t", "pddx", "-x.DDX"}, 2, "a file whose name starts with \"-\" goes after \"--\" (vantrel convert -- -x.DDX)"},
        {{"-x.DDX,0"}, 2, "a PATH,CODE whose PATH starts with \"-\" goes after \"--\" (vantrel -- -x.DDX,0)"},
        {{"batch", "-j", "-1", "a.DDX"}, 2, "--jobs: Value -1 not in range 1 to 256\nRun with --help"},  // no hint about names
        {{"export", "--tolerance", "1e400", "--indices", "a.DDX"}, 2, "--tolerance: \"1e400\" is not a number from 0.1 to 1000 mm"},
        {{"check", "--rules", "a.DDX"}, 2, "check --rules lists the rules and checks no FILE, but \"a.DDX\" followed it"},
        {{"--set", "MinFactor=2", "check", "a.DDX"}, 2, "--set: MinFactor 2 is above MaxFactor 1.02"},
        {{"--set", "MaxFactor=0.9", "--set", "MinFactor=0.8", "--set", "ReferenceCalibrationDays=-1", "check", "a.DDX"}, 2,
         "--set: ReferenceCalibrationDays -1 is below 0"},
        {{"help", "frobnicate"}, 2, "there is no command \"frobnicate\""},
    };
    for (const auto& c : cases) {
        const RunResult run = Run(c.args);
        EXPECT_EQ(run.status, c.status) << c.args[0];
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    // Only the settings file, which the PATH,CODE road ("frobnicate x") loads and creates first.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 3);

    WriteBytes(dir / "-x.DDX", kSurvey);
    EXPECT_EQ(Run({"convert", "-t", "pddx", "-o", "dash.DDX", "--", "-x.DDX"}).status, 0);
    EXPECT_TRUE(fs::exists(dir / "dash.DDX"));
}

// Warnings are listed a few of each kind, then counted kind by kind: a rare one is never hidden
// behind a common one, and a count speaks only of its own kind.
TEST_F(CommandLine, WarningsAreListedAFewOfEachKindThenCountedByKind)
{
    std::vector<std::string> lines = {"5001,25.31", "5020,150,0,200,300,N0", "5021,300,0,0,0,N0",
                                      "5301,0,0,0,0,1,0,0,\"L\",21,01,01,10,00"};
    for (int i = 0; i < 30; ++i) lines.push_back("1,50.1,300,200,100," + std::to_string(i));  // lines 5 to 34
    for (int i = 0; i < 7; ++i) lines.push_back("5303,x,N0,N0,N0");                          // 35 to 41
    WriteBytes(dir / "mixed.F25", CrLf(lines));
    const RunResult run = Run({"convert", "mixed.F25"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Count(run.err, "more values than the 3 sensors have deflections"), 5u) << run.err;
    EXPECT_EQ(Count(run.err, "the temperature record holds no reading"), 5u) << run.err;
    EXPECT_NE(run.err.find("vantrel: mixed.F25:35: warning: the temperature record holds no reading"), std::string::npos);
    EXPECT_NE(run.err.find("vantrel: mixed.F25: warning: and 25 more warnings like the one of line 5, not listed\n"
                           "vantrel: mixed.F25: warning: and 2 more warnings like the one of line 35, not listed\n"),
              std::string::npos) << run.err;
}

TEST_F(CommandLine, HelpAndVersionSayWhatThereIs)
{
    const RunResult version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, kVersion + "\n");
    const RunResult help = Run({"help", "convert"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: vantrel convert [OPTIONS] files..."), std::string::npos) << help.out;
    const RunResult main = Run({"--help"});
    for (const char* part : {"--settings FILE", "  5  -            Carl Bro History (.HST, .HIS) (no reader)",
                             "  8  kuab         KUAB FWD", "Exit status: 0", "Examples:", "vantrel [OPTIONS] PATH,CODE\n"})
        EXPECT_NE(main.out.find(part), std::string::npos) << part;
    EXPECT_EQ(main.out.find("PATH,CODE ..."), std::string::npos);
    EXPECT_EQ(Run({}).out, main.out);

    // The built program's folder is its own: the settings beside it, unless --settings says.
    const fs::path program = fs::canonical(VANTREL_BINARY).parent_path();
    EXPECT_EQ(RunVantrel({"--paths"}, dir.Path()).out, "settings file: " + (program / "Config.bag").string() +
                                                           "\nprogram folder: " + program.string() + "\n");
    EXPECT_TRUE(Run({"--paths"}).out.starts_with("settings file: " + (dir / "settings.bag").string() + "\n"));
}

}  // namespace
}  // namespace vantrel::test
