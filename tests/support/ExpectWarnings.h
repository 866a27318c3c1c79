#pragma once
// The warnings a reading must give: for each, in order, its line and a piece of what it says.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/ReadWarnings.h"
#include "support/ReaderTest.h"

namespace vantrel::test {

struct Warned {
    int line;  // 0: the file as a whole
    std::string says;
};

inline void ExpectWarnings(const ReadWarnings& got, const std::vector<Warned>& want, std::string_view what)
{
    std::string listed;
    for (const LineWarning& w : got.Listed()) listed += "\n  " + std::to_string(w.Line) + ": " + w.What;
    ASSERT_EQ(got.Count(), want.size()) << what << ":" << listed;
    for (std::size_t i = 0; i < want.size(); ++i) {
        const LineWarning& w = got.Listed()[i];
        EXPECT_TRUE(w.Line == want[i].line && w.What.find(want[i].says) != std::string::npos)
            << what << ": warning " << i + 1 << " is " << w.Line << ": " << w.What << "; expected " << want[i].line
            << ": ..." << want[i].says << "...";
    }
}

// One reading of a table: files read one after another into one document, starting from the
// sensor count the settings gave; the warnings they must give and the values they must set.
struct ReadingCase {
    std::string what;
    std::vector<std::vector<std::string>> files;
    std::vector<Warned> warned;
    std::vector<Expect> expect = {};
    int sensors = 0;
};

inline void ExpectReadings(FileType read, const std::vector<ReadingCase>& readings)
{
    for (const ReadingCase& r : readings) {
        ReaderRun run;
        run.NumSensors = r.sensors;
        for (const std::vector<std::string>& file : r.files) run.Read(read, file);
        ExpectWarnings(run.Warnings, r.warned, r.what);
        run.ExpectValues(r.expect, r.what);
    }
}

// The bundled examples of one type, read as the program reads them, give no warning.
inline void ExpectExamplesQuiet(FileType read, const std::string& type, int sensors)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(VANTREL_EXAMPLES) / type)) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(".DDX") || name.ends_with(".bag")) continue;
        ReaderRun run;
        run.NumSensors = sensors;
        const std::string bytes = ReadBytes(entry.path());
        run.ReadInto(read, run.Document, bytes, name);
        ExpectWarnings(run.Warnings, {}, type + "/" + name);
        ++files;
    }
    EXPECT_GT(files, 0) << type;
}

}  // namespace vantrel::test
