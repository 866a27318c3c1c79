// The built program run end to end where work could be lost: outputs that are inputs, a standard
// output that cannot be written, inputs that change or never end, signals while writing, and the
// messages that must say what went wrong without garbling the terminal.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <optional>
#include <thread>

#include "support/TestSupport.h"

namespace vantrel::test {
namespace {

using Safety = ProgramTest;
using Args = std::vector<std::string>;

// An F25 file of about `megabytes` MB: a header, then stations of many drops.
std::string LargeF25(std::size_t megabytes)
{
    std::string text = CrLf({"5020,150,0,200,300,N0", "5301,0,0,0,0,0,0,0,0,4,4,7,8,0"});
    for (int station = 1; text.size() < (megabytes << 20); ++station) {
        text += "5301,0,0,0,0," + std::to_string(station) + ",0,0,0,4,4,7,8,0\r\n";
        for (int drop = 0; drop < 20000; ++drop) text += "7,565.2,301.4,250.8\r\n";
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

// Stops the process and waits until it is stopped, so that what /proc shows of it holds still:
// true once it is, false when it ended instead.
bool Halt(int pid)
{
    ::kill(pid, SIGSTOP);
    siginfo_t seen{};
    ::waitid(P_PID, static_cast<id_t>(pid), &seen, WSTOPPED | WEXITED | WNOWAIT);
    return seen.si_code == CLD_STOPPED;
}

TEST_F(Safety, AnOutputThatIsAnInputIsRefusedAndNothingIsTouched)
{
    for (const char* name : {"a.DDX", "b.DDX", "a.txt"}) WriteBytes(dir / name, kSurvey + name);
    fs::create_symlink("a.DDX", dir / "link.DDX");
    fs::create_hard_link(dir / "a.DDX", dir / "hard.DDX");
    fs::create_symlink("a.DDX", dir / "acvt.DDX");
    fs::create_directory(dir / "runs");
    WriteBytes(dir / "runs" / "A.DDX", kSurvey);
    WriteBytes(dir / "runs" / "Acvt.DDX", kSurvey);  // A.DDX's batch output, and itself an input
    for (const Args& args : std::vector<Args>{
             {"convert", "-t", "pddx", "a.DDX", "-o", "a.DDX"}, {"convert", "-t", "pddx", "a.DDX", "-o", "./a.DDX"},
             {"convert", "-t", "pddx", "a.DDX", "-o", "link.DDX"}, {"convert", "-t", "pddx", "a.DDX", "-o", "hard.DDX"},
             {"convert", "-t", "pddx", "a.txt", "a.DDX"},  // a.txt's output is the second input
             {"merge", "-o", "b.DDX", "-t", "pddx", "a.DDX", "b.DDX"}, {"merge", "-o", "./a.DDX", "a.DDX", "b.DDX"},
             {"convert", "-t", "pddx", "-o", "a.DDX", "-"}, {"a.DDX,0"}}) {  // acvt.DDX links to a.DDX
        // Standard input is compared as the file it reads from.
        const RunResult run = Run(args, "", args.back() == "-" ? (dir / "a.DDX").string() : "");
        EXPECT_EQ(run.status, 2) << args.back();
        EXPECT_NE(run.err.find("would replace the input"), std::string::npos) << run.err;
        for (const char* name : {"a.DDX", "b.DDX"}) EXPECT_EQ(ReadBytes(dir / name), kSurvey + name);
        EXPECT_TRUE(fs::is_symlink(dir / "link.DDX"));
    }
    // A batch passes over a file whose output is another file of the batch, says so and fails.
    const RunResult batch = Run({"batch", "-t", "pddx", "runs/A.DDX"});
    EXPECT_EQ(batch.status, 1);
    EXPECT_NE(batch.err.find("runs/A.DDX: not converted: its output runs/Acvt.DDX is a file of the batch"),
              std::string::npos) << batch.err;
    EXPECT_EQ(ReadBytes(dir / "runs" / "Acvt.DDX"), kSurvey);
    EXPECT_TRUE(fs::exists(dir / "runs" / "Acvtcvt.DDX"));
}

// The settings file is read, and written by PATH,CODE: one that is an input or an output of the
// same command, by name or as the same file, is refused before anything is written.
TEST_F(Safety, ASettingsFileThatIsAnInputOrAnOutputIsRefused)
{
    const std::string survey = F25Survey(2);
    for (const char* name : {"run.F25", "b.F25", "bcvt.DDX", "runs/a.F25", "runs/acvt.DDX", "t.csv"}) {
        fs::create_directories((dir / name).parent_path());
        WriteBytes(dir / name, survey);
    }
    fs::create_symlink("run.F25", dir / "link.F25");
    fs::create_hard_link(dir / "bcvt.DDX", dir / "hard.DDX");
    const struct {
        Args args;
        const char* says;
    } refused[] = {
        {{"--settings", "run.F25", "run.F25,1"}, "run.F25: the settings file would also be the input run.F25"},
        {{"--settings", "link.F25", "run.F25,1"}, "link.F25: the settings file would also be the input run.F25"},
        {{"--settings", "bcvt.DDX", "b.F25,1"}, "bcvt.DDX: the settings file would also be the output bcvt.DDX"},
        {{"--settings", "hard.DDX", "b.F25,1"}, "would also be the output bcvt.DDX"},
        {{"--settings", "./newcvt.DDX", "new.F25,1"}, "would also be the output newcvt.DDX"},  // by name: neither exists
        {{"--settings", "run.F25", "convert", "-o", "r.DDX", "run.F25"}, "would also be the input run.F25"},
        {{"--settings", "b.DDX", "convert", "b.F25"}, "would also be the output b.DDX"},
        {{"--settings", "run.F25", "merge", "-o", "m.DDX", "b.F25", "run.F25"}, "would also be the input run.F25"},
        {{"--settings", "runs/acvt.DDX", "batch", "runs/a.F25"}, "would also be the output runs/acvt.DDX"},
        {{"--settings", "t.csv", "export", "-o", "t.csv", "b.F25"}, "would also be the output t.csv"},
        {{"--settings", "b.F25", "export", "-o", "e.csv", "b.F25"}, "would also be the input b.F25"},
    };
    for (const auto& c : refused) {
        const RunResult run = RunVantrel(c.args, dir.Path());
        EXPECT_EQ(run.status, 2) << c.says;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        for (const char* name : {"run.F25", "b.F25", "bcvt.DDX", "runs/a.F25", "runs/acvt.DDX", "t.csv"})
            EXPECT_EQ(ReadBytes(dir / name), survey) << name;
    }
    for (const char* name : {"runcvt.DDX", "newcvt.DDX", "r.DDX", "b.DDX", "m.DDX", "e.csv"})
        EXPECT_FALSE(fs::exists(dir / name)) << name;
}

// Two inputs with one output name are refused before anything is written, naming both; a batch
// passes over the later one.
TEST_F(Safety, TwoInputsWithOneOutputNameAreRefusedBeforeAnythingIsWritten)
{
    fs::create_directories(dir / "x");
    fs::create_directories(dir / "y");
    for (const char* name : {"run.dat", "run.txt", "x/r.DDX", "y/r.DDX", "b/a.DDX", "b/a.ddx"}) {
        fs::create_directories((dir / name).parent_path());
        WriteBytes(dir / name, kSurvey);
    }
    const struct {
        Args args;
        const char* says;
    } refused[] = {
        {{"convert", "-t", "pddx", "run.dat", "run.txt"}, "run.DDX: run.dat and run.txt would both be written to it"},
        {{"convert", "-t", "pddx", "--output-dir", "out", "x/r.DDX", "y/r.DDX"},
         "out/r.DDX: x/r.DDX and y/r.DDX would both be written to it"},
    };
    for (const auto& c : refused) {
        const RunResult run = Run(c.args);
        EXPECT_EQ(run.status, 2) << c.says;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(dir / "out"));
    EXPECT_FALSE(fs::exists(dir / "run.DDX"));
    // a.DDX and a.ddx are both a*.DDX files whose output is acvt.DDX: the later one is skipped.
    const RunResult batch = Run({"batch", "-t", "pddx", "b/a.DDX"});
    EXPECT_EQ(batch.status, 1);
    EXPECT_NE(batch.err.find("not converted: its output b/acvt.DDX is also the output of b/a."), std::string::npos)
        << batch.err;
    EXPECT_TRUE(fs::exists(dir / "b" / "acvt.DDX"));
}

TEST_F(Safety, AFullStandardOutputAndAnEndlessInputAreFailuresThatSaySo)
{
    WriteBytes(dir / "a.DDX", kSurvey);
    for (const Args& args : std::vector<Args>{{"convert", "-t", "pddx", "a.DDX", "-o", "-"}, {"blank", "-o", "-"},
                                              {"merge", "-o", "-", "a.DDX"}, {"help", "convert"},
                                              {"convert", "-t", "pddx", "a.DDX", "-o", "b.DDX"}}) {  // only the listing
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

// How far the process has read the file `path`: its position in it, read while the process is
// stopped (the caller stops it); nullopt while it does not hold the file open.
std::optional<std::uintmax_t> ReadPosition(int pid, const fs::path& path)
{
    const fs::path process = fs::path("/proc") / std::to_string(pid);
    std::error_code error;
    for (fs::directory_iterator it(process / "fd", error), end; !error && it != end; it.increment(error)) {
        if (fs::read_symlink(it->path(), error) != path) continue;
        const std::string info = ReadBytes(process / "fdinfo" / it->path().filename());
        if (info.starts_with("pos:")) return std::stoull(info.substr(4));
    }
    return std::nullopt;
}

TEST_F(Safety, AFileThatShrinksWhileItIsReadEndsTheConversionWithAMessage)
{
    const fs::path input = dir / "growing.F25";
    const std::string bytes = LargeF25(48);
    // The file is cut to half while the program is held still having read some of it, not all:
    // its size was taken when it was opened, before the first read, so what it reads next is no
    // longer the file it opened. A run that read it all between two looks is tried again.
    for (int attempt = 0; attempt < 20; ++attempt) {
        WriteBytes(input, bytes);
        const int pid = StartVantrel({"--settings", "s.bag", "convert", "-t", "f25", "growing.F25"}, dir.Path(), dir / "err.txt");
        bool cut = false;
        WaitUntil([&] {
            if (!Halt(pid)) return true;
            const std::optional<std::uintmax_t> position = ReadPosition(pid, input);
            cut = position && *position > 0 && *position < bytes.size();
            if (cut) fs::resize_file(input, bytes.size() / 2);
            ::kill(pid, SIGCONT);
            return cut;
        });
        const int status = WaitForVantrel(pid);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        if (!cut) {
            fs::remove(dir / "growing.DDX");
            continue;
        }
        EXPECT_EQ(WEXITSTATUS(status), 1);
        EXPECT_EQ(ReadBytes(dir / "err.txt"), "vantrel: growing.F25: the file changed while it was read\n");
        EXPECT_FALSE(fs::exists(dir / "growing.DDX"));
        return;
    }
    FAIL() << "the program read the whole file between two looks, twenty times";
}

// Whether process `pid` has an output in `folder` open that is still being written: a file with
// no name yet, or a temporary one.
bool Writing(int pid, const fs::path& folder)
{
    std::error_code error;
    fs::directory_iterator it("/proc/" + std::to_string(pid) + "/fd", error), end;
    for (; !error && it != end; it.increment(error)) {
        std::error_code linkError;
        const std::string target = fs::read_symlink(it->path(), linkError).string();
        if (!linkError && target.starts_with(folder.string() + "/") &&
            (target.ends_with(" (deleted)") || target.find("/.vantrel-") != std::string::npos))
            return true;
    }
    return false;
}

// Holds the program still once it is seen writing its output and sends it the signals, which so
// arrive while the temporary output exists; then lets it go on. False when it ended unseen.
bool SignalWhileWriting(int pid, const fs::path& folder, const std::vector<int>& signals)
{
    bool writing = false;
    WaitUntil([&] {
        if (!Halt(pid)) return true;
        writing = Writing(pid, folder);
        if (!writing) ::kill(pid, SIGCONT);
        return writing;
    });
    for (const int signal : signals) ::kill(pid, signal);
    ::kill(pid, SIGCONT);
    return writing;
}

TEST_F(Safety, NoSignalLeavesATemporaryFileAndSignalsIgnoredAtStartStayIgnored)
{
    WriteBytes(dir / "big.F25", LargeF25(24));
    const Args args = {"--settings", "s.bag", "convert", "-t", "f25", "big.F25"};
    // KILL cannot be caught: only a file without a name while it is written leaves nothing then.
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGALRM, SIGKILL}) {
        const int pid = StartVantrel(args, dir.Path(), dir / "err.txt");
        EXPECT_TRUE(SignalWhileWriting(pid, dir.Path(), {signal})) << signal << ": never seen writing";
        const int status = WaitForVantrel(pid);
        ASSERT_TRUE(WIFSIGNALED(status)) << signal << ": exited with " << WEXITSTATUS(status);
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_FALSE(fs::exists(dir / "big.DDX"));
        EXPECT_EQ(TemporaryFiles(dir.Path()), std::vector<std::string>{}) << signal;
    }
    // Started with hang-up and interrupt ignored, as nohup and a background job start it.
    const int pid = StartVantrel(args, dir.Path(), dir / "err.txt", {}, {}, {.ignoredSignals = {SIGHUP, SIGINT}});
    EXPECT_TRUE(SignalWhileWriting(pid, dir.Path(), {SIGHUP, SIGINT})) << "never seen writing";
    const int status = WaitForVantrel(pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(Holds("big.DDX", "DropData_1 = 565.2, 301.4"));
}

// A named pipe as input, and a settings file that is one: the input is opened once and read once
// (its type told from the bytes read first; a reader of two passes reads it once too), and
// settings are not read from a pipe at all.
TEST_F(Safety, APipeIsOpenedOnceAsInputAndNeverAsSettings)
{
    const std::string f25 = CrLf({"5020,150,0,200,N0", "5301,0", "5301,1,0,0,0,5,0,0,L,4,4,7,9,0", "1,40,1,2"});
    const std::string jils = CrLf({"JILS FWD Unit 12", "Sensors: A B", "1 OWP 0.125 1 9.05 12.1 9.8 61.2"});
    for (const Args& args : {Args{"convert", "in.fifo", "-o", "a.DDX"}, Args{"detect", "in.fifo"},
                             Args{"--settings", "s.fifo", "convert", "-t", "f25", "in.fifo", "-o", "b.DDX"},
                             Args{"convert", "-t", "jils-dat", "in.fifo", "-o", "j.DDX"}}) {
        const std::string& text = args.back() == "j.DDX" ? jils : f25;
        for (const char* pipe : {"in.fifo", "s.fifo"}) {
            fs::remove(dir / pipe);
            ASSERT_EQ(::mkfifo((dir / pipe).c_str(), 0644), 0);
        }
        std::thread writer([&] {
            const int fd = ::open((dir / "in.fifo").c_str(), O_WRONLY);
            if (fd >= 0 && ::write(fd, text.data(), text.size()) < 0) ADD_FAILURE() << "the pipe was closed early";
            if (fd >= 0) ::close(fd);
        });
        const RunResult run = args[0] == "--settings" ? RunVantrel(args, dir.Path()) : Run(args);
        // A program that never opened the pipe must not leave the writer waiting.
        const int unblock = ::open((dir / "in.fifo").c_str(), O_RDONLY | O_NONBLOCK);
        writer.join();
        ::close(unblock);
        EXPECT_EQ(run.status, 0) << args[0] << ": " << run.err;
        if (args[0] == "detect") {
            EXPECT_EQ(run.out, "in.fifo: f25\n");
        }
        if (args[0] == "--settings") {
            EXPECT_NE(run.err.find("s.fifo: the settings file is not a regular file"), std::string::npos) << run.err;
        }
    }
    EXPECT_TRUE(Holds("a.DDX", "DropData_1 = 40, 1, 2\r\n"));
    EXPECT_TRUE(Holds("b.DDX", "DropData_1 = 40, 1, 2\r\n"));
    EXPECT_TRUE(Holds("j.DDX", "DropData_1 = 9050, 12.1, 9.8\r\n"));
}

// Names reach standard output as they reach standard error: control bytes written \xNN, so that
// a name can neither colour the terminal nor forge a line; JSON and the CSV table stay UTF-8.
TEST_F(Safety, NamesOnStandardOutputCannotForgeLinesOrBreakUtf8)
{
    const std::string forged = "a\x1B[31m\nfake.F25: pddx\xFF.DDX";
    WriteBytes(dir / forged, kSurvey + "[Device Configuration]\r\nNumberOfDeflectionSensors = x\r\n");
    EXPECT_EQ(Run({"detect", forged}).out, "a\\x1B[31m\\x0Afake.F25: pddx\xFF.DDX: pddx\n");
    const RunResult listed = Run({"convert", "-t", "pddx", forged, "-o", "out.DDX"});
    EXPECT_EQ(listed.out, "a\\x1B[31m\\x0Afake.F25: pddx\xFF.DDX -> out.DDX\n");
    const RunResult json = Run({"check", "--format", "json", forged});
    EXPECT_NE(json.out.find("\"file\": \"a\\u001b[31m\\nfake.F25: pddx\\\\xFF.DDX\""), std::string::npos) << json.out;
    const RunResult csv = Run({"export", forged});
    EXPECT_NE(csv.out.find("\r\n\"a\x1B[31m\nfake.F25: pddx\\xFF.DDX\",1,1,"), std::string::npos) << csv.out;
}

// Looking at standard input reads only what detection needs; check writes its findings as it
// makes them: memory stays far below the input's size.
TEST_F(Safety, DetectAndCheckHoldLittleMoreThanTheyNeed)
{
    // The test's own memory is built and freed before a run starts: a started run counts it too.
    {
        std::string big = CrLf({"5020,150,0,N0", "5301,0"});
        while (big.size() < (48u << 20)) big += "1,550,412\r\n";
        WriteBytes(dir / "big.F25", big);
    }
    // Measured against the same program on a small input, so that what a build adds (sanitizers
    // hold much memory of their own) does not count.
    WriteBytes(dir / "small.F25", CrLf({"5020,150,0,N0", "5301,0", "1,550,412"}));
    const long baseline = Run({"detect", "small.F25"}).peakKilobytes;
    const RunResult detect = Run({"detect", "-"}, "", (dir / "big.F25").string());
    EXPECT_EQ(detect.out, "-: f25\n");
    EXPECT_LT(detect.peakKilobytes - baseline, 24 * 1024) << "detect held half of its 48 MB input";

    {
        std::string text = CrLf({"[Device Configuration]", "NumberOfDeflectionSensors = 1", "[Deflection Data]",
                                 "NumberOfTestLocations = 1", "[Test Location 1]", "NumberOfDrops = 200000"});
        for (int drop = 1; drop <= 200000; ++drop) text += "DropData_" + std::to_string(drop) + " = 40, x\r\n";
        WriteBytes(dir / "many.DDX", text);
    }
    const RunResult converted = Run({"convert", "-t", "pddx", "many.DDX", "-o", "copy.DDX"});
    ASSERT_EQ(converted.status, 0) << converted.err;
    const RunResult checked = Run({"check", "--format", "json", "many.DDX"}, dir / "findings.json");
    EXPECT_EQ(checked.status, 4) << checked.err;
    EXPECT_LT(checked.peakKilobytes, 3 * converted.peakKilobytes) << "200,000 findings held at once";
    EXPECT_TRUE(ReadBytes(dir / "findings.json").ends_with("is not a number\"\n  }\n]\n"));
}

// A drop numbered at the top of the range of numbers is read and checked as any other, and a far
// number in a small file costs no more memory than a near one.
TEST_F(Safety, FarDropNumbersAreReadAndCheckedAsAnyOther)
{
    const auto survey = [](const std::string& drop) {
        return CrLf({"[Deflection Data]", "NumberOfTestLocations = 1", "[Test Location 1]", "NumberOfDrops = 1",
                     drop + " = 40, 1, 2"});
    };
    const auto asNear = [](std::string text) {
        for (const std::string from : {"far", "2147483647"})
            for (std::size_t at; (at = text.find(from)) != std::string::npos;)
                text.replace(at, from.size(), from == "far" ? "near" : "7");
        return text;
    };
    WriteBytes(dir / "near.DDX", survey("DropData_7"));
    WriteBytes(dir / "far.DDX", survey("DropData_2147483647"));
    WriteBytes(dir / "huge.DDX", survey("DropData_2000000000"));
    for (const Args& args : std::vector<Args>{{"check", "-t", "pddx"}, {"convert", "-t", "pddx", "-o", "-"},
                                              {"export", "-t", "pddx"}}) {
        Args near = args, far = args;
        near.push_back("near.DDX");
        far.push_back("far.DDX");
        const RunResult expected = Run(near), run = Run(far);
        EXPECT_EQ(run.status, expected.status) << args[0] << ": " << run.err;
        EXPECT_EQ(asNear(run.out), expected.out) << args[0];
        EXPECT_EQ(asNear(run.err), expected.err) << args[0];
    }
    const long baseline = Run({"check", "-t", "pddx", "near.DDX"}).peakKilobytes;
    const RunResult huge = Run({"check", "-t", "pddx", "huge.DDX"});
    EXPECT_LT(huge.peakKilobytes - baseline, 16 * 1024) << "memory by the drop number, not by the file";
}

// Files made as they are read give a size of 0 or a page whatever they hold: they are read to their end.
TEST_F(Safety, ProcAndSysFilesAreReadToTheirEnd)
{
    for (const std::string name : {"/proc/version", "/proc/self/status", "/sys/kernel/mm/transparent_hugepage/enabled"}) {
        if (!fs::exists(name)) continue;
        const RunResult run = Run({"convert", "-t", "pddx", "-o", "read.DDX", name});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.err.find(name + ": warning: nothing was read as pddx"), std::string::npos) << run.err;
    }
}

// The checks before writing look at each file once: four times the files cost about four times
// the work, not sixteen. Measured as processor time, which waiting on a loaded machine leaves alone,
// and as a ratio in one run, never as an absolute.
TEST_F(Safety, ManyFilesCostInProportionToTheirNumber)
{
    const auto seconds = [&](int files) {
        const fs::path folder = dir / std::to_string(files);
        fs::create_directory(folder);
        Args args = {"convert", "-q", "-t", "pddx", "--output-dir", (folder / "out").string()};
        for (int i = 0; i < files; ++i) {
            args.push_back((folder / (std::to_string(i) + ".txt")).string());
            WriteBytes(args.back(), kSurvey);
        }
        const RunResult run = Run(args);
        EXPECT_EQ(run.status, 0) << run.err;
        return run.cpuSeconds;
    };
    const double few = seconds(500), many = seconds(2000);
    EXPECT_LT(many / few, 10.0) << few << " s for 500 files, " << many << " s for 2,000";
}

// A pipe or a device named as output is written as it is, as cp writes it; a folder is refused.
TEST_F(Safety, APipeNamedAsOutputIsWrittenInPlaceNotReplaced)
{
    WriteBytes(dir / "a.DDX", kSurvey);
    ASSERT_EQ(::mkfifo((dir / "out.fifo").c_str(), 0644), 0);
    // Opened for reading and writing, the pipe neither blocks the program's open nor ends early.
    const int reader = ::open((dir / "out.fifo").c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const RunResult run = Run({"convert", "-t", "pddx", "a.DDX", "-o", "out.fifo"});
    EXPECT_EQ(run.status, 0) << run.err;
    struct stat info {};
    ASSERT_EQ(::lstat((dir / "out.fifo").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    std::string got(1 << 16, '\0');
    const ssize_t n = ::read(reader, got.data(), got.size());
    ::close(reader);
    got.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    EXPECT_NE(got.find("DropData_1 = 40, 1, 2\r\n"), std::string::npos) << got;
    fs::create_directory(dir / "sub.DDX");
    const RunResult folder = Run({"convert", "-t", "pddx", "a.DDX", "-o", "sub.DDX"});
    EXPECT_EQ(folder.status, 1);
    EXPECT_NE(folder.err.find("Unable to create file sub.DDX: it is a folder"), std::string::npos) << folder.err;
}

// In a sticky folder that everyone may write (/tmp), a link is followed only when its owner is
// the folder's or the user's, as the system's protected_symlinks rule has it; a link to nothing is
// not followed. Where the tests run as root, "another user" is nobody.
TEST_F(Safety, ALinkAnotherUserPlantedInASharedFolderIsNotFollowed)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs a second user: run as root";
    WriteBytes(dir / "a.DDX", kSurvey);
    WriteBytes(dir / "victim.txt", "keep");
    fs::create_directory(dir / "shared");
    fs::permissions(dir / "shared", fs::perms::all | fs::perms::sticky_bit);
    fs::create_symlink(dir / "victim.txt", dir / "shared" / "planted.DDX");
    ASSERT_EQ(::lchown((dir / "shared" / "planted.DDX").c_str(), 65534, 65534), 0);
    fs::create_symlink(dir / "victim.txt", dir / "shared" / "mine.DDX");
    fs::create_symlink(dir / "nothing.txt", dir / "shared" / "dangling.DDX");

    const RunResult planted = Run({"convert", "-t", "pddx", "a.DDX", "-o", "shared/planted.DDX"});
    EXPECT_EQ(planted.status, 1);
    EXPECT_NE(planted.err.find("another user made in a shared folder"), std::string::npos) << planted.err;
    EXPECT_EQ(ReadBytes(dir / "victim.txt"), "keep");
    const RunResult dangling = Run({"convert", "-t", "pddx", "a.DDX", "-o", "shared/dangling.DDX"});
    EXPECT_EQ(dangling.status, 1);
    EXPECT_NE(dangling.err.find("nothing.txt, which does not exist"), std::string::npos) << dangling.err;
    EXPECT_FALSE(fs::exists(dir / "nothing.txt"));
    EXPECT_EQ(Run({"convert", "-t", "pddx", "a.DDX", "-o", "shared/mine.DDX"}).status, 0);
    EXPECT_TRUE(Holds("victim.txt", "DropData_1 = 40, 1, 2"));
}

// An output the user could not write is refused, as cp refuses it; one that is replaced keeps
// its owner and group where the system lets the user give them (the superuser).
TEST_F(Safety, AWriteProtectedOutputIsRefusedAndAReplacedOneKeepsItsOwner)
{
    const bool root = ::geteuid() == 0;
    const int user = root ? 65534 : static_cast<int>(::geteuid());
    fs::create_directory(dir / "own");
    WriteBytes(dir / "own" / "a.DDX", kSurvey);
    WriteBytes(dir / "own" / "readonly.DDX", "old");
    WriteBytes(dir / "own" / "roots.DDX", "old");
    fs::permissions(dir.Path(), fs::perms::all);
    if (root) {
        for (const char* name : {"", "a.DDX", "readonly.DDX"})
            ASSERT_EQ(::chown((dir / "own" / name).c_str(), 65534, 65534), 0);
    }
    fs::permissions(dir / "own" / "readonly.DDX", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    // The built program may lie in a folder only its builder can enter: the other user runs a copy.
    fs::copy_file(VANTREL_BINARY, dir / "vantrel");
    fs::permissions(dir / "vantrel", fs::perms::all & ~fs::perms::group_write & ~fs::perms::others_write);
    const Args protectedOnes[] = {{"readonly.DDX"}, {"roots.DDX"}};
    for (const Args& output : protectedOnes) {
        if (!root && output[0] == "roots.DDX") continue;  // only the superuser can make it
        const int pid = StartVantrel({"--settings", "s.bag", "convert", "-t", "pddx", "a.DDX", "-o", output[0]},
                                     dir / "own", dir / "err.txt", {}, {}, {.userId = user, .program = (dir / "vantrel").string()});
        const int status = WaitForVantrel(pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << output[0];
        EXPECT_NE(ReadBytes(dir / "err.txt").find(output[0] + ": it is write-protected"), std::string::npos)
            << ReadBytes(dir / "err.txt");
        EXPECT_EQ(ReadBytes(dir / "own" / output[0]), "old");
    }
    if (!root) return;
    WriteBytes(dir / "own" / "nobodys.DDX", "old");
    ASSERT_EQ(::chown((dir / "own" / "nobodys.DDX").c_str(), 65534, 65534), 0);
    EXPECT_EQ(Run({"convert", "-t", "pddx", "own/a.DDX", "-o", "own/nobodys.DDX"}).status, 0);
    struct stat info {};
    ASSERT_EQ(::stat((dir / "own" / "nobodys.DDX").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_gid, 65534u);
    EXPECT_TRUE(Holds("own/nobodys.DDX", "DropData_1 = 40, 1, 2"));
}

TEST_F(Safety, ReplacingAnOutputKeepsItsPermissionsAndItsLinkAndLongNamesWork)
{
    WriteBytes(dir / "a.DDX", kSurvey);
    WriteBytes(dir / "old.DDX", "old");
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(dir / "old.DDX", mode);
    fs::create_symlink("old.DDX", dir / "current.DDX");
    const std::string longName = std::string(250, 'n') + ".DDX";  // 254 characters, within the limit of 255
    for (const std::string& output : {std::string("current.DDX"), longName})
        EXPECT_EQ(Run({"convert", "-t", "pddx", "a.DDX", "-o", output}).status, 0) << output;
    EXPECT_TRUE(fs::is_symlink(dir / "current.DDX"));
    EXPECT_TRUE(Holds("old.DDX", "DropData_1 = 40, 1, 2"));
    EXPECT_EQ(fs::status(dir / "old.DDX").permissions() & fs::perms::all, mode);
    EXPECT_TRUE(Holds(longName, "DropData_1 = 40, 1, 2"));
    const mode_t mask = ::umask(0);  // a new output gets what the umask allows, as any new file
    ::umask(mask);
    EXPECT_EQ(static_cast<unsigned>(fs::status(dir / longName).permissions() & fs::perms::all), 0666u & ~mask);
    EXPECT_EQ(TemporaryFiles(dir.Path()), std::vector<std::string>{});
}

TEST_F(Safety, MessagesQuoteInputSafelyAndSayWhatWasLeftAndWhereATypeCameFrom)
{
    // JILS loads that are not numbers: one with control bytes and an escape, one too long to show.
    fs::create_directory(dir / "runs");
    WriteBytes(dir / "runs" / "a.DAT", CrLf({"FWD", "1 L 0 0 9 1 60", "1 L 0 0 x\x01y\x1b[31m\x7f 1 60"}));
    WriteBytes(dir / "runs" / "b.DAT", CrLf({"FWD", "1 L 0 0 " + std::string(100, '7') + "x 1 60"}));
    WriteBytes(dir / "runs" / "c.DAT", CrLf({"FWD", "1 L 0 0 9 1 60"}));
    WriteBytes(dir / "x.txt", "no type's content\r\n");  // the settings' type is used for it
    const std::string settings = (dir / "settings.bag").string();
    for (const auto& [args, status, message] : std::vector<std::tuple<Args, int, std::string>>{
             {{"convert", "runs/a.DAT", "-o", "a.DDX"}, 1, "runs/a.DAT:3: the load \"x\\x01y\\x1B[31m\\x7F\" is not a number"},
             {{"convert", "runs/b.DAT", "-o", "b.DDX"}, 1, "\"" + std::string(60, '7') + "...\" is not a number"},
             {{"--set", "FileType=5", "batch", "runs/c.DAT"}, 2, "unknown file type 5 (given with --set)"},
             {{"convert", "-t", "5", "runs/c.DAT"}, 2, "unknown file type 5 (given with -t): Carl Bro History has no reader"},
             {{"merge", "-o", "m.DDX", "runs/c.DAT", "-t", "5", "runs/c.DAT"}, 2, "unknown file type 5 (given with -t)"},
             {{"runs/c.DAT,5"}, 2, "unknown file type 5 (from the command line runs/c.DAT,5)"},
             {{"--set", "FileType=42", "convert", "x.txt"}, 2, "unknown file type 42 (given with --set): there is no such"}}) {
        WriteBytes(dir / "settings.bag", "[Settings]\r\nFileType = 6\r\nNumSensors = 1\r\n");
        const RunResult run = Run(args);
        EXPECT_EQ(run.status, status) << message;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
    WriteBytes(dir / "settings.bag", "[Settings]\r\nFileType = 42\r\n");
    EXPECT_NE(Run({"convert", "x.txt"}).err.find("unknown file type 42 (FileType in the settings file " + settings),
              std::string::npos);
    EXPECT_EQ(TemporaryFiles(dir / "runs"), std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(dir / "m.DDX"));

    // The batch converts in byte order of the names and stops at the first failure.
    std::vector<std::string> order;
    for (const auto& entry : fs::directory_iterator(dir / "runs")) order.push_back(entry.path().filename().string());
    std::sort(order.begin(), order.end());
    WriteBytes(dir / "settings.bag", "[Settings]\r\nFileType = 6\r\nNumSensors = 1\r\n");
    for (const std::string& name : order) WriteBytes(dir / "runs" / name, CrLf({"FWD", "1 L 0 0 9 1 60"}));
    WriteBytes(dir / "runs" / order[0], CrLf({"FWD", "1 L 0 0 9 1 60", "1 L 0 0 x 1 60"}));
    const RunResult batch = Run({"batch", "runs/a.DAT"});
    EXPECT_EQ(batch.status, 1);
    EXPECT_NE(batch.err.find("runs/" + order[0] + ":3: "), std::string::npos) << batch.err;
    EXPECT_NE(batch.err.find("\nvantrel: the batch stopped; not converted: runs/" + order[1] + ", runs/" + order[2] +
                             "\n"), std::string::npos) << batch.err;
    EXPECT_EQ(batch.err.find("\\x0A"), std::string::npos) << batch.err;  // the line break between the two messages
}

}  // namespace
}  // namespace vantrel::test
