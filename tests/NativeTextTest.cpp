// Reading native files: line ends, and large files whose pages are given back as they are read.

#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "import/NativeText.h"
#include "import/ReadError.h"

namespace vantrel {
namespace {

std::vector<std::string> AllLines(NativeLines lines)
{
    std::vector<std::string> all;
    std::string_view line;
    while (lines.Next(line)) all.emplace_back(line);
    return all;
}

TEST(NativeLines, EndAtCarriageReturnsOnly)
{
    EXPECT_EQ(AllLines(NativeLines("a\r\nb\rc\nd\r\r\ne")),
              (std::vector<std::string>{"a", "b", "c\nd", "", "e"}));
    EXPECT_EQ(AllLines(NativeLines("last\r\n")), (std::vector<std::string>{"last"}));
    EXPECT_TRUE(AllLines(NativeLines("")).empty());
}

TEST(NativeLines, ALargeMappedFileReadsWholeAndStaysReadableBehindTheReader)
{
    test::TempDir folder;
    std::string text;
    for (int i = 0; i < 400000; ++i) text += "line " + std::to_string(i) + " of a file larger than one release step\r\n";
    ASSERT_GT(text.size(), 16u << 20);
    test::WriteBytes(folder / "big.txt", text);

    const FileBytes file((folder / "big.txt").string());
    NativeLines lines(file);
    std::string_view line, first;
    int count = 0;
    while (lines.Next(line)) {
        if (count == 0) first = line;
        ++count;
    }
    EXPECT_EQ(count, 400000);
    EXPECT_EQ(line, "line 399999 of a file larger than one release step");
    EXPECT_EQ(first, "line 0 of a file larger than one release step");  // given back, read again
    EXPECT_EQ(file.View(), text);
}

TEST(FileBytes, NamesTheFileThatCannotBeRead)
{
    test::TempDir folder;
    try {
        FileBytes missing((folder / "gone.F25").string());
        FAIL() << "no error";
    } catch (const ReadError& e) {
        EXPECT_EQ(e.File(), (folder / "gone.F25").string());
        EXPECT_NE(e.Reason().find("cannot open"), std::string::npos);
    }
    EXPECT_THROW(FileBytes(folder.Path().string()), ReadError);  // a folder
    test::WriteBytes(folder / "empty.txt", "");
    EXPECT_EQ(FileBytes((folder / "empty.txt").string()).View(), "");
}

}  // namespace
}  // namespace vantrel
