#pragma once
// Readers run in memory, as the program runs them but without files: the few program-wide values
// a reader may touch, its input as text, and tables of what it must set, warn of and fail at.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "document/PDDXFile.h"
#include "import/FileFormats.h"
#include "import/ReaderInput.h"
#include "support/TestSupport.h"

namespace vantrel::test {

// One element's expected value; an empty section means the current test location's section
// ("Test Location " + the document's NumberOfTestLocations).
struct Expect {
    std::string section;
    std::string key;
    std::string value;
};

// A warning a reading must give: its line (0: the file as a whole) and a piece of what it says.
struct Warned {
    int line;
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

// What a reader sees of one program run; state carries over between the Read calls of one run,
// as it does between the files of one merge.
class ReaderRun {
public:
    int NumSensors = 0;
    std::string LoadPlateRadius, SensorXAxis, SensorYAxis;
    ReaderCarryOver CarryOver;
    ReadWarnings Warnings;  // of every Read call so far
    PDDXFile Document;
    // The day the input was last written, for the readers that use it.
    std::chrono::year_month_day Modified{std::chrono::year{2004}, std::chrono::April, std::chrono::day{7}};

    // The setting of that name a reader takes its layout from; nullptr for any other name.
    std::string* Setting(std::string_view name)
    {
        return name == "LoadPlateRadius" ? &LoadPlateRadius
               : name == "SensorXAxis"   ? &SensorXAxis
               : name == "SensorYAxis"   ? &SensorYAxis
                                         : nullptr;
    }

    // Reads the lines, each ended by CR LF, as a file called `name`.
    void Read(FileType read, const std::vector<std::string>& lines, const std::string& name = "TEST.IN",
              bool append = false)
    {
        ReadInto(read, Document, CrLf(lines), name, append);
    }
    ReaderRun& ReadText(FileType read, std::string_view bytes, bool append = false)
    {
        ReadInto(read, Document, bytes, "TEST.IN", append);
        return *this;
    }
    // `reader`: another than the format's own.
    void ReadInto(FileType read, PDDXFile& document, std::string_view bytes, const std::string& name = "TEST.IN",
                  bool append = false, const ReaderCall& reader = {})
    {
        ByteSource source = ByteSource::InMemory(name, bytes);
        source.ReportTo(&Warnings);
        ReaderInput input{name, source, Modified};
        ReaderContext context{NumSensors, {LoadPlateRadius, SensorXAxis, SensorYAxis}, CarryOver, Warnings};
        (reader ? reader : FindFileFormat(read)->Read)(context, input, document, append);
    }

    std::string Written() const
    {
        std::ostringstream out;
        Document.WriteText(out);
        return out.str();
    }

    // Checks each expected value, naming the element and `what` when one differs.
    void ExpectValues(const std::vector<Expect>& expected, std::string_view what = "") const
    {
        for (const Expect& e : expected) {
            std::string section = e.section;
            if (section.empty())
                section = "Test Location " + std::string(Document.Element("Deflection Data", "NumberOfTestLocations").Value());
            const PDDXSection* found = Document.Sections().Find(section);
            const PDDXElement* element = found ? found->Elements().Find(e.key) : nullptr;
            if (element) EXPECT_EQ(element->Value(), e.value) << what << ": [" << section << "] " << e.key;
            else ADD_FAILURE() << what << ": no [" << section << "] " << e.key;
        }
    }
};

// A ReadError a reading must end with: its line (0: the file as a whole) and a piece of its reason.
struct Fails {
    int line = -1;  // -1: the reading must not fail
    std::string says = {};
};

// One run of a table: files read one after another into one document, from a sensor count; the
// warnings they must give (where the table checks them), the values they must set, and the error
// the last one must end with (what was set before it stays, and is checked too).
struct ReadCase {
    std::string what;
    std::vector<std::vector<std::string>> files;
    std::vector<Warned> warned = {};
    std::vector<Expect> expect = {};
    int sensors = 0;
    Fails fails = {};
    std::vector<std::size_t> appended = {};  // the files read as appended to what the run holds
    std::optional<std::chrono::year_month_day> modified = {};  // the inputs' last write, where it is not ReaderRun's
    std::optional<int> sensorsAfter = {};  // the sensor count the reading must leave
    std::vector<std::pair<std::string, int>> elements = {};  // sections and how many elements each must hold
};

struct ReadOptions {
    bool warnings = true;  // whether each case's warnings are checked (its list empty: none given)
    std::string name = "TEST.IN";
    std::vector<Expect> holds = {};  // values the document holds before each case's first file
    std::vector<Expect> settings = {};  // settings (by ReaderRun::Setting's names) before each case
};

inline void ExpectReads(FileType read, const std::vector<ReadCase>& cases, const ReadOptions& options = {})
{
    for (const ReadCase& c : cases) {
        const std::string& what = c.what;
        ReaderRun run;
        run.NumSensors = c.sensors;
        if (c.modified) run.Modified = *c.modified;
        for (const Expect& e : options.holds) run.Document.Element(e.section, e.key).SetValue(e.value);
        for (const Expect& e : options.settings) *run.Setting(e.key) = e.value;
        try {
            for (std::size_t i = 0; i < c.files.size(); ++i)
                run.Read(read, c.files[i], options.name, std::ranges::count(c.appended, i) > 0);
            EXPECT_EQ(c.fails.line, -1) << what << ": no ReadError";
        } catch (const ReadError& e) {
            EXPECT_TRUE(e.Line() == c.fails.line && e.Reason().find(c.fails.says) != std::string::npos)
                << what << ": " << e.what() << "; expected line " << c.fails.line << ": ..." << c.fails.says << "...";
        }
        if (options.warnings) ExpectWarnings(run.Warnings, c.warned, what);
        run.ExpectValues(c.expect, what);
        if (c.sensorsAfter) {
            EXPECT_EQ(run.NumSensors, *c.sensorsAfter) << what << ": the sensor count after the reading";
        }
        for (const auto& [section, count] : c.elements) {
            const PDDXSection* found = run.Document.Sections().Find(section);
            EXPECT_EQ(found ? found->Elements().Count() : 0, count) << what << ": the elements of [" << section << "]";
        }
    }
}

}  // namespace vantrel::test
