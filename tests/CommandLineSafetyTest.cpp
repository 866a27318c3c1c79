// The built program run end to end where work could be lost: outputs that are inputs, a standard
// output that cannot be written, inputs that change or never end, signals while writing, and the
// messages that must say what went wrong without garbling the terminal.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "support/TestSupport.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

const std::string kSurvey = CrLf({
    "[Device Configuration]", "NumberOfDeflectionSensors = 2",
    "[Deflection Data]", "NumberOfTestLocations = 1",
    "[Test Location 1]", "NumberOfDrops = 1", "DropData_1 = 40, 1, 2",
});

// An F25 file of about `megabytes` MB: a header, then stations of many drops.
std::string LargeF25(std::size_t megabytes)
{
    std::string text = CrLf({"5001,25.31", "5010,0,0,0,0,0,0,0,2,0,0,0", "5020,150,0,200,300,N0",
                             "5301,0,0,0,0,0,0,0,0,4,4,7,8,0"});
    for (int station = 1; text.size() < (megabytes << 20); ++station) {
        text += "5301,0,0,0,0," + std::to_string(station) + ",0,0,0,4,4,7,8,0\r\n";
        for (int drop = 0; drop < 20000; ++drop) text += "7,565.2,301.4,250.8,198.7,154.2\r\n";
    }
    return text;
}

std::vector<std::string> TemporaryFiles(const fs::path& folder)
{
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().starts_with(".")) found.push_back(entry.path().filename().string());
    return found;
}

using Safety = ProgramTest;

// Waits (up to about ten seconds) until `ready` holds.
template <typename Ready>
bool WaitUntil(Ready ready)
{
    for (int tries = 0; tries < 100000; ++tries) {
        if (ready()) return true;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return false;
}

TEST_F(Safety, AnOutputThatIsAnInputIsRefusedAndNothingIsTouched)
{
    WriteBytes(dir / "a.DDX", kSurvey);
    WriteBytes(dir / "b.DDX", kSurvey + "\r\n");
    WriteBytes(dir / "a.txt", kSurvey);
    fs::create_symlink("a.DDX", dir / "link.DDX");
    fs::create_hard_link(dir / "a.DDX", dir / "hard.DDX");
    fs::create_directory(dir / "runs");
    WriteBytes(dir / "runs" / "A.DDX", kSurvey);
    WriteBytes(dir / "runs" / "Acvt.DDX", kSurvey);  // A.DDX's batch output, and itself an input
    const std::vector<std::vector<std::string>> refused = {
        {"convert", "-t", "pddx", "a.DDX", "-o", "a.DDX"},
        {"convert", "-t", "pddx", "a.DDX", "-o", "./a.DDX"},
        {"convert", "-t", "pddx", "a.DDX", "-o", "link.DDX"},
        {"convert", "-t", "pddx", "a.DDX", "-o", "hard.DDX"},
        {"convert", "-t", "pddx", "a.txt", "a.DDX"},  // a.txt's output is the second input
        {"merge", "-o", "b.DDX", "-t", "pddx", "a.DDX", "b.DDX"},
        {"merge", "-o", "./a.DDX", "-t", "pddx", "a.DDX", "b.DDX"},
        {"batch", "-t", "pddx", "runs/A.DDX"},
    };
    for (const auto& args : refused) {
        const RunResult run = Run(args);
        EXPECT_EQ(run.status, 2) << args[4];
        EXPECT_NE(run.err.find("would replace the input"), std::string::npos) << run.err;
        EXPECT_EQ(ReadBytes(dir / "a.DDX"), kSurvey);
        EXPECT_EQ(ReadBytes(dir / "b.DDX"), kSurvey + "\r\n");
        EXPECT_EQ(ReadBytes(dir / "runs" / "Acvt.DDX"), kSurvey);
        EXPECT_TRUE(fs::is_symlink(dir / "link.DDX"));
    }
    EXPECT_FALSE(fs::exists(dir / "runs" / "Acvtcvt.DDX"));
}

TEST_F(Safety, AFullStandardOutputAndAnEndlessInputAreFailuresThatSaySo)
{
    WriteBytes(dir / "a.DDX", kSurvey);
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"convert", "-t", "pddx", "a.DDX", "-o", "-"}, {"blank", "-o", "-"}, {"merge", "-o", "-", "a.DDX"},
             {"convert", "-t", "pddx", "a.DDX", "-o", "b.DDX"}}) {  // the last writes only its listing there
        const RunResult run = Run(args, "/dev/full");
        EXPECT_EQ(run.status, 1) << args[0];
        EXPECT_EQ(run.err, "vantrel: cannot write to standard output: No space left on device\n");
    }
    for (const char* type : {"f25", "kuab", "pddx", "jils-dat", "carlbro"}) {
        const RunResult run = Run({"convert", "-t", type, "/dev/zero", "-o", "out.DDX"});
        EXPECT_EQ(run.status, 1) << type;
        EXPECT_EQ(run.err, "vantrel: /dev/zero:1: the line is longer than 32767 characters\n") << type;
    }
    EXPECT_FALSE(fs::exists(dir / "out.DDX"));
}

TEST_F(Safety, AFileThatShrinksWhileItIsReadEndsTheConversionWithAMessage)
{
    const fs::path input = dir / "growing.F25";
    WriteBytes(input, LargeF25(48));
    const int pid = StartVantrel({"--settings", (dir / "s.bag").string(), "convert", "-t", "f25", "growing.F25"},
                                 dir.Path(), dir / "err.txt");
    // Once the program holds the file open, cut it to half as another program would.
    ASSERT_TRUE(WaitUntil([&] {
        std::error_code error;
        for (fs::directory_iterator it("/proc/" + std::to_string(pid) + "/fd", error), end; !error && it != end;
             it.increment(error))
            if (fs::read_symlink(it->path(), error) == input) return true;
        return false;
    }));
    fs::resize_file(input, fs::file_size(input) / 2);
    const int status = WaitForVantrel(pid);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(ReadBytes(dir / "err.txt"), "vantrel: " + input.filename().string() + ": the file changed while it was read\n");
    EXPECT_FALSE(fs::exists(dir / "growing.DDX"));
}

TEST_F(Safety, ASignalWhileWritingRemovesTheTemporaryFile)
{
    WriteBytes(dir / "big.F25", LargeF25(24));
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        const int pid = StartVantrel({"--settings", (dir / "s.bag").string(), "convert", "-t", "f25", "big.F25"},
                                     dir.Path(), dir / "err.txt");
        // The temporary file appears once reading is done and writing begins.
        ASSERT_TRUE(WaitUntil([&] { return !TemporaryFiles(dir.Path()).empty(); })) << "never seen writing";
        ::kill(pid, signal);
        const int status = WaitForVantrel(pid);
        if (WIFEXITED(status)) {  // finished just before the signal came: then it is whole
            EXPECT_EQ(WEXITSTATUS(status), 0);
            fs::remove(dir / "big.DDX");
        } else {
            EXPECT_EQ(WTERMSIG(status), signal);
            EXPECT_FALSE(fs::exists(dir / "big.DDX"));
        }
        EXPECT_EQ(TemporaryFiles(dir.Path()), std::vector<std::string>{}) << signal;
    }
}

TEST_F(Safety, ReplacingAnOutputKeepsItsPermissionsAndItsLinkAndLongNamesWork)
{
    WriteBytes(dir / "a.DDX", kSurvey);
    WriteBytes(dir / "old.DDX", "old");
    fs::permissions(dir / "old.DDX", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("old.DDX", dir / "current.DDX");
    ASSERT_EQ(Run({"convert", "-t", "pddx", "a.DDX", "-o", "current.DDX"}).status, 0);
    EXPECT_TRUE(fs::is_symlink(dir / "current.DDX"));
    EXPECT_NE(ReadBytes(dir / "old.DDX").find("DropData_1 = 40, 1, 2"), std::string::npos);
    EXPECT_EQ(fs::status(dir / "old.DDX").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    const std::string longName = std::string(250, 'n') + ".DDX";  // 254 characters, within the limit of 255
    const RunResult run = Run({"convert", "-t", "pddx", "a.DDX", "-o", longName});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::exists(dir / longName));
    EXPECT_EQ(TemporaryFiles(dir.Path()), std::vector<std::string>{});
}

TEST_F(Safety, MessagesQuoteInputSafelyAndSayWhereATypeCameFrom)
{
    // A JILS load that is not a number, holding a NUL, an escape and a line feed, and a long one.
    WriteBytes(dir / "bad.DAT", CrLf({"FWD", "1 L 0 0 9 1 60", std::string("1 L 0 0 x\0y\x1b[31m\n 1 60", 21)}));
    WriteBytes(dir / "long.DAT", CrLf({"FWD", "1 L 0 0 9 1 60", "1 L 0 0 " + std::string(100, '7') + "x 1 60"}));
    WriteBytes(dir / "x.DDX", kSurvey);
    WriteBytes(dir / "x.txt", "no type's content\r\n");  // the settings' type is used for it
    const RunResult bad = Run({"--set", "NumSensors=1", "convert", "-t", "jils-dat", "bad.DAT", "-o", "bad.DDX"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("bad.DAT:3: the load \"x\\x00y\\x1B[31m\\x0A\" is not a number"), std::string::npos)
        << bad.err;
    const RunResult cut = Run({"--set", "NumSensors=1", "convert", "-t", "jils-dat", "long.DAT", "-o", "l.DDX"});
    EXPECT_NE(cut.err.find("\"" + std::string(60, '7') + "...\" is not a number"), std::string::npos) << cut.err;

    const struct {
        std::vector<std::string> args;
        std::string settings;
        std::string message;
    } types[] = {
        {{"convert", "-t", "5", "x.DDX"}, "", "unknown file type 5 (given with -t): Carl Bro History has no reader"},
        {{"convert", "x.txt"}, "FileType = 42", "unknown file type 42 (FileType in the settings file " +
                                                    (dir / "settings.bag").string() + "): there is no such type"},
        {{"--set", "FileType=5", "batch", "x.DDX"}, "", "unknown file type 5 (given with --set)"},
        {{"merge", "-o", "m.DDX", "-t", "pddx", "x.DDX", "-t", "5", "x.DDX"}, "", "unknown file type 5 (given with -t)"},
        {{"x.DDX,5"}, "", "unknown file type 5 (from the command line x.DDX,5)"},
    };
    for (const auto& c : types) {
        WriteBytes(dir / "settings.bag", "[Settings]\r\n" + c.settings + "\r\n");
        const RunResult run = Run(c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.starts_with("vantrel: " + c.message)) << run.err;
    }
    EXPECT_FALSE(fs::exists(dir / "m.DDX"));
    EXPECT_FALSE(fs::exists(dir / "x.DDX.DDX"));
}

TEST_F(Safety, AFailedBatchSaysWhatItLeftUnconverted)
{
    fs::create_directory(dir / "runs");
    WriteBytes(dir / "runs" / "a.DAT", CrLf({"FWD", "1 L 0 0 9 1 60"}));
    WriteBytes(dir / "runs" / "b.DAT", CrLf({"FWD", "1 L 0 0 9 1 60"}));
    WriteBytes(dir / "runs" / "c.DAT", CrLf({"FWD", "1 L 0 0 9 1 60"}));
    // The batch converts in the order the folder lists; make whichever comes first fail.
    std::vector<std::string> order;
    for (const auto& entry : fs::directory_iterator(dir / "runs")) order.push_back(entry.path().filename().string());
    WriteBytes(dir / "runs" / order[0], CrLf({"FWD", "1 L 0 0 9 1 60", "1 L 0 0 x 1 60"}));
    const RunResult run = Run({"--set", "NumSensors=1", "batch", "-t", "jils-dat", "runs/a.DAT"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("runs/" + order[0] + ":3: "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("the batch stopped; not converted: runs/" + order[1] + ", runs/" + order[2] + "\n"),
              std::string::npos)
        << run.err;
}

}  // namespace
}  // namespace vantrel::test
