// check and export end to end, on documents written here with known defects and known drops
// (tests/data/check-export: the inputs, and what check and export must print for them).

#include <gtest/gtest.h>

#include "core/Check.h"
#include "support/ReaderTest.h"
#include "support/TestSupport.h"

namespace vantrel::test {
namespace {

class CheckExport : public ProgramTest {
protected:
    void SetUp() override
    {
        for (const auto& entry : fs::directory_iterator(fs::path(VANTREL_TEST_DATA) / "check-export"))
            fs::copy_file(entry.path(), dir / entry.path().filename());
    }
    std::string Expected(const std::string& name) const { return ReadBytes(dir / name); }
};

TEST_F(CheckExport, CheckSaysWhatEachDocumentLacks)
{
    // a.DDX's counters disagree with what it holds: check reads it as it stands.
    const RunResult run = Run({"check", "a.DDX", "b.txt"});
    EXPECT_EQ(run.status, 4) << run.err;
    EXPECT_EQ(run.out, Expected("check.txt"));
    const RunResult json = Run({"check", "--format", "json", "b.txt"});
    EXPECT_EQ(json.status, 4);
    EXPECT_EQ(json.out, Expected("check.json"));

    // A native file, told by its content and read by its reader, that lacks nothing.
    WriteBytes(dir / "k.FWD", ReadBytes(kExamples / "kuab" / "small.FWD"));
    const RunResult clean = Run({"check", "-"}, "", "k.FWD");
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(clean.out, "");
    EXPECT_EQ(Run({"check", "--format", "json", "k.FWD", "gone.DDX"}).status, 1);
    EXPECT_EQ(Run({"check", "--format", "xml", "k.FWD"}).status, 2);
}

// c.DDX holds what a lookup never reads: a location or a drop number met again under another
// name, a key or a section met again, a drop numbered 0 or +2. A file is read twice, a pipe is
// held whole; both find the same, in the same order.
TEST_F(CheckExport, APddxFileIsCheckedAsALookupReadsIt)
{
    EXPECT_EQ(Run({"check", "c.DDX"}).out, Expected("c-check.txt"));
    test::ReaderRun run;
    run.ReadInto(FileType::PDDX, run.Document, ReadBytes(dir / "c.DDX"), "c.DDX", false, &ReadPDDXAsWritten);
    std::string held, stepped;
    const auto into = [](std::string& text) {
        return [&text](const Finding& found) {
            text += "c.DDX: [" + found.Section + "] " + found.Key + ": " + found.Message + "\n";
        };
    };
    CheckDocument(run.Document, into(held));
    EXPECT_EQ(held, Expected("c-check.txt"));
    // As the review window checks it, a section at a time between its other events.
    SteppedCheck check(run.Document, into(stepped));
    int steps = 1;
    while (!check.Continue(1)) ++steps;
    EXPECT_EQ(stepped, held);
    EXPECT_EQ(steps, run.Document.Sections().Count());
}

TEST_F(CheckExport, ExportWritesEveryDropAsOneCsvRow)
{
    // The documents' start and end dates date no drop: no element of a location holds its date.
    const RunResult out = Run({"export", "e1.DDX", "-"}, "", "e2.DDX");
    EXPECT_EQ(out.status, 0) << out.err;
    EXPECT_EQ(out.out, Expected("export.csv"));

    const RunResult file = Run({"export", "-o", "drops.csv", "-t", "pddx", "e1.DDX", "e2.DDX"});
    EXPECT_EQ(file.out, "exported 3 drops of 2 files -> drops.csv\n");
    EXPECT_EQ(ReadBytes(dir / "drops.csv"), ReplaceAll(Expected("export.csv"), "-,2", "e2.DDX,2"));
    // All or nothing: a file that cannot be read leaves no table.
    EXPECT_EQ(Run({"export", "-o", "none.csv", "e1.DDX", "gone.DDX"}).status, 1);
    EXPECT_EQ(Run({"export", "-o", "e1.DDX", "e1.DDX"}).status, 2);
    EXPECT_FALSE(fs::exists(dir / "none.csv"));

    // Text a spreadsheet would run as a formula is written after an apostrophe; numbers are not.
    EXPECT_EQ(Run({"export", "f.DDX"}).out, Expected("formulas.csv"));
}

}  // namespace
}  // namespace vantrel::test
