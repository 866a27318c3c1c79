// Every reader given lines whose fields are thousands of characters long: each line of a small
// example in turn lengthened by a run of digits or letters. The reading may refuse such a file,
// but whatever it keeps must be stored whole and written out whole (under the sanitizer build,
// any overflow of the room a value was given fails the run).

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "base/ReadError.h"
#include "core/Conversion.h"
#include "import/FileFormats.h"
#include "support/TestSupport.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

// The smallest input of an examples folder.
fs::path SmallestInput(const fs::path& folder)
{
    fs::path smallest;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(".DDX") && name != "blank.DDX") continue;
        if (name == "Config.bag" || name.ends_with(".md")) continue;
        if (smallest.empty() || fs::file_size(entry.path()) < fs::file_size(smallest)) smallest = entry.path();
    }
    return smallest;
}

// The lines of `bytes`, each with its line end.
std::vector<std::string> LinesWithEnds(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", begin);
        if (end == std::string::npos) end = bytes.size();
        std::size_t next = end;
        while (next < bytes.size() && (bytes[next] == '\r' || bytes[next] == '\n') && next - end < 2) ++next;
        lines.push_back(bytes.substr(begin, next - begin));
        begin = next;
    }
    return lines;
}

TEST(LongFields, EveryReaderKeepsOrRefusesThemWithoutOverrunningItsRoom)
{
    int read = 0;
    for (const FileFormat& format : FileFormats()) {
        if (!format.Read || !format.ShortName) continue;
        const fs::path folder = fs::path(VANTREL_EXAMPLES) / format.ShortName;
        const std::vector<std::string> lines = LinesWithEnds(ReadBytes(SmallestInput(folder)));
        ASSERT_FALSE(lines.empty()) << format.ShortName;
        for (std::size_t target = 0; target < lines.size(); ++target) {
            for (const std::size_t length : {std::size_t{6000}, std::size_t{30000}}) {
                for (const char filler : {'9', 'X'}) {
                    std::string bytes;
                    for (std::size_t i = 0; i < lines.size(); ++i) {
                        const std::string& line = lines[i];
                        if (i != target) {
                            bytes += line;
                            continue;
                        }
                        const std::size_t end = line.find_first_of("\r\n");
                        bytes += line.substr(0, end) + std::string(length, filler) +
                                 (end == std::string::npos ? "" : line.substr(end));
                    }
                    const SettingsRecord settings;
                    ReadingState reading;
                    PDDXFile document;
                    ByteSource source = ByteSource::InMemory("long.in", bytes);
                    ReaderInput input{"long.in", source, std::nullopt};
                    ReadWarnings warnings;
                    ReaderContext context = ReaderContextOf(settings, reading, warnings);
                    try {
                        format.Read(context, input, document, false);
                        ++read;
                    } catch (const ReadError&) {
                        continue;  // refusing such a line is fine
                    }
                    std::ostringstream out;
                    document.PDDX_Output(out);
                    // Whatever long value was kept is written whole: a run no shorter than the
                    // longest one any element holds.
                    std::size_t longest = 0;
                    for (const PDDXSection& section : document.Sections())
                        for (const PDDXElement& element : section.Elements())
                            longest = std::max(longest, element.Value().size());
                    EXPECT_NE(out.str().find(std::string(longest >= length ? length : 0, filler)), std::string::npos)
                        << format.ShortName << " line " << target + 1;
                }
            }
        }
    }
    EXPECT_GT(read, 0);  // some of these readings are taken, not all refused
}

}  // namespace
}  // namespace vantrel::test
