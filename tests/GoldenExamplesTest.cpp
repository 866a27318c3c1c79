// Converts each bundled example and compares the result byte for byte with the expected .DDX
// beside it, one test per example (ctest -R kuab runs one format). examples/<type>/<name>.<ext>
// is converted with `-t <type>` into examples/<type>/<name>.expected.DDX; examples/merge/
// <name>.merge lists "<type> <path below examples/>" lines merged in order into examples/merge/
// <name>.expected.DDX. A Config.bag in a type folder (or <name>.bag beside a .merge) is the
// settings file of those runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>

#include "support/TestSupport.h"

namespace vantrel::test {
namespace {

constexpr std::string_view kExpected = ".expected.DDX";

struct Example {
    std::string type;  // the folder; "merge" for a merge list
    fs::path input;    // the input, or the merge list
};

void PrintTo(const Example& example, std::ostream* out) { *out << example.type << "/" << example.input.filename().string(); }

std::vector<Example> AllExamples()
{
    std::vector<Example> examples;
    for (const auto& folder : fs::directory_iterator(kExamples)) {
        if (!folder.is_directory()) continue;
        const std::string type = folder.path().filename().string();
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            const std::string name = entry.path().filename().string();
            const bool input = type == "merge" ? entry.path().extension() == ".merge"
                                               : !name.ends_with(kExpected) && name != "Config.bag" &&
                                                     !name.ends_with(".md");
            if (entry.is_regular_file() && input) examples.push_back({type, entry.path()});
        }
    }
    std::sort(examples.begin(), examples.end(), [](const Example& a, const Example& b) { return a.input < b.input; });
    return examples;
}

// The input is copied into a fresh folder and named without a folder part, so that the file
// names the readers store do not depend on where the tests run.
std::string Stage(const fs::path& input, const TempDir& work)
{
    fs::copy_file(input, work / input.filename().string(), fs::copy_options::overwrite_existing);
    // 7 April 2004, noon local time: the readers that take a date from it give the same text anywhere.
    std::tm noon{};
    noon.tm_year = 2004 - 1900, noon.tm_mon = 3, noon.tm_mday = 7, noon.tm_hour = 12, noon.tm_isdst = -1;
    fs::last_write_time(work / input.filename().string(),
                        std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(std::mktime(&noon))));
    return input.filename().string();
}

class GoldenExample : public ::testing::TestWithParam<Example> {};

TEST_P(GoldenExample, ConvertsToItsExpectedOutput)
{
    const Example& example = GetParam();
    const fs::path folder = example.input.parent_path();
    const std::string stem = example.input.stem().string();
    const fs::path bag = example.type == "merge" ? folder / (stem + ".bag") : folder / "Config.bag";
    TempDir work;
    std::vector<std::string> args{"--settings", fs::exists(bag) ? bag.string() : "no-settings-here.bag"};
    if (example.type == "merge") {
        args.insert(args.end(), {"merge", "-o", "out.DDX"});
        std::ifstream list(example.input);
        std::string type, input;
        while (list >> type >> input) args.insert(args.end(), {"-t", type, Stage(kExamples / input, work)});
    } else {
        args.insert(args.end(), {"convert", "-t", example.type, Stage(example.input, work), "-o", "out.DDX"});
    }
    const RunResult run = RunVantrel(args, work.Path());
    EXPECT_EQ(run.status, 0) << run.err;

    const std::string want = ReadBytes(folder / (stem + std::string(kExpected)));
    ASSERT_TRUE(fs::exists(work / "out.DDX")) << "nothing written";
    const std::string got = ReadBytes(work / "out.DDX");
    if (want == got) return;
    std::size_t line = 1, at = 0;
    while (at < want.size() && at < got.size() && want[at] == got[at]) line += want[at++] == '\n';
    const std::size_t from = at - std::min<std::size_t>(at, 80);
    ADD_FAILURE() << "differs first at line " << line << "\n--- expected\n"
                  << want.substr(from, 240) << "\n--- got\n" << got.substr(from, 240);
}

INSTANTIATE_TEST_SUITE_P(Examples, GoldenExample, ::testing::ValuesIn(AllExamples()),
                         [](const ::testing::TestParamInfo<Example>& info) {
                             std::string name = info.param.type + "_" + info.param.input.stem().string();
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

}  // namespace
}  // namespace vantrel::test
