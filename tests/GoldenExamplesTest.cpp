// Converts every bundled example and compares the result byte for byte with the expected .DDX
// beside it. examples/<type>/<name>.<ext> is converted with `-t <type>` and compared with
// examples/<type>/<name>.expected.DDX; examples/merge/<name>.merge lists "<type> <path below
// examples/>" lines merged in order into examples/merge/<name>.expected.DDX. A Config.bag in a
// type folder (or <name>.bag beside a .merge) is the settings file of those runs.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "TestSupport.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;
const fs::path kExamples = VANTREL_EXAMPLES;
constexpr std::string_view kExpected = ".expected.DDX";

bool EndsWith(const std::string& text, std::string_view end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The input is copied into a fresh folder and named without a folder part, so that the file
// names the readers store do not depend on where the tests run.
std::string Stage(const fs::path& input, const TempDir& work)
{
    fs::copy_file(input, work / input.filename().string(), fs::copy_options::overwrite_existing);
    SetFixedModificationTime(work / input.filename().string());
    return input.filename().string();
}

std::vector<std::string> SettingsArgs(const fs::path& bag)
{
    if (fs::exists(bag)) return {"--settings", bag.string()};
    return {"--settings", "no-settings-here.bag"};
}

void ExpectSame(const fs::path& expected, const fs::path& actual, const std::string& what)
{
    ASSERT_TRUE(fs::exists(expected)) << "no expected output " << expected;
    ASSERT_TRUE(fs::exists(actual)) << what << " wrote nothing";
    const std::string want = ReadBytes(expected), got = ReadBytes(actual);
    if (want == got) return;
    std::size_t line = 1, at = 0;
    while (at < want.size() && at < got.size() && want[at] == got[at]) line += want[at++] == '\n';
    ADD_FAILURE() << what << " differs from " << expected.filename() << " first at line " << line << "\n--- expected\n"
                  << want.substr(at - std::min<std::size_t>(at, 80), 240) << "\n--- got\n"
                  << got.substr(at - std::min<std::size_t>(at, 80), 240);
}

TEST(GoldenExamples, EveryExampleConvertsToItsExpectedOutput)
{
    int converted = 0;
    for (const auto& folder : fs::directory_iterator(kExamples)) {
        if (!folder.is_directory() || folder.path().filename() == "merge") continue;
        const std::string type = folder.path().filename().string();
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            const std::string name = entry.path().filename().string();
            if (!entry.is_regular_file() || EndsWith(name, kExpected) || name == "Config.bag" || EndsWith(name, ".md"))
                continue;
            TempDir work;
            std::vector<std::string> args = SettingsArgs(folder.path() / "Config.bag");
            args.insert(args.end(), {"convert", "-t", type, Stage(entry.path(), work), "-o", "out.DDX"});
            const RunResult run = RunVantrel(args, work.Path());
            EXPECT_EQ(run.status, 0) << type << "/" << name << ": " << run.err;
            const std::string root = name.substr(0, name.rfind('.'));
            ExpectSame(folder.path() / (root + std::string(kExpected)), work / "out.DDX", type + "/" + name);
            ++converted;
        }
    }
    EXPECT_GT(converted, 0);
}

TEST(GoldenExamples, EveryMergeExampleGivesItsExpectedOutput)
{
    const fs::path folder = kExamples / "merge";
    if (!fs::exists(folder)) GTEST_SKIP() << "no merge examples yet";
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".merge") continue;
        TempDir work;
        std::vector<std::string> args = SettingsArgs(fs::path(entry.path()).replace_extension(".bag"));
        args.insert(args.end(), {"merge", "-o", "out.DDX"});
        std::ifstream list(entry.path());
        std::string type, input;
        while (list >> type >> input) args.insert(args.end(), {"-t", type, Stage(kExamples / input, work)});
        const RunResult run = RunVantrel(args, work.Path());
        EXPECT_EQ(run.status, 0) << entry.path().filename() << ": " << run.err;
        const std::string stem = entry.path().stem().string();
        ExpectSame(folder / (stem + std::string(kExpected)), work / "out.DDX", "merge/" + stem);
    }
}

}  // namespace
}  // namespace vantrel::test
