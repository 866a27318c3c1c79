// The open dialog asks before it reads a file whose content clearly belongs to another type than
// the one chosen: Yes reads it as that type, No as the chosen one, Cancel not at all.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "gui/OpenDialog.h"
#include "gui/MainWindow.h"
#include "gui/review/ReviewWindow.h"
#include "support/GuiSupport.h"
#include "support/JilsTimeHistory.h"
#include "support/TestSupport.h"

namespace vantrel {
namespace {

TEST(DetectionQuestion, AsksBeforeReadingAFileOfAnotherType)
{
    const QString question = "This looks like a KUAB FWD file. Read it as KUAB FWD?";
    const struct {
        const char* chosen;
        QMessageBox::StandardButton answer;
        bool asked;
        const char* readAs;     // the option selected afterwards
        const char* locations;  // of the document read; nullptr: nothing read
    } cases[] = {
        {"optF25", QMessageBox::Yes, true, "optKUABFWD", "2"},
        {"optF25", QMessageBox::No, true, "optF25", "0"},
        {"optF25", QMessageBox::Cancel, true, "optF25", nullptr},
        {"optKUABFWD", QMessageBox::Yes, false, "optKUABFWD", "2"},
    };
    for (const auto& c : cases) {
        test::Program program;
        // A KUAB file under an F25 name.
        test::WriteBytes(program.folder / "run.F25",
                         test::ReadBytes(std::filesystem::path(VANTREL_EXAMPLES) / "kuab" / "small.FWD"));
        ASSERT_TRUE(QTest::qWaitForWindowActive(&program.main));
        program.prompts.answer = c.answer;
        program.main.OpenFile();
        OpenDialog& dialog = program.main.Dialog();
        dialog.Option(c.chosen)->click();
        const QStringList asked = program.Press(dialog, "cmdBrowse", program.Path("run.F25")).split('\n').filter("Ask|");

        EXPECT_EQ(asked.size(), c.asked ? 1 : 0) << c.chosen;
        if (c.asked && !asked.isEmpty()) {
            EXPECT_TRUE(asked.front().endsWith("|" + question)) << asked.front().toStdString();
        }
        EXPECT_TRUE(dialog.Option(c.readAs)->isChecked()) << c.readAs;
        ASSERT_EQ(program.main.ReviewWindows().size(), c.locations ? 1 : 0);
        EXPECT_EQ(dialog.isVisible(), !c.locations);  // cancelled: the dialog stays for another choice
        if (c.locations) {
            EXPECT_EQ(program.main.ReviewWindows().back()->PDDXDataSet()->Element("Deflection Data", "NumberOfTestLocations").Value(),
                      c.locations);
        }
    }
}

// A file of a kind no reader reads (a JILS time history) is refused at once, with what it is,
// whatever type was chosen: there is nothing to ask.
TEST(DetectionQuestion, AFileNoReaderReadsIsRefusedWithoutAQuestion)
{
    for (const char* chosen : {"optF25", "optJils"}) {
        test::Program program;
        test::WriteBytes(program.folder / "run.THY", test::JilsTimeHistory(3, 40));
        ASSERT_TRUE(QTest::qWaitForWindowActive(&program.main));
        program.main.OpenFile();
        OpenDialog& dialog = program.main.Dialog();
        dialog.Option(chosen)->click();
        const QString said = program.Press(dialog, "cmdBrowse", program.Path("run.THY"));
        EXPECT_TRUE(said.contains("Warn|") && said.contains("a JILS time history, not readable on its own"))
            << chosen << ": " << said.toStdString();
        EXPECT_FALSE(said.contains("Ask|")) << chosen;
        EXPECT_TRUE(program.main.ReviewWindows().empty()) << chosen;
    }
}

}  // namespace
}  // namespace vantrel
