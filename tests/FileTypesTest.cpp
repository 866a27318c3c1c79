// File type codes and the names of the files a conversion reads and writes.

#include <gtest/gtest.h>

#include <algorithm>

#include "support/TestSupport.h"
#include "core/OutputNames.h"
#include "import/FileFormats.h"

namespace vantrel {
namespace {

TEST(FileTypes, NamesAndShortNamesMatchTheirCodes)
{
    EXPECT_EQ(FileTypeName(0), "PDDX");
    EXPECT_EQ(FileTypeName(2), "Dynatest F20 or FWD");
    EXPECT_EQ(FileTypeName(5), "Carl Bro History");
    EXPECT_EQ(FileTypeName(10), "JILS CFG");
    EXPECT_EQ(FileTypeName(11), "");
    EXPECT_EQ(FileTypeName(-1), "");
    EXPECT_EQ(FileTypeFromText("kuab"), 8);
    EXPECT_EQ(FileTypeFromText("KUAB-INI"), 9);
    EXPECT_EQ(FileTypeFromText("jils-cfg"), 10);
    EXPECT_EQ(FileTypeFromText("5"), 5);
    EXPECT_EQ(FileTypeFromText(" 3 "), 3);
    EXPECT_FALSE(FileTypeFromText("11").has_value());
    EXPECT_FALSE(FileTypeFromText("03").has_value());
    EXPECT_FALSE(FileTypeFromText("fwd").has_value());
}

TEST(FileTypes, TheDialogsOfferWhatHasAReader)
{
    std::vector<int> settingsOrder;
    for (const FileFormat& format : FileFormats()) {
        EXPECT_EQ(format.OpenOption, format.Read != nullptr) << format.Name;
        if (format.SettingsPosition > 0) settingsOrder.push_back(format.SettingsPosition * 100 + format.Code);
    }
    std::sort(settingsOrder.begin(), settingsOrder.end());
    EXPECT_EQ(settingsOrder, (std::vector<int>{102, 201, 303, 406, 508, 600}));  // F20, F25, Carl Bro, JILS, KUAB, PDDX
}

TEST(FileTypes, TheReadmeListsEveryFormatOfTheTable)
{
    const std::string readme = test::ReadBytes(std::filesystem::path(VANTREL_EXAMPLES).parent_path() / "README.md");
    for (const FileFormat& format : FileFormats()) {
        const std::string shortName = format.ShortName ? "`" + std::string(format.ShortName) + "`" : "\xE2\x80\x94";
        const std::string row = "| " + std::to_string(format.Code) + " | " + shortName + " | " + format.Name + " |";
        EXPECT_NE(readme.find(row), std::string::npos) << row;
    }
}

TEST(FileTypes, OutputNamesCutAtTheLastDotAnywhereInThePath)
{
    EXPECT_EQ(FileExtensionOf("/data/run.v2/A.fwd"), "fwd");
    EXPECT_EQ(FileExtensionOf("README"), "README");
    EXPECT_EQ(ReviewOutputName("/data/road.v2/A.FWD"), "/data/road.v2/A.DDX");
    EXPECT_EQ(ReviewOutputName("/data.v1/B"), "/data.DDX");
    EXPECT_EQ(ReviewOutputName("B"), "B.DDX");
    EXPECT_EQ(ConvertedOutputName("/data/run1.fwd"), "/data/run1cvt.DDX");
    EXPECT_EQ(ConvertedOutputName("/data/run1"), "/data/run1cvt.DDX");
    EXPECT_EQ(ConvertedOutputName("/a.b/file"), "/acvt.DDX");
    EXPECT_EQ(ConvertedOutputName("ROAD1.FWD"), "ROAD1cvt.DDX");
}

TEST(FileTypes, ListsFilesWhoseExtensionFirstOccursAtTheirEnd)
{
    test::TempDir folder;
    for (const char* name : {"A.FWD", "b.fwd", "FWDLIST.FWD", "C.DAT", "x.FWD.bak", "FWD"})
        test::WriteBytes(folder / name, "");
    std::filesystem::create_directory(folder / "D.FWD");
    std::vector<std::string> names = ListFilesWithExtension(folder.Path(), "FWD");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"A.FWD", "FWD", "b.fwd"}));
    EXPECT_TRUE(ListFilesWithExtension(folder / "missing", "FWD").empty());
}

}  // namespace
}  // namespace vantrel
