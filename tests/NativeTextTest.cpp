// Reading inputs: line ends, byte-order marks, UTF-16 and NUL bytes, the longest line, and files
// that change while they are read.

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <vector>

#include "base/NativeText.h"
#include "base/Platform.h"
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
// when the file is larger than the buffer and a CR or its LF falls on a refill. A line ends at CR
// LF, CR or LF, as files written on any system have them.
TEST(NativeLines, EndAtCarriageReturnsLineFeedsOrBothInMemoryAndInFiles)
{
    const std::string longest(kMaxLineLength, 'x');
    std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"a\r\nb\rc\nd\r\r\ne\n", {"a", "b", "c", "d", "", "e"}}, {"last\r\n", {"last"}}, {"", {}},
        {"\n\r\n\n\r", {"", "", "", ""}}, {longest + "\r\n" + longest, {longest, longest}},
        {longest + "\n" + longest, {longest, longest}}, {"", {}}};
    for (int i = 0; i < 60000; ++i) {  // more than two buffers
        auto& [bytes, lines] = cases.back();
        lines.push_back(std::string(static_cast<std::size_t>(i % 97), 'a') + std::to_string(i));
        bytes += lines.back() + (i % 3 == 0 ? "\r" : i % 3 == 1 ? "\r\n" : "\n");
    }
    test::TempDir folder;
    for (const auto& [bytes, lines] : cases) {
        ByteSource memory = ByteSource::InMemory("t", bytes);
        EXPECT_EQ(AllLines(NativeLines(memory)), lines) << bytes.size();
        EXPECT_EQ(AllLines(NativeLines(bytes)), lines) << bytes.size();
        test::WriteBytes(folder / "in.txt", bytes);
        ByteSource file = ByteSource::OpenFile((folder / "in.txt").string());
        EXPECT_EQ(AllLines(NativeLines(file)), lines) << bytes.size();
    }
}

// UTF-8 and UTF-16 (either byte order, with a byte-order mark or without) are read as the Latin-1
// text they hold, characters beyond Latin-1 as "?" with one warning; a byte that is not UTF-8 in a
// UTF-8 file, and any byte of a file that is not UTF-8, is the Latin-1 character it is. NUL bytes
// are removed from lines, each such line warned of. The same in memory, from a file read in pieces
// (a character split between them), and as whole text.
TEST(NativeLines, ReadUtf8AndUtf16AsLatin1TextAndRemoveNulBytes)
{
    const auto utf16 = [](const std::u16string& text, bool big, bool mark = true) {
        std::string bytes = !mark ? "" : big ? "\xFE\xFF" : "\xFF\xFE";
        for (const char16_t unit : text) {
            const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
            bytes += big ? std::string{high, low} : std::string{low, high};
        }
        return bytes;
    };
    std::u16string many;
    std::string manyUtf8;
    for (int i = 0; i < 40000; ++i) {
        many += u"J\u00B5m " + std::u16string(i % 7 == 0 ? u"\u2013" : u"") + u"5\r\n";
        manyUtf8 += "J\xC2\xB5m " + std::string(i % 7 == 0 ? "\xE2\x80\x93" : "") + "5\r\n";
    }
    const std::string manyLatin1 = [&] {
        std::string text;
        for (int i = 0; i < 40000; ++i) text += "J\xB5m " + std::string(i % 7 == 0 ? "?" : "") + "5\r\n";
        return text;
    }();
    const struct {
        std::string bytes, text;
        std::vector<int> warnedLines;  // 0: the file as a whole
    } cases[] = {
        {"\xEF\xBB\xBF[Units]\r\nA=1\r\n", "[Units]\r\nA=1\r\n", {}},
        {"\xEF\xBB\xBF", "", {}},
        {utf16(u"D0 \u00B5m\r\n\U0001F600x\n", false), "D0 \xB5m\r\n?x\n", {0}},
        {utf16(u"a\rb", true), "a\rb", {}},
        {utf16(many, true), manyLatin1, {0}},
        {utf16(u"D0 \u00B5m\r\n", false, false), "D0 \xB5m\r\n", {}},
        {utf16(u"D0 \u00B5m\r\n", true, false), "D0 \xB5m\r\n", {}},
        {"J \xC2\xB5m \xC2\xB0" "C\r\nOperat\xC3\xB6r: \xE2\x82\xAC\r\n", "J \xB5m \xB0" "C\r\nOperat\xF6r: ?\r\n", {0}},
        {"\xEF\xBB\xBF\xB5m \xC2\xB5m\xC2", "\xB5m \xB5m\xC2", {}},
        {"Operat\xF6r \xC2\xB5m", "Operat\xF6r \xC2\xB5m", {}},
        {manyUtf8, manyLatin1, {0}},
        // A character cut by the end of the first piece read, which decides the encoding.
        {std::string(4095, 'a') + "\xC3\xA9\r\n", std::string(4095, 'a') + "\xE9\r\n", {}},
        {std::string("5002,\"\0\0\0\"\r\nok\r\n\0x\n", 19), "5002,\"\"\r\nok\r\nx\n", {1, 3}},
        // NUL bytes far into a line, and one just before a line end (lines are searched in blocks).
        {std::string(20, 'a') + '\0' + std::string(30, 'b') + "\r\n" + std::string(15, 'c') + '\0' + "\nd\n",
         std::string(20, 'a') + std::string(30, 'b') + "\r\n" + std::string(15, 'c') + "\nd\n", {1, 2}},
    };
    test::TempDir folder;
    for (const auto& c : cases) {
        test::WriteBytes(folder / "in.txt", c.bytes);
        const std::vector<std::string> lines = AllLines(NativeLines(c.text));
        for (const bool fromFile : {false, true}) {
            ByteSource source = fromFile ? ByteSource::OpenFile((folder / "in.txt").string()) : ByteSource::InMemory("t", c.bytes);
            ReadWarnings warnings;
            source.ReportTo(&warnings);
            EXPECT_EQ(AllLines(NativeLines(source)), lines) << fromFile << c.bytes.substr(0, 20);
            std::vector<int> warned;
            for (const LineWarning& warning : warnings.Listed()) warned.push_back(warning.Line);
            EXPECT_EQ(warned, c.warnedLines) << fromFile << c.bytes.substr(0, 20);
            source.Rewind();
            EXPECT_EQ(ReadAllText(source), c.text) << fromFile;
        }
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
    stopsAt(NativeLines(profile), 3);

    // Whole texts count lines the same way.
    const std::vector<std::pair<std::string, int>> texts = {
        {"a\nb\r\n" + tooLong, 3}, {"a\r\n\r\n" + tooLong + "\r\n", 3}, {"a\rb\n\r\n" + tooLong, 4},
        {longest + "\r\n" + longest, 0}, {std::string(kMaxLineLength - 1, 'y') + "\n" + longest, 0}};
    for (const auto& [text, failing] : texts) {
        ByteSource source = ByteSource::InMemory("t", text);
        if (failing == 0) EXPECT_EQ(ReadAllText(source), text);
        else EXPECT_EQ(test::ReadFailure([&] { ReadAllText(source); }).Line(), failing) << text.substr(0, 8);
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
    EXPECT_EQ(ReadAllText(source).size(), text.size());
    source.Rewind();
    EXPECT_EQ(ReadAllText(source).size(), text.size());

    EXPECT_EQ(test::ReadFailure([&] { ByteSource::OpenFile(folder.Path().string()); }).Reason(),
              "it is a folder, not a file");
    EXPECT_FALSE(LocalModificationDay((folder / "gone.F25").string()));
    // Closing says whether it worked: some file systems report a failed write only then.
    std::string error;
    EXPECT_TRUE(platform::CloseFile(platform::OpenForReading(path.string(), error), error)) << error;
    EXPECT_FALSE(platform::CloseFile(platform::kNoFile, error));
    EXPECT_NE(error, "");
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
