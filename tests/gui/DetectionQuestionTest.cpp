// The open dialog asks before it reads a file whose content clearly belongs to another type than
// the one chosen: Yes reads it as that type, No as the chosen one, Cancel not at all.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "gui/frmDialog.h"
#include "gui/frmMain.h"
#include "gui/review/frmReview.h"
#include "support/GuiSupport.h"
#include "support/TestSupport.h"

namespace vantrel {
namespace {

using test::Q;
using test::ScriptedPrompts;

TEST(DetectionQuestion, AsksBeforeReadingAFileOfAnotherType)
{
    test::TempDir folder;
    const auto input = folder / "run.F25";  // a KUAB file under an F25 name
    test::WriteBytes(input, test::ReadBytes(std::filesystem::path(VANTREL_EXAMPLES) / "kuab" / "small.FWD"));
    const QString question = "This looks like a KUAB FWD file. Read it as KUAB FWD?";
    const struct {
        const char* chosen;
        QMessageBox::StandardButton answer;
        QStringList asked;
        const char* readAs;       // the option selected afterwards
        const char* locations;    // of the document read; nullptr: nothing read
    } cases[] = {
        {"optF25", QMessageBox::Yes, {question}, "optKUABFWD", "2"},
        {"optF25", QMessageBox::No, {question}, "optF25", "0"},
        {"optF25", QMessageBox::Cancel, {question}, "optF25", nullptr},
        {"optKUABFWD", QMessageBox::Yes, {}, "optKUABFWD", "2"},
    };
    for (const auto& c : cases) {
        ProgramState state = NewProgramState(folder.Path());
        ScriptedPrompts prompts;
        prompts.answer = c.answer;
        prompts.openAnswer = Q(input.string());
        frmMain main(state, prompts.Table());
        main.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
        main.OpenFile();
        frmDialog& dialog = main.Dialog();
        dialog.Option(c.chosen)->click();
        QTest::mouseClick(dialog.findChild<QPushButton*>("cmdBrowse"), Qt::LeftButton);

        EXPECT_EQ(prompts.askedTexts, c.asked) << c.chosen;
        EXPECT_TRUE(dialog.Option(c.readAs)->isChecked()) << c.readAs;
        ASSERT_EQ(main.ReviewWindows().size(), c.locations ? 1 : 0);
        EXPECT_EQ(dialog.isVisible(), !c.locations);  // cancelled: the dialog stays for another choice
        if (c.locations) {
            EXPECT_EQ(main.ReviewWindows().back()->PDDXDataSet()->Element("Deflection Data", "NumberOfTestLocations").Value(),
                      c.locations);
        }
    }
}

}  // namespace
}  // namespace vantrel
