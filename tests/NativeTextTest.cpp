// Reading inputs: line ends, the longest line, and files that change while they are read.

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <vector>

#include "base/NativeText.h"
#include "base/ReadError.h"
#include "support/TestSupport.h"

namespace vantrel {
namespace {

std::vector<std::string> AllLines(NativeLines&& lines)
{
    std::vector<std::string> all;
    std::string_view line;
    while (lines.Next(line)) all.emplace_back(line);
    return all;
}

// The same lines whether the bytes are in memory or read from a file through the buffer, also
// when the file is larger than the buffer and a CR or its LF falls on a refill.
// With lineFeedEndsLines (profile files) a line feed alone ends a line too.
TEST(NativeLines, EndAtCarriageReturnsOnlyInMemoryAndInFiles)
{
    const std::string longest(kMaxLineLength, 'x');
    std::vector<std::tuple<std::string, bool, std::vector<std::string>>> cases = {
        {"a\r\nb\rc\nd\r\r\ne", false, {"a", "b", "c\nd", "", "e"}}, {"last\r\n", false, {"last"}}, {"", false, {}},
        {"\n\r\n", false, {"\n"}}, {longest + "\r\n" + longest, false, {longest, longest}},
        {"a\r\nb\rc\nd\r\r\ne\n", true, {"a", "b", "c", "d", "", "e"}}, {"\n\r\n\n\r", true, {"", "", "", ""}},
        {longest + "\n" + longest, true, {longest, longest}}, {"", false, {}}, {"", true, {}}};
    for (int i = 0; i < 60000; ++i) {  // more than two buffers
        for (const bool lineFeed : {false, true}) {
            auto& [bytes, lf, lines] = cases[cases.size() - (lineFeed ? 1 : 2)];
            lines.push_back(std::string(static_cast<std::size_t>(i % 97), 'a') + std::to_string(i));
            bytes += lines.back() + (i % 3 == 0 ? "\r" : i % 3 == 1 || !lineFeed ? "\r\n" : "\n");
        }
    }
    test::TempDir folder;
    for (const auto& [bytes, lineFeed, lines] : cases) {
        ByteSource memory = ByteSource::InMemory("t", bytes);
        EXPECT_EQ(AllLines(NativeLines(memory, lineFeed)), lines) << bytes.size();
        if (!lineFeed) {
            EXPECT_EQ(AllLines(NativeLines(bytes)), lines) << bytes.size();
        }
        test::WriteBytes(folder / "in.txt", bytes);
        ByteSource file = ByteSource::OpenFile((folder / "in.txt").string());
        EXPECT_EQ(AllLines(NativeLines(file, lineFeed)), lines) << bytes.size();
    }
}

// A line beyond the limit stops the reading at its own number, before the rest of it is read:
// an endless input cannot exhaust the memory.
TEST(NativeLines, ALineLongerThanTheLimitStopsTheReadingAtThatLine)
{
    const std::string tooLong(kMaxLineLength + 1, 'x'), longest(kMaxLineLength, 'y');
    test::TempDir folder;
    test::WriteBytes(folder / "long.F25", "one\r\ntwo\r\n" + tooLong + "\r\nfour\r\n");
    const auto stopsAt = [](NativeLines lines, int expected) {
        std::string_view line;
        for (int n = 1; n < expected; ++n) EXPECT_TRUE(lines.Next(line));
        const ReadError error = test::ReadFailure([&] { lines.Next(line); });
        EXPECT_EQ(error.Line(), expected);
        EXPECT_EQ(error.Reason(), "the line is longer than 32767 characters");
    };
    const std::string bytes = test::ReadBytes(folder / "long.F25");
    stopsAt(NativeLines(bytes), 3);
    ByteSource file = ByteSource::OpenFile((folder / "long.F25").string());
    stopsAt(NativeLines(file), 3);
    test::WriteBytes(folder / "long.DDX", "one\ntwo\r" + tooLong + "\nfour\n");
    ByteSource profile = ByteSource::OpenFile((folder / "long.DDX").string());
    stopsAt(NativeLines(profile, true), 3);
    ByteSource zeros = ByteSource::OpenFile("/dev/zero");
    stopsAt(NativeLines(zeros), 1);

    // Whole texts count lines by the ends of their format: CR only, or LF too.
    const std::vector<std::tuple<std::string, bool, int>> texts = {
        {"a\nb\r\n" + tooLong, true, 3}, {"a\nb\r\n" + tooLong, false, 2}, {"a\r\n\r\n" + tooLong + "\r\n", false, 3},
        {longest + "\r\n" + longest, true, 0}, {std::string(kMaxLineLength - 1, 'y') + "\n" + longest, false, 1}};
    for (const auto& [text, lineFeed, failing] : texts) {
        ByteSource source = ByteSource::InMemory("t", text);
        if (failing == 0) EXPECT_EQ(ReadAllText(source, lineFeed), text);
        else EXPECT_EQ(test::ReadFailure([&] { ReadAllText(source, lineFeed); }).Line(), failing) << lineFeed;
    }
    ByteSource endless = ByteSource::OpenFile("/dev/zero");
    EXPECT_EQ(test::ReadFailure([&] { ReadAllText(endless, true); }).Line(), 1);
}

TEST(ByteSource, AFileThatShrinksOrGrowsWhileItIsReadIsAnError)
{
    test::TempDir folder;
    const auto path = folder / "changing.F25";
    std::string text;
    while (text.size() < (1 << 20)) text += "5301,1,2,3\r\n";
    for (const bool grow : {false, true}) {
        test::WriteBytes(path, text);
        ByteSource source = ByteSource::OpenFile(path.string());
        char buffer[4096];
        ASSERT_EQ(source.Read(buffer, sizeof buffer), sizeof buffer);
        std::filesystem::resize_file(path, grow ? text.size() * 2 : text.size() / 2);
        const ReadError error = test::ReadFailure([&] {
            while (source.Read(buffer, sizeof buffer) > 0) {
            }
        });
        EXPECT_EQ(error.File(), path.string());
        EXPECT_EQ(error.Reason(), "the file changed while it was read");
    }
    // Unchanged, and read again from the start, it is whole both times.
    test::WriteBytes(path, text);
    ByteSource source = ByteSource::OpenFile(path.string());
    EXPECT_EQ(ReadAllText(source, false).size(), text.size());
    source.Rewind();
    EXPECT_EQ(ReadAllText(source, false).size(), text.size());

    const ReadError missing = test::ReadFailure([&] { ByteSource::OpenFile((folder / "gone.F25").string()); });
    EXPECT_EQ(missing.File(), (folder / "gone.F25").string());
    EXPECT_EQ(missing.Reason(), "cannot open: No such file or directory");
    EXPECT_EQ(test::ReadFailure([&] { ByteSource::OpenFile(folder.Path().string()); }).Reason(),
              "it is a folder, not a file");
    EXPECT_FALSE(LocalModificationDay((folder / "gone.F25").string()));
}

// The local calendar day, also just after local midnight.
TEST(ByteSource, TellsTheLocalDayAFileWasLastWritten)
{
    test::TempDir folder;
    test::WriteBytes(folder / "FVO.INI", "");
    for (const int hour : {0, 12, 23}) {
        std::tm local{};
        local.tm_year = 2004 - 1900, local.tm_mon = 3, local.tm_mday = 7, local.tm_hour = hour, local.tm_min = 30;
        local.tm_isdst = -1;
        const std::time_t when = std::mktime(&local);
        std::filesystem::last_write_time(folder / "FVO.INI",
                                         std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(when)));
        EXPECT_EQ(LocalModificationDay((folder / "FVO.INI").string()),
                  std::chrono::year_month_day(std::chrono::year{2004}, std::chrono::April, std::chrono::day{7}))
            << hour;
    }
}

}  // namespace
}  // namespace vantrel
