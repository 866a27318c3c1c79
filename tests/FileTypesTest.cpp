// File type codes and the names of the files a conversion reads and writes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <sstream>
#include <tuple>

#include "support/TestSupport.h"
#include "core/OutputNames.h"
#include "import/FileFormats.h"

namespace vantrel {
namespace {

// Codes and short names in any case, blanks around a code; nothing else.
TEST(FileTypes, TextNamesACodeOrAShortName)
{
    for (const auto& [text, code] : std::vector<std::pair<std::string, std::optional<std::int32_t>>>{
             {"kuab", 8}, {"KUAB-INI", 9}, {"jils-cfg", 10}, {"5", 5}, {" 3 ", 3}, {"11", 11}, {"JILS-THY", 11}, {"03", {}}, {"fwd", {}}, {"-1", {}},
             {std::to_string(kFormatCount), {}}})  // the first code past the table
    {
        const std::optional<FileType> type = FileTypeFromText(text);
        EXPECT_EQ(type ? std::optional(CodeOf(*type)) : std::nullopt, code) << text;
    }
}

// The README's table of formats may leave a new format out, but a row it has is right: its code,
// short name and name are the table's.
TEST(FileTypes, TheReadmeNamesFormatsAsTheTableDoes)
{
    std::istringstream readme(test::ReadBytes(test::kExamples.parent_path() / "README.md"));
    int rows = 0;
    for (std::string line; std::getline(readme, line);) {
        int code = -1;
        if (std::sscanf(line.c_str(), "| %d |", &code) != 1) continue;
        const FileFormat* format = FindFileFormat(static_cast<FileType>(code));
        ASSERT_NE(format, nullptr) << line;
        const std::string shortName = format->ShortName ? "`" + std::string(format->ShortName) + "`" : "\xE2\x80\x94";
        EXPECT_TRUE(line.starts_with("| " + std::to_string(code) + " | " + shortName + " | " + format->Name + " |")) << line;
        ++rows;
    }
    EXPECT_GT(rows, 0);
}

// The root is the file's own name up to its last dot, in the input's folder: a dot in a folder's
// name, or one that starts the name, does not count.
TEST(FileTypes, OutputNamesCutTheFileNameAtItsLastDot)
{
    EXPECT_EQ(FileExtensionOf("/data/run.v2/A.fwd"), "fwd");
    EXPECT_EQ(FileExtensionOf("README"), "README");
    for (const auto& [source, review, converted] : std::vector<std::tuple<const char*, const char*, const char*>>{
             {"/data/road.v2/A.FWD", "/data/road.v2/A.DDX", "/data/road.v2/Acvt.DDX"},
             {"/data.v1/B", "/data.v1/B.DDX", "/data.v1/Bcvt.DDX"}, {"B", "B.DDX", "Bcvt.DDX"},
             {"d.v2/RUN1", "d.v2/RUN1.DDX", "d.v2/RUN1cvt.DDX"}, {".hidden", ".hidden.DDX", ".hiddencvt.DDX"},
             {"a/.v.F25", "a/.v.DDX", "a/.vcvt.DDX"}, {"run.1.F25", "run.1.DDX", "run.1cvt.DDX"}})
    {
        EXPECT_EQ(ReviewOutputName(source), review);
        EXPECT_EQ(ConvertedOutputName(source), converted);
    }
}

// Every name that ends in the extension, letter case ignored, whatever the name holds before
// it; an empty extension takes the names that end in ".".
TEST(FileTypes, NamesEndingInTheExtension)
{
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"A.FWD", "FWD", true}, {"b.fwd", "FWD", true}, {"FWDLIST.FWD", "fwd", true}, {"FWD", "FWD", true},
        {"F25_FWD.FWD", "FWD", true}, {"C.DAT", "FWD", false}, {"x.FWD.bak", "FWD", false},
        {"RUN.", "", true}, {"RUN", "", false}};
    for (const auto& [name, extension, ends] : cases) EXPECT_EQ(EndsInExtension(name, extension), ends) << name;
}

}  // namespace
}  // namespace vantrel
