// Reading native files: line ends, the longest line, and files that change while they are read.

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "support/TestSupport.h"
#include "base/NativeText.h"
#include "base/ReadError.h"

namespace vantrel {
namespace {

std::vector<std::string> AllLines(NativeLines&& lines)
{
    std::vector<std::string> all;
    std::string_view line;
    while (lines.Next(line)) all.emplace_back(line);
    return all;
}

// The same lines whether the bytes are in memory or read from a file through the buffer.
TEST(NativeLines, EndAtCarriageReturnsOnlyInMemoryAndInFiles)
{
    const std::string longLine(kMaxLineLength, 'x');
    const struct {
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"a\r\nb\rc\nd\r\r\ne", {"a", "b", "c\nd", "", "e"}},
        {"last\r\n", {"last"}},
        {"", {}},
        {"\n\r\n", {"\n"}},
        {longLine + "\r\n" + longLine, {longLine, longLine}},
    };
    test::TempDir folder;
    for (const auto& c : cases) {
        EXPECT_EQ(AllLines(NativeLines(c.bytes)), c.lines) << c.bytes.size();
        test::WriteBytes(folder / "in.txt", c.bytes);
        ByteSource file = ByteSource::OpenFile((folder / "in.txt").string());
        EXPECT_EQ(AllLines(NativeLines(file)), c.lines) << c.bytes.size();
    }
}

TEST(NativeLines, AFileLargerThanTheBufferReadsWholeWithLineEndsSplitAcrossRefills)
{
    test::TempDir folder;
    std::string text;
    std::vector<std::string> expected;
    // Lengths that put CR, and the LF after it, on every side of a refill boundary.
    for (int i = 0; i < 60000; ++i) {
        expected.push_back(std::string(static_cast<std::size_t>(i % 97), 'a' + i % 26) + std::to_string(i));
        text += expected.back() + (i % 3 == 0 ? "\r" : "\r\n");
    }
    ASSERT_GT(text.size(), 2u << 20);
    test::WriteBytes(folder / "big.txt", text);
    ByteSource file = ByteSource::OpenFile((folder / "big.txt").string());
    EXPECT_EQ(AllLines(NativeLines(file)), expected);
}

TEST(NativeLines, ALineLongerThanTheLimitStopsTheReadingAtThatLine)
{
    const std::string tooLong(kMaxLineLength + 1, 'x');
    test::TempDir folder;
    const std::string bytes = "one\r\ntwo\r\n" + tooLong + "\r\nfour\r\n";
    test::WriteBytes(folder / "long.F25", bytes);
    const auto expectStopAtLineThree = [](NativeLines lines) {
        std::string_view line;
        EXPECT_TRUE(lines.Next(line));
        EXPECT_TRUE(lines.Next(line));
        const ReadError error = test::ReadFailure([&] { lines.Next(line); });
        EXPECT_EQ(error.Line(), 3);
        EXPECT_EQ(error.Reason(), "the line is longer than 32767 characters");
    };
    expectStopAtLineThree(NativeLines(bytes));
    ByteSource file = ByteSource::OpenFile((folder / "long.F25").string());
    expectStopAtLineThree(NativeLines(file));
    ByteSource whole = ByteSource::OpenFile((folder / "long.F25").string());
    EXPECT_EQ(test::ReadFailure([&] { ReadAllText(whole, false); }).Line(), 3);
}

TEST(NativeLines, AnEndlessInputWithoutLineEndsStopsAtTheLimit)
{
    ByteSource zeros = ByteSource::OpenFile("/dev/zero");
    NativeLines lines(zeros);
    std::string_view line;
    const ReadError error = test::ReadFailure([&] { lines.Next(line); });
    EXPECT_EQ(error.File(), "/dev/zero");
    EXPECT_EQ(error.Line(), 1);

    ByteSource again = ByteSource::OpenFile("/dev/zero");
    EXPECT_EQ(test::ReadFailure([&] { ReadAllText(again, true); }).Line(), 1);
}

TEST(ReadAllText, CountsLinesByTheEndsOfItsFormat)
{
    const std::string tooLong(kMaxLineLength + 1, 'x');
    const struct {
        std::string bytes;
        bool lineFeed;
        int failingLine;  // 0: read whole
    } cases[] = {
        {"a\nb\r\n" + tooLong, true, 3},
        {"a\nb\r\n" + tooLong, false, 2},
        {"a\r\n\r\n" + tooLong + "\r\n", false, 3},
        {std::string(kMaxLineLength, 'y') + "\r\n" + std::string(kMaxLineLength, 'y'), true, 0},
        {std::string(kMaxLineLength - 1, 'y') + "\n" + std::string(kMaxLineLength, 'y'), false, 1},
    };
    for (const auto& c : cases) {
        ByteSource source = ByteSource::InMemory("t", c.bytes);
        if (c.failingLine == 0) {
            EXPECT_EQ(ReadAllText(source, c.lineFeed), c.bytes);
        } else {
            EXPECT_EQ(test::ReadFailure([&] { ReadAllText(source, c.lineFeed); }).Line(), c.failingLine)
                << c.bytes.substr(0, 8) << " " << c.lineFeed;
        }
    }
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
}

TEST(ByteSource, NamesTheFileThatCannotBeOpened)
{
    test::TempDir folder;
    const ReadError missing = test::ReadFailure([&] { ByteSource::OpenFile((folder / "gone.F25").string()); });
    EXPECT_EQ(missing.File(), (folder / "gone.F25").string());
    EXPECT_NE(missing.Reason().find("cannot open"), std::string::npos);
    EXPECT_EQ(test::ReadFailure([&] { ByteSource::OpenFile(folder.Path().string()); }).Reason(),
              "it is a folder, not a file");
    test::WriteBytes(folder / "empty.txt", "");
    EXPECT_EQ(ReadFileBytes((folder / "empty.txt").string()), "");
}

}  // namespace
}  // namespace vantrel
