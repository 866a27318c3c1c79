#pragma once
// Readers run in memory, as the program runs them but without files: the few program-wide values
// a reader may touch, its input as text, and tables of the element values it must set.

#include <gtest/gtest.h>

#include <chrono>
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

// What a reader sees of one program run; state carries over between the Read calls of one run,
// as it does between the files of one session.
class ReaderRun {
public:
    int NumSensors = 0;
    std::string LoadPlateRadius, SensorXAxis, SensorYAxis;
    ReaderCarryOver CarryOver;
    ReadWarnings Warnings;  // of every Read call so far
    PDDXFile Document;
    // The day the input was last written, for the readers that use it.
    std::chrono::year_month_day Modified{std::chrono::year{2004}, std::chrono::April, std::chrono::day{7}};

    ReaderContext Context() { return {NumSensors, {LoadPlateRadius, SensorXAxis, SensorYAxis}, CarryOver, Warnings}; }

    // Reads the lines, each ended by CR LF, as a file called `name`.
    void Read(FileType read, const std::vector<std::string>& lines, const std::string& name = "TEST.IN")
    {
        ReadInto(read, Document, CrLf(lines), name);
    }
    void ReadInto(FileType read, PDDXFile& document, std::string_view bytes, const std::string& name = "TEST.IN")
    {
        ByteSource source = ByteSource::InMemory(name, bytes);
        source.ReportTo(&Warnings);
        ReaderInput input{name, source, Modified};
        ReaderContext context = Context();
        FindFileFormat(read)->Read(context, input, document, false);
    }

    // The ReadError the reading ends with; a failed expectation when it ends without one.
    ReadError Failure(FileType read, const std::vector<std::string>& lines, const std::string& name = "TEST.IN")
    {
        return ReadFailure([&] { Read(read, lines, name); });
    }

    std::string Value(std::string_view section, std::string_view key) const
    {
        return std::string(Document.Element(section, key).Value());
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

// The lines of one file (read after `earlier`, into the same document, when there is one) and the
// elements they must set.
struct FileCase {
    std::vector<std::string> lines;
    std::vector<Expect> expected;
    std::vector<std::string> earlier = {};
    std::string name = "TEST.IN";
};

// Each case read from the sensor count given.
inline void ExpectFileValues(FileType read, const std::vector<FileCase>& cases, int sensors)
{
    for (const FileCase& c : cases) {
        ReaderRun run;
        run.NumSensors = sensors;
        if (!c.earlier.empty()) run.Read(read, c.earlier, "EARLIER.IN");
        run.Read(read, c.lines, c.name);
        run.ExpectValues(c.expected, testing::PrintToString(c.lines));
    }
}

}  // namespace vantrel::test
