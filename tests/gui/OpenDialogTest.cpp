// The open dialog's Filename box, the file chooser it opens (on the chosen type, in the folder
// last used), and the settings window's choices reaching a dialog already built.
#include <QLineEdit>

#include "gui/SettingsWindow.h"
#include "support/GuiSupport.h"

namespace vantrel {
namespace {

using namespace test;

// Enter in the Filename box, or on a type just chosen, reads the path typed there; with an empty
// box, or on the Browse button, it browses.
TEST(OpenDialog, EnterInTheFilenameBoxReadsTheTypedPath)
{
    const struct {
        const char* focus;
        const char* typed;
        const char* keys;
        bool read;  // a review window of the typed file; else the chooser asked, and cancelled
    } cases[] = {{"txtFilename", "first.pdx", "Return", true},
                 {"txtFilename", "first.pdx", "Num+Enter", true},
                 {"txtFilename", "", "Return", false},
                 {"optPDDX", "first.pdx", "Return", true},
                 {"cmdBrowse", "first.pdx", "Return", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.focus) + " '" + c.typed + "' " + c.keys);
        Program program;
        program.WritePddx("first.pdx", "S1");
        program.main.OpenFile();
        OpenDialog& dialog = program.main.Dialog();
        dialog.Option("optPDDX")->click();
        dialog.FilenameBox()->setText(*c.typed ? program.Path(c.typed) : QString());
        ASSERT_TRUE(Activate(dialog));
        dialog.findChild<QWidget*>(c.focus)->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), dialog.findChild<QWidget*>(c.focus));
        PressKeys(c.keys);
        EXPECT_EQ(program.prompts.log.join('\n').startsWith("Open|Open PDDX File|"), !c.read);
        ASSERT_EQ(program.main.ReviewWindows().size(), c.read ? 1 : 0);
        EXPECT_EQ(dialog.isVisible(), !c.read);
        if (c.read) {
            EXPECT_EQ(program.main.ReviewWindows().back()->PDDXDataSet()->Element("Device Information", "DeviceSerialNumber").Value(), "S1");
        }
    }
}

// The chooser comes up on the filter of the type chosen in the dialog (each listed once in it).
TEST(OpenDialog, TheChooserComesUpOnTheChosenType)
{
    const std::pair<const char*, const char*> cases[] = {{"optF25", "Dynatest F25 (*.F25 *.f25)"},
                                                         {"optF20", "Dynatest F20 or FWD (*.F20 *.f20 *.FWD *.fwd)"},
                                                         {"optKUABFWD", "KUAB FWD (*.FWD *.fwd)"},
                                                         {"optCarlBroINI", "Carl Bro INI (*.TXT *.txt)"},
                                                         {"optPDDX", "PDDX (*.DDX *.ddx)"}};
    Program program;
    program.main.OpenFile();
    for (const auto& [option, filter] : cases) {
        program.Press(program.main.Dialog(), option);
        program.Press(program.main.Dialog(), "cmdBrowse");
        EXPECT_EQ(program.prompts.selectedFilters.value(program.prompts.selectedFilters.size() - 1), filter) << option;
        EXPECT_EQ(program.prompts.log.back().split('|').last().split(";;").count(filter), 1) << option;
    }
}

// A type and a default folder chosen in the settings window apply to the open dialog at once,
// whether it is showing or hidden, without a restart; a type chosen in the dialog afterwards
// stays until the settings change again.
TEST(OpenDialog, SettingsChosenInTheSettingsWindowApplyToTheDialogAtOnce)
{
    for (const bool showing : {true, false}) {
        SCOPED_TRACE(showing ? "showing" : "hidden");
        Program program;
        std::filesystem::create_directories(program.folder / "in");
        program.main.OpenFile();
        OpenDialog& dialog = program.main.Dialog();
        ASSERT_TRUE(dialog.Option("optF25")->isChecked());
        if (!showing) program.Press(dialog, "cmdCancel");

        program.main.Configure();
        SettingsWindow& settings = *program.main.Configuration();
        ASSERT_TRUE(Activate(settings));
        settings.findChild<QLineEdit*>("txtInputPath")->setText(program.Path("in"));
        program.Press(settings, "optKUABFWD");
        program.Press(settings, "cmdOK");
        if (showing) {
            ASSERT_TRUE(Activate(dialog));
        } else {
            program.main.OpenFile();
        }
        EXPECT_TRUE(dialog.Option("optKUABFWD")->isChecked() && program.state.CurrentType == FileType::KuabFwd);
        EXPECT_EQ(program.Press(dialog, "cmdBrowse"), "Open|Open KUAB FWD File|" + program.Path("in") + "|" + QtFilter(OpenDialog::FileFilter()));

        program.Press(dialog, "optPDDX");
        program.Press(dialog, "cmdCancel");
        program.main.OpenFile();
        EXPECT_TRUE(dialog.Option("optPDDX")->isChecked() && program.state.CurrentType == FileType::PDDX);
    }
}

}  // namespace
}  // namespace vantrel
