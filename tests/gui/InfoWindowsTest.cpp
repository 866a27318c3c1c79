// The instructions and help windows (their Escape is SmallWindows' test): the instructions open at
// start only while their "Show at start" box, kept in the settings, is ticked.
#include <QTextBrowser>

#include "gui/info/HelpWindow.h"
#include "gui/info/InstructionsWindow.h"
#include "import/FileFormats.h"
#include "support/GuiSupport.h"

namespace vantrel {
namespace {

using namespace test;

TEST(InfoWindows, ShowAtStartIsKeptInTheSettingsAndDecidesWhetherTheInstructionsOpenAtStart)
{
    Program program;
    const auto instructions = [](MainWindow& main) { return main.findChild<InstructionsWindow*>(); };
    program.main.ShowAtStart();
    ASSERT_TRUE(instructions(program.main)) << "a fresh program shows them";
    auto* box = instructions(program.main)->findChild<QCheckBox*>("chkShowAtStart");
    EXPECT_TRUE(box->isChecked());
    box->click();
    EXPECT_FALSE(program.state.Desktop.ShowInstructionsAtStart);
    program.main.close();

    // The next run reads the box's choice from the settings.
    ProgramState state = NewProgramState(program.folder.Path());
    MainWindow next(state, program.prompts.Table());
    next.show();
    next.ShowAtStart();
    EXPECT_FALSE(instructions(next));
    next.ShowInstructions();
    box = instructions(next)->findChild<QCheckBox*>("chkShowAtStart");
    EXPECT_FALSE(box->isChecked());
    box->click();
    EXPECT_TRUE(state.Desktop.ShowInstructionsAtStart);
    // The Close button closes the window.
    QPointer<InstructionsWindow> window = instructions(next);
    program.Press(*window, "cmdClose");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window; }));
}

// The open page lists the types the open dialog offers, taken from the format table.
TEST(InfoWindows, TheOpenPageNamesEveryTypeTheOpenDialogOffers)
{
    HelpWindow help(nullptr);
    help.ShowTopic("open.html");
    const QString text = help.findChild<QTextBrowser*>("txtHelp")->toPlainText();
    for (const FileFormat& format : FileFormats())
        EXPECT_EQ(text.contains(format.OptionCaption), format.OpenOption) << format.OptionCaption;
}

}  // namespace
}  // namespace vantrel
