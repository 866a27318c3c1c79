// Every bundled example read as the files of other systems and writers have it: lines ended by
// line feeds or carriage returns alone, a UTF-8 byte-order mark, UTF-8, UTF-16 in either byte
// order with its mark, and little-endian UTF-16 without one. Each gives the same document as the
// example itself.

#include <gtest/gtest.h>

#include <filesystem>

#include "base/Latin1.h"
#include "support/TestSupport.h"

namespace vantrel::test {
namespace {

std::string Utf16(const std::string& latin1, bool bigEndian, bool mark = true)
{
    std::string bytes = !mark ? "" : bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : latin1) bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return bytes;
}

using Encodings = ProgramTest;

TEST_F(Encodings, EveryExampleReadsTheSameWithOtherLineEndsAMarkOrAsUtf8OrUtf16)
{
    int compared = 0;
    for (const auto& folder : fs::directory_iterator(kExamples)) {
        const std::string type = folder.path().filename().string();
        if (!folder.is_directory() || type == "merge") continue;
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            const std::string name = entry.path().filename().string();
            if (name.ends_with(".expected.DDX") || name == "Config.bag") continue;
            const std::string bytes = ReadBytes(entry.path());
            const std::vector<std::pair<std::string, std::string>> variants = {
                {"lf", ReplaceAll(bytes, "\r\n", "\n")}, {"cr", ReplaceAll(bytes, "\r\n", "\r")},
                {"bom", "\xEF\xBB\xBF" + bytes}, {"le", Utf16(bytes, false)}, {"be", Utf16(bytes, true)},
                {"lenomark", Utf16(bytes, false, false)}, {"utf", Utf8FromLatin1(bytes)}};
            const auto convert = [&](const std::string& input, const std::string& content) {
                WriteBytes(dir / input, content);
                fs::last_write_time(dir / input, fs::last_write_time(entry.path()));  // the INI reader dates by it
                const RunResult run = Run({"convert", "-t", type, input, "-o", "out.DDX"});
                EXPECT_EQ(run.status, 0) << input << ": " << run.err;
                // The document names its source; the rest must not differ.
                return ReplaceAll(ReadBytes(dir / "out.DDX"), input.substr(0, input.find('.')), "NAME");
            };
            const std::string extension = entry.path().extension().string();
            // Names that no document holds otherwise.
            const std::string expected = convert("QQoriginal" + extension, bytes);
            for (const auto& [variant, content] : variants) {
                EXPECT_EQ(convert("QQ" + variant + extension, content), expected) << type << "/" << name << " as " << variant;
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 150);
}

}  // namespace
}  // namespace vantrel::test
