// A batch stopped while it converts a file: the file is left unwritten, with no temporary file
// beside it, the files before it stay written and those after it are not tried; a run ended by a
// signal has listed every file it wrote.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <tuple>

#include "core/Conversion.h"
#include "base/NativeText.h"
#include "core/ProgramState.h"
#include "support/TestSupport.h"

namespace vantrel::test {
namespace {

TEST(BatchStop, AStopDuringAFileLeavesNothingOfItAndEndsTheBatch)
{
    const struct {
        int stopIn;       // the file during which Stop turns true (3: none)
        int afterPieces;  // once this many pieces of it were read (0: as it starts)
        std::size_t written;
    } cases[] = {{3, 0, 3}, {0, 0, 0}, {1, 0, 1}, {1, 2, 1}, {2, 0, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.stopIn) + " after " + std::to_string(c.afterPieces));
        TempDir folder;
        // The middle file is large, read in many pieces; the others are read whole at a look.
        WriteBytes(folder / "a.F25", F25Survey(1));
        const std::string large = F25Survey(60000);
        WriteBytes(folder / "b.F25", large);
        WriteBytes(folder / "c.F25", F25Survey(2));
        const std::vector<BatchFile> files = BatchFiles((folder / "a.F25").string());
        ASSERT_EQ(files.size(), 3);

        int current = -1, pieces = 0;
        std::size_t largeRead = 0, toldWritten = 0;
        const BatchProgress progress{
            .Starting = [&](std::size_t i) { current = static_cast<int>(i); pieces = 0; },
            .Written = [&](std::size_t) { ++toldWritten; },
            .Bytes = [&](std::size_t count) {
                ++pieces;
                if (current == 1) largeRead += count;
            },
            .Stop = [&] { return current == c.stopIn && pieces >= c.afterPieces; }};
        SettingsRecord settings;
        EXPECT_EQ(ConvertBatch(settings, FileType::DynatestF25, files, progress), c.written);
        EXPECT_EQ(toldWritten, c.written);

        std::set<std::string> expected = {"a.F25", "b.F25", "c.F25"};
        for (std::size_t i = 0; i < c.written; ++i) expected.insert(std::filesystem::path(files[i].Output).filename().string());
        EXPECT_EQ(FileNames(folder.Path()), expected);
        // A stop inside the large file ends its reading there, not at its end.
        if (c.stopIn == 1) {
            EXPECT_LT(largeRead, large.size() / 4);
        }
    }
}

// Reading on the thread of a live ReadingCheck calls it every 1024 lines and before each piece of
// a file, and what it throws ends the reading there.
TEST(BatchStop, ReadingWhileACheckLivesIsInterruptedByIt)
{
    struct Stopped {};
    // The lines there are, whether a check lives, the line the reading ends at (0: read whole).
    const std::tuple<int, bool, int> cases[] = {{1023, true, 0}, {1024, true, 1024}, {5000, true, 1024}, {5000, false, 0}};
    for (const auto& [count, checked, endsAt] : cases) {
        std::string text;
        for (int i = 0; i < count; ++i) text += "line\r\n";
        TempDir folder;
        WriteBytes(folder / "lines.txt", text);
        std::optional<ReadingCheck> check;
        if (checked) check.emplace([] { throw Stopped(); });
        NativeLines lines(text);
        std::string_view line;
        int read = 0;
        try {
            while (lines.Next(line)) ++read;
            EXPECT_EQ(endsAt, 0) << count;
        } catch (const Stopped&) {
            EXPECT_EQ(lines.Number(), endsAt) << count;
        }
        EXPECT_EQ(read, endsAt ? endsAt - 1 : count) << count;
        ByteSource file = ByteSource::OpenFile((folder / "lines.txt").string());
        bool stopped = false;
        try {
            EXPECT_EQ(ReadAllText(file), text);
        } catch (const Stopped&) {
            stopped = true;
        }
        EXPECT_EQ(stopped, checked) << count;
    }
}

// The second output is a named pipe no one reads, where the run waits until a signal ends it.
TEST(BatchStop, FilesWrittenBeforeASignalAreListed)
{
    const struct {
        std::vector<std::string> args;
        const char* written;
        const char* pipe;  // in out/
        std::string listed;
    } cases[] = {
        {{"convert", "-t", "f25", "--output-dir", "out", "a.F25", "b.F25"}, "a.DDX", "b.DDX", "a.F25 -> out/a.DDX\n"},
        {{"batch", "-t", "f25", "--output-dir", "out", "a.F25"}, "acvt.DDX", "bcvt.DDX", "./a.F25 -> out/acvt.DDX\n"},
    };
    for (const auto& c : cases)
        for (const int signal : {SIGTERM, SIGINT}) {
            SCOPED_TRACE(c.args[0] + " " + std::to_string(signal));
            TempDir dir;
            WriteBytes(dir / "a.F25", F25Survey(1));
            WriteBytes(dir / "b.F25", F25Survey(1));
            fs::create_directory(dir / "out");
            ASSERT_EQ(::mkfifo((dir / "out" / c.pipe).c_str(), 0644), 0);
            std::vector<std::string> args = {"--settings", "s.bag"};
            args.insert(args.end(), c.args.begin(), c.args.end());
            const int pid = StartVantrel(args, dir.Path(), dir / "err", dir / "listed");
            // A listing held back never comes: the wait ends after a while, and the test fails.
            for (int wait = 0; wait < 1000 && !(fs::exists(dir / "listed") && fs::file_size(dir / "listed") > 0); ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            ::kill(pid, signal);
            const int status = WaitForVantrel(pid);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
            EXPECT_EQ(ReadBytes(dir / "listed"), c.listed);
            EXPECT_EQ(FileNames(dir / "out"), (std::set<std::string>{c.written, c.pipe}));
        }
}

}  // namespace
}  // namespace vantrel::test
