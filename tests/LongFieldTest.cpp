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

TEST(LongFields, EveryReaderKeepsOrRefusesThemWithoutOverrunningItsRoom)
{
    int read = 0;
    for (const FileFormat& format : FileFormats()) {
        if (!format.Read || !format.ShortName) continue;
        const std::string bytes = ReadBytes(SmallestInput(kExamples / format.ShortName));
        ASSERT_NE(bytes.find("\r\n"), std::string::npos) << format.ShortName;
        // Each line in turn lengthened at its end (the examples' lines end with CR LF).
        for (std::size_t end = bytes.find("\r\n"); end != std::string::npos; end = bytes.find("\r\n", end + 2)) {
            for (const std::size_t length : {std::size_t{6000}, std::size_t{30000}}) {
                for (const char filler : {'9', 'X'}) {
                    const std::string longer = bytes.substr(0, end) + std::string(length, filler) + bytes.substr(end);
                    const SettingsRecord settings;
                    ReadingState reading;
                    PDDXFile document;
                    ByteSource source = ByteSource::InMemory("long.in", longer);
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
                    document.WriteText(out);
                    // Whatever long value was kept is written whole: a run no shorter than the
                    // longest one any element holds.
                    std::size_t longest = 0;
                    for (const PDDXSection& section : document.Sections())
                        for (const PDDXElement& element : section.Elements())
                            longest = std::max(longest, element.Value().size());
                    EXPECT_NE(out.str().find(std::string(longest >= length ? length : 0, filler)), std::string::npos)
                        << format.ShortName << " at byte " << end;
                }
            }
        }
    }
    EXPECT_GT(read, 0);  // some of these readings are taken, not all refused
}

}  // namespace
}  // namespace vantrel::test
