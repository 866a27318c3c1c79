// The built program run end to end on files in a fresh folder: what it writes, what it says,
// its exit status, and what it leaves behind when something goes wrong.

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

// A PDDX file with one test location of two drops.
const std::string kSurvey = CrLf({
    "[Operations Information]", "OperatorName = Field crew",
    "[Device Configuration]", "NumberOfDeflectionSensors = 7",
    "[Deflection Data]", "NumberOfTestLocations = 1",
    "[Test Location 1]", "NumberOfDrops = 2", "DropData_1 = 40, 1, 2", "DropData_2 = 50, 3, 4",
});

class CommandLine : public ::testing::Test {
protected:
    TempDir dir;
    RunResult Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--settings", (dir / "settings.bag").string()});
        return RunVantrel(args, dir.Path());
    }
    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.Path())) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(CommandLine, BlankWritesTheTemplateToAFileOrStandardOutput)
{
    const RunResult toFile = Run({"blank", "-o", "empty.DDX"});
    EXPECT_EQ(toFile.status, 0) << toFile.err;
    const RunResult toStdout = Run({"blank", "-o", "-"});
    EXPECT_EQ(toStdout.out, ReadBytes(dir / "empty.DDX"));
    EXPECT_TRUE(toStdout.out.starts_with("[Pavement Deflection Data Exchange File]\r\nPDDXVersionNumber = 1.0\r\n"));
    EXPECT_FALSE(fs::exists(dir / "settings.bag"));  // only PATH,CODE writes the settings
}

TEST_F(CommandLine, ConvertWritesBesideTheInputUnderTheReviewName)
{
    WriteBytes(dir / "survey.v1.txt", kSurvey);
    const RunResult run = Run({"convert", "-t", "pddx", "survey.v1.txt"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "survey.v1.txt -> survey.v1.DDX\n");
    const std::string written = ReadBytes(dir / "survey.v1.DDX");
    EXPECT_NE(written.find("[Test Location 1]\r\nNumberOfDrops = 2\r\nDropData_1 = 40, 1, 2\r\n"), std::string::npos);
    EXPECT_EQ(written.find("DeviceLoadType"), std::string::npos);  // absent from the input: cleared
}

TEST_F(CommandLine, ConvertTakesTheSettingsTypeAndRefusesToOverwriteItsInput)
{
    WriteBytes(dir / "a.DDX", kSurvey);
    WriteBytes(dir / "settings.bag", "[Settings]\r\nFileType = 0\r\n");
    const RunResult same = Run({"convert", "a.DDX"});
    EXPECT_EQ(same.status, 2);
    EXPECT_NE(same.err.find("would replace the input"), std::string::npos);
    EXPECT_EQ(ReadBytes(dir / "a.DDX"), kSurvey);
    const RunResult other = Run({"convert", "a.DDX", "-o", "b.DDX"});
    EXPECT_EQ(other.status, 0) << other.err;
    EXPECT_TRUE(fs::exists(dir / "b.DDX"));
}

TEST_F(CommandLine, MergeAppendsLaterFilesAfterTheFirst)
{
    WriteBytes(dir / "one.DDX", kSurvey);
    WriteBytes(dir / "two.DDX", kSurvey);
    const RunResult run = Run({"merge", "-o", "both.DDX", "-t", "pddx", "one.DDX", "two.DDX"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string merged = ReadBytes(dir / "both.DDX");
    EXPECT_NE(merged.find("NumberOfTestLocations = 2\r\n"), std::string::npos);
    EXPECT_NE(merged.find("[Test Location 2]\r\nNumberOfDrops = 2\r\nDropData_1 = 40, 1, 2\r\n"), std::string::npos);
}

TEST_F(CommandLine, MergeAppliesEachTypeToTheFilesAfterIt)
{
    WriteBytes(dir / "one.DDX", kSurvey);
    WriteBytes(dir / "x.bin", "");
    const RunResult run = Run({"merge", "-o", "m.DDX", "-t", "pddx", "one.DDX", "-t", "5", "x.bin"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.starts_with("vantrel: unknown file type 5")) << run.err;
    EXPECT_FALSE(fs::exists(dir / "m.DDX"));
}

TEST_F(CommandLine, BatchConvertsEveryFileWithTheExtensionInItsFolder)
{
    fs::create_directory(dir / "runs");
    for (const char* name : {"A.DDX", "b.ddx", "DDXLIST.DDX"}) WriteBytes(dir / "runs" / name, kSurvey);
    WriteBytes(dir / "runs" / "notes.txt", "");
    const RunResult run = Run({"batch", "-t", "0", "runs/A.DDX"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("runs/A.DDX -> runs/Acvt.DDX\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("runs/b.ddx -> runs/bcvt.DDX\n"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("DDXLIST"), std::string::npos) << run.out;
    EXPECT_NE(ReadBytes(dir / "runs" / "bcvt.DDX").find("DropData_2 = 50, 3, 4\r\n"), std::string::npos);
}

TEST_F(CommandLine, PathCodeConvertsBesideTheInputAndSavesTheType)
{
    fs::create_directory(dir / "a.b");
    WriteBytes(dir / "a.b" / "file", kSurvey);
    const RunResult run = Run({"a.b/file,0"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::exists(dir / "acvt.DDX"));  // cut before the last "." of the whole text
    const std::string settings = ReadBytes(dir / "settings.bag");
    EXPECT_NE(settings.find("FileType = 0\r\n"), std::string::npos);

    WriteBytes(dir / "road.dat", kSurvey);
    EXPECT_EQ(Run({"road.dat, 0 "}).status, 0);
    EXPECT_NE(ReadBytes(dir / "roadcvt.DDX").find("OperatorName = Field crew"), std::string::npos);
}

TEST_F(CommandLine, PathCodeWithAnUnknownTypeSavesSettingsAndWritesNothing)
{
    WriteBytes(dir / "x.fwd", "");
    const RunResult run = Run({"x.fwd,5"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.starts_with("vantrel: unknown file type 5")) << run.err;
    EXPECT_FALSE(fs::exists(dir / "xcvt.DDX"));
    EXPECT_NE(ReadBytes(dir / "settings.bag").find("FileType = 5\r\n"), std::string::npos);
    EXPECT_EQ(Run({"x.fwd,11"}).status, 2);
}

TEST_F(CommandLine, PathCodeRejectsTextsThatAreNotPathAndCode)
{
    for (const char* text : {"nocomma.fwd", "x.fwd,eight", "x.fwd,", "x.fwd,1.5"}) {
        const RunResult run = Run({text});
        EXPECT_EQ(run.status, 2) << text;
        EXPECT_NE(run.err.find("is not PATH,CODE"), std::string::npos) << run.err;
    }
    EXPECT_EQ(Files(), std::vector<std::string>{"settings.bag"});  // loaded (and created) first, as at start-up
}

TEST_F(CommandLine, MissingInputsAreReportedBeforeAnyReaderRuns)
{
    WriteBytes(dir / "good.txt", kSurvey);
    const RunResult run = Run({"convert", "-t", "pddx", "good.txt", "missing.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "vantrel: missing.txt: cannot open: No such file or directory\n");
    EXPECT_EQ(Files(), std::vector<std::string>{"good.txt"});
    EXPECT_EQ(Run({"batch", "nothing.FWD"}).status, 1);
    EXPECT_EQ(Run({"merge", "-o", "m.DDX", "good.txt", "gone.DDX"}).status, 1);
    EXPECT_EQ(Files(), std::vector<std::string>{"good.txt"});
}

TEST_F(CommandLine, UsageErrorsExitWithStatusTwo)
{
    EXPECT_EQ(Run({"convert"}).status, 2);
    EXPECT_EQ(Run({"convert", "-t", "word", "x"}).status, 2);
    EXPECT_EQ(Run({"frobnicate", "x"}).status, 2);
    EXPECT_EQ(Run({"merge", "a.DDX"}).status, 2);  // no -o
    WriteBytes(dir / "a.DDX", kSurvey);
    WriteBytes(dir / "b.DDX", kSurvey);
    EXPECT_EQ(Run({"convert", "-o", "x.DDX", "a.DDX", "b.DDX"}).status, 2);
    EXPECT_EQ(Run({"--set", "Colour=red", "blank"}).status, 2);
    const RunResult version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.out.find("1.3.2"), std::string::npos);
}

TEST_F(CommandLine, AnOutputThatCannotBeCreatedLeavesNothingBehind)
{
    WriteBytes(dir / "a.DDX", kSurvey);
    const RunResult run = Run({"convert", "-t", "pddx", "a.DDX", "-o", "no/such/folder/out.DDX"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Unable to create file no/such/folder/out.DDX"), std::string::npos) << run.err;
    EXPECT_EQ(Files(), std::vector<std::string>{"a.DDX"});
}

TEST_F(CommandLine, SetOverridesASettingForTheRunOnly)
{
    WriteBytes(dir / "a.DDX", kSurvey);
    WriteBytes(dir / "settings.bag", "[Settings]\r\nFileType = 8\r\n");
    const RunResult run = Run({"convert", "--set", "FileType=0", "a.DDX", "-o", "b.DDX"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(dir / "b.DDX").find("NumberOfTestLocations = 1\r\n") != std::string::npos, true);
    EXPECT_EQ(ReadBytes(dir / "settings.bag"), "[Settings]\r\nFileType = 8\r\n");
}

}  // namespace
}  // namespace vantrel::test
