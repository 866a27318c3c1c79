// Files converted several at a time: whatever finishes first, what is told and written is told
// and written in the files' order, and the first failure ends the batch as it does one file at a
// time: the files before it written, none after it, and no file left beside an output.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "core/Conversion.h"
#include "core/InOrder.h"
#include "support/TestSupport.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

TEST(BatchJobs, ResultsAreTakenInOrderOnTheCallingThreadAndTakingCanEndIt)
{
    for (const unsigned jobs : {1u, 2u, 3u, 8u}) {
        SCOPED_TRACE(jobs);
        const std::thread::id caller = std::this_thread::get_id();
        std::vector<std::string> seen;
        std::atomic<int> begun = 0;
        RunInOrder<int>(20, jobs,
                        {.Work = [&](std::size_t i) {
                             ++begun;
                             if (i == 7) throw std::runtime_error("seven");
                             // The early items take longest, so that later ones are done first.
                             std::this_thread::sleep_for(std::chrono::microseconds(200 * (20 - i)));
                             return static_cast<int>(i * i);
                         },
                         .Before = [&](std::size_t i) { seen.push_back("before " + std::to_string(i)); },
                         .Take = [&](std::size_t i, std::optional<int>& result, std::exception_ptr error) {
                             EXPECT_EQ(std::this_thread::get_id(), caller);
                             try {
                                 if (error) std::rethrow_exception(error);
                                 seen.push_back(std::to_string(i) + " = " + std::to_string(*result));
                             } catch (const std::exception& e) {
                                 seen.push_back(std::to_string(i) + " failed: " + e.what());
                             }
                             return i < 12;
                         }});
        std::vector<std::string> expected;
        for (std::size_t i = 0; i <= 12; ++i) {
            expected.push_back("before " + std::to_string(i));
            expected.push_back(i == 7 ? "7 failed: seven" : std::to_string(i) + " = " + std::to_string(i * i));
        }
        EXPECT_EQ(seen, expected);
        // Work runs at most four items a thread ahead of what was taken.
        EXPECT_LE(begun, static_cast<int>(13 + 4 * jobs));
        EXPECT_GE(begun, 13);
    }
}

// What a batch told, wrote and threw, the same whatever the number of files converted at once.
struct Outcome {
    std::vector<std::string> told;
    std::set<std::string> files;
    std::string failure;
    std::size_t written = 0;
    bool operator==(const Outcome&) const = default;
    friend void PrintTo(const Outcome& o, std::ostream* out)
    {
        *out << testing::PrintToString(o.told) << " files " << testing::PrintToString(o.files) << " failure "
             << o.failure << " written " << o.written;
    }
};

// Converts the files in the order given; a file named "-" is passed over.
Outcome Batch(unsigned jobs, const std::vector<std::pair<std::string, std::string>>& inputs)
{
    TempDir folder;
    std::vector<BatchFile> files;
    for (const auto& [name, bytes] : inputs) {
        WriteBytes(folder / name, bytes);
        const std::string root = fs::path(name).stem().string();
        files.push_back({name, (folder / name).string(), (folder / (root + "cvt.DDX")).string(), std::nullopt,
                         bytes == "-" ? "passed over" : ""});
    }
    Outcome outcome;
    const auto tell = [&](const std::string& what, std::size_t i) { outcome.told.push_back(what + " " + files[i].Name); };
    const BatchProgress progress{
        .Starting = [&](std::size_t i) { tell("starting", i); },
        .Skipped = [&](std::size_t i) { tell("skipped", i); },
        .Written = [&](std::size_t i) { tell("written", i), ++outcome.written; },
        .Read = [&](std::size_t i, const ReadReport& report) {
            tell("read " + std::to_string(report.Lines.Count()) + " warnings", i);
        }};
    try {
        EXPECT_EQ(ConvertBatch(SettingsRecord{}, FileType::DynatestF25, files, progress, jobs), outcome.written);
    } catch (const std::exception& e) {
        outcome.failure = std::string(e.what()).substr(folder.Path().string().size());
    }
    outcome.files = FileNames(folder.Path());
    return outcome;
}

TEST(BatchJobs, SeveralAtATimeTellWriteAndFailAsOneAtATime)
{
    const std::string tooWide = "5001" + std::string(40, ',') + "x\r\n";
    // Files of very different sizes, so that with several at a time a later file is often done
    // before an earlier one; one is passed over, one gives a warning, and g.F25 fails.
    const std::vector<std::vector<std::pair<std::string, std::string>>> batches = {
        {{"a.F25", F25Survey(20000)}, {"b.F25", F25Survey(3)}, {"c.F25", "5303,x,N0,N0,N0\r\n"},
         {"d.F25", F25Survey(5000)}, {"e.F25", "-"}, {"f.F25", F25Survey(2)}, {"g.F25", tooWide},
         {"h.F25", F25Survey(1)}, {"i.F25", F25Survey(1)}},
        {{"a.F25", F25Survey(1)}, {"b.F25", F25Survey(2)}, {"c.F25", F25Survey(3)}}};
    for (const auto& inputs : batches) {
        const Outcome alone = Batch(1, inputs);
        for (const unsigned jobs : {2u, 4u}) {
            SCOPED_TRACE(jobs);
            EXPECT_EQ(Batch(jobs, inputs), alone);
        }
    }
    // What one at a time does, which the others must match: it ends at g.F25, having written the
    // files before it and nothing beside them.
    const Outcome alone = Batch(1, batches.front());
    EXPECT_EQ(alone.failure, "/g.F25:1: the line has more than 40 fields");
    EXPECT_EQ(alone.told.back(), "starting g.F25");
    EXPECT_EQ(alone.written, 5u);
    EXPECT_EQ(alone.files.size(), 9u + 5u);
    EXPECT_EQ(alone.files.count("hcvt.DDX"), 0u);
}

// The command line says the same, in the same order, and leaves the same files, whatever -j.
using BatchJobsCommand = ProgramTest;

TEST_F(BatchJobsCommand, SaysAndWritesTheSameWhateverTheNumberAtATime)
{
    const std::string tooWide = "5001" + std::string(40, ',') + "x\r\n";
    const std::vector<std::pair<std::string, std::string>> inputs = {
        {"a.F25", F25Survey(20000)}, {"b.F25", "5303,x,N0,N0,N0\r\n"}, {"c.F25", tooWide}, {"d.F25", F25Survey(2)}};
    const std::vector<std::vector<std::string>> commands = {
        {"convert", "-t", "f25", "--output-dir", "out", "a.F25", "b.F25", "c.F25", "d.F25"},
        {"batch", "-t", "f25", "--output-dir", "out", "a.F25"}};
    for (const std::vector<std::string>& command : commands) {
        std::vector<std::string> seen;
        for (const char* jobs : {"1", "2", "3"}) {
            std::filesystem::remove_all(dir / "out");
            for (const auto& [name, bytes] : inputs) WriteBytes(dir / name, bytes);
            std::vector<std::string> args = command;
            args.insert(args.begin() + 1, {"-j", jobs});
            const RunResult run = Run(args);
            std::string said = std::to_string(run.status) + "\n" + run.out + run.err;
            for (const std::string& name : FileNames(dir / "out")) said += name + "\n";
            seen.push_back(said);
        }
        EXPECT_EQ(seen[1], seen[0]) << command[0];
        EXPECT_EQ(seen[2], seen[0]) << command[0];
        EXPECT_NE(seen[0].find("c.F25:1:"), std::string::npos) << seen[0];
    }
}

}  // namespace
}  // namespace vantrel::test
