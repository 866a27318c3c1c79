// The open dialog asks before it reads a file whose content clearly belongs to another type than
// the one chosen: Yes reads it as that type, No as the chosen one (and the review window's
// warnings say what came of it), Cancel not at all. A file no reader reads is refused unasked.

#include <QTreeWidget>

#include "gui/review/FindingsPanel.h"
#include "support/GuiSupport.h"
#include "support/JilsTimeHistory.h"

namespace vantrel {
namespace {

using namespace test;

TEST(DetectionQuestion, AsksBeforeReadingAFileOfAnotherTypeAndTellsWhatCameOfIt)
{
    const QString question = "This looks like a KUAB FWD file. Read it as KUAB FWD?";
    const QString history = "a JILS time history, not readable on its own";
    const std::filesystem::path examples = VANTREL_EXAMPLES;
    const struct {
        const char* file;  // run.F25: a KUAB file under an F25 name; run.THY: a JILS time history
        const char* chosen;
        QMessageBox::StandardButton answer;
        QString said;           // "Ask|" or "Warn|" and a piece of it; empty: nothing asked nor warned
        const char* readAs;     // the option selected afterwards
        const char* locations;  // of the document read; nullptr: nothing read
        const char* warned;     // what the first line of its warnings says after the file's name, if anything
    } cases[] = {
        {"run.F25", "optF25", QMessageBox::Yes, "Ask|" + question, "optKUABFWD", "2", nullptr},
        {"run.F25", "optF25", QMessageBox::No, "Ask|" + question, "optF25", "0",
         ": nothing was read as f25 (it looks like kuab)"},
        {"run.F25", "optF25", QMessageBox::Cancel, "Ask|" + question, "optF25", nullptr, nullptr},
        {"run.F25", "optKUABFWD", QMessageBox::Yes, "", "optKUABFWD", "2", nullptr},
        {"run.THY", "optF25", QMessageBox::Yes, "Warn|" + history, "optF25", nullptr, nullptr},
        {"run.THY", "optJils", QMessageBox::Yes, "Warn|" + history, "optJils", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.chosen + " " + std::to_string(c.answer));
        Program program;
        std::filesystem::copy_file(examples / "kuab" / "small.FWD", program.folder / "run.F25");
        WriteBytes(program.folder / "run.THY", JilsTimeHistory(3, 40));
        ASSERT_TRUE(QTest::qWaitForWindowActive(&program.main));
        program.prompts.answer = c.answer;
        program.main.OpenFile();
        OpenDialog& dialog = program.main.Dialog();
        dialog.Option(c.chosen)->click();
        const QString asked = program.Press(dialog, "cmdBrowse", program.Path(c.file));
        const QStringList said = asked.split('\n').filter(QRegularExpression("^(Ask|Warn)\\|"));
        ASSERT_EQ(said.size(), c.said.isEmpty() ? 0 : 1);
        EXPECT_TRUE(c.said.isEmpty() || (said.front().startsWith(c.said.section('|', 0, 0) + "|") &&
                                         said.front().contains(c.said.section('|', 1)))) << said.front().toStdString();
        EXPECT_TRUE(dialog.Option(c.readAs)->isChecked()) << c.readAs;
        ASSERT_EQ(program.main.ReviewWindows().size(), c.locations ? 1 : 0);
        EXPECT_EQ(dialog.isVisible(), !c.locations);  // not read: the dialog stays for another choice
        if (!c.locations) continue;
        const ReviewWindow& review = *program.main.ReviewWindows().back();
        EXPECT_EQ(review.PDDXDataSet()->Element("Deflection Data", "NumberOfTestLocations").Value(), c.locations);
        // What the command line says of the file heads the warnings, before the lines the reader
        // skipped (whose form is DesktopWorkflow's test).
        const QTreeWidget& list = *review.Findings()->List();
        const QTreeWidgetItem* line = list.topLevelItem(0);
        const QString first = line && line->text(0) == "Read" ? line->toolTip(2) : "";
        EXPECT_EQ(first, c.warned ? program.Path(c.file) + c.warned : "");
    }
}

}  // namespace
}  // namespace vantrel
