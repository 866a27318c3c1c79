// The desktop program driven as a user drives it: menus, the open dialog, review windows, the
// settings window; each test checks what the user sees and what lands on disk.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>
#include <memory>

#include "support/GuiSupport.h"
#include "support/TestSupport.h"
#include "core/Conversion.h"
#include "core/Settings.h"
#include "gui/frmConfiguration.h"
#include "gui/frmDialog.h"
#include "gui/frmMain.h"
#include "document/PDDXFile.h"
#include "gui/info/frmAbout.h"
#include "gui/info/frmHelp.h"
#include "gui/Twips.h"
#include "gui/review/frmReview.h"
#include "gui/review/pdxGrid.h"

namespace vantrel {
namespace {

using test::Q;
using test::ReadBytes;
using test::ScriptedPrompts;
using test::TempDir;

// A PDDX file as a user would open it: a device, one location with two drops, no plate radius.
void WritePddxInput(const std::filesystem::path& file, const std::string& serial)
{
    PDDXFile document;
    document.Element("Device Information", "DeviceSerialNumber").SetValue(serial);
    PDDXSection& location = document.AddTestLocation();
    location.AddDropData().SetValue("40.1, 310, 250");
    location.AddDropData().SetValue("50.2, 400, 330");
    WriteDocument(document, file.string());
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct Program {
    TempDir folder;
    ProgramState state = NewProgramState(folder.Path());
    ScriptedPrompts prompts;  // outlives the windows that ask through it
    std::unique_ptr<frmMain> main;

    Program()
    {
        main = std::make_unique<frmMain>(state, prompts.Table());
        main->show();
    }
    frmDialog& Dialog() { return main->Dialog(); }
    frmReview* LastReview() const
    {
        return main->ReviewWindows().isEmpty() ? nullptr : main->ReviewWindows().back().data();
    }
    void Click(const char* name, QWidget* in)
    {
        auto* button = in->findChild<QAbstractButton*>(name);
        ASSERT_NE(button, nullptr) << name;
        ASSERT_TRUE(button->isVisible()) << name;
        button->click();
    }
    void ChooseType(const char* option) { Click(option, &Dialog()); }
    int GridRow(frmReview& review, const QString& section, const QString& item)
    {
        pdxGrid& grid = *review.Grid();
        for (int row = 1; row <= grid.RowCount(); ++row)
            if (grid.CellText(row, 0) == section && grid.CellText(row, 1) == item) return row;
        return 0;
    }
};

TEST(DesktopWorkflow, OpenReviewEditFlaggedValueWriteAndCloseWithoutPrompt)
{
    Program program;
    const auto input = program.folder / "A.pdx";
    WritePddxInput(input, "SN-77");
    program.state.WorkingInputPath = program.folder.Path().string();

    program.main->OpenFile();
    frmDialog& dialog = program.Dialog();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.windowTitle(), "Open");
    // The stored default (none yet: Dynatest F25) is the option shown.
    EXPECT_TRUE(dialog.Option("optF25")->isChecked());
    EXPECT_FALSE(dialog.Option("optPDDXHistory")->isVisible());
    program.ChooseType("optPDDX");
    program.prompts.openAnswer = Q(input.string());
    program.Click("cmdBrowse", &dialog);

    EXPECT_EQ(program.prompts.openTitles.value(0), "Open PDDX File");
    EXPECT_EQ(program.prompts.openStarts.value(0), Q(program.folder.Path().string()));
    EXPECT_TRUE(program.prompts.openFilters.value(0).startsWith("All Files (*.*);;Input Data Files"));
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_EQ(program.main->ReviewWindows().size(), 1);
    frmReview& review = *program.LastReview();
    EXPECT_EQ(review.windowTitle(), "A.pdx");
    EXPECT_EQ(review.OutputName(), Q((program.folder / "A.DDX").string()));
    EXPECT_TRUE(review.findChild<QLabel*>("lblStatus")->isVisible());
    EXPECT_FALSE(review.AddTestsButton()->isVisible());
    EXPECT_FALSE(review.MergeButton()->isVisible());

    pdxGrid& grid = *review.Grid();
    const int radius = program.GridRow(review, "Device Configuration", "LoadPlateRadius");
    const int serial = program.GridRow(review, "Device Information", "DeviceSerialNumber");
    EXPECT_EQ(grid.CellText(serial, 2), "SN-77");
    ASSERT_TRUE(grid.IsYellow(radius, 2));

    // Saved first, so that the edit is what makes it unsaved again.
    program.prompts.saveAnswer = Q((program.folder / "first.DDX").string());
    QTest::mouseClick(review.findChild<QPushButton*>("cmdWrite"), Qt::LeftButton);
    EXPECT_FALSE(review.findChild<QLabel*>("lblStatus")->isVisible());

    // Typed as a user types it: into the editor that has the focus in the active window.
    program.main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(program.main.get()));
    grid.Table()->scrollTo(grid.Table()->model()->index(radius - 1, 2));
    QTest::mouseClick(grid.Table()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      grid.Table()->visualRect(grid.Table()->model()->index(radius - 1, 2)).center());
    ASSERT_TRUE(grid.Editor()->isVisible());
    ASSERT_EQ(QApplication::focusWidget(), grid.Editor());
    QTest::keyClicks(grid.Editor(), "5.9");
    QTest::keyClick(grid.Editor(), Qt::Key_Return);
    EXPECT_EQ(review.PDDXDataSet()->Element("Device Configuration", "LoadPlateRadius").Value(), "5.9");
    EXPECT_EQ(grid.CellText(radius, 2), "5.9");
    EXPECT_TRUE(grid.IsYellow(radius, 2));
    EXPECT_TRUE(review.findChild<QLabel*>("lblStatus")->isVisible());
    EXPECT_EQ(review.findChild<QLabel*>("lblStatus")->text(), "Data Not Saved");

    program.prompts.saveAnswer = review.OutputName();
    QTest::mouseClick(review.findChild<QPushButton*>("cmdWrite"), Qt::LeftButton);
    EXPECT_EQ(program.prompts.saveSuggestions.value(1), Q((program.folder / "A.DDX").string()));
    EXPECT_EQ(program.prompts.saveFilters.value(1), "PDDX Data Files (*.DDX)");
    const std::string written = ReadBytes(program.folder / "A.DDX");
    EXPECT_TRUE(Contains(written, "LoadPlateRadius = 5.9\r\n"));
    EXPECT_TRUE(Contains(written, "DeviceSerialNumber = SN-77\r\n"));
    EXPECT_TRUE(Contains(written, "DropData_2 = 50.2, 400, 330\r\n"));
    EXPECT_FALSE(review.findChild<QLabel*>("lblStatus")->isVisible());

    ASSERT_TRUE(frmMain::FrameOf(&review)->close());
    EXPECT_TRUE(program.prompts.askedTitles.isEmpty());
    QApplication::processEvents();
    EXPECT_TRUE(program.main->Area()->subWindowList().isEmpty());
}

TEST(DesktopWorkflow, BlankDocumentGetsTestLocationsWithEmptyDropsAndIsSaved)
{
    Program program;
    program.main->OpenFile();
    program.Click("cmdBlank", &program.Dialog());
    EXPECT_FALSE(program.Dialog().isVisible());
    frmReview& review = *program.LastReview();
    EXPECT_EQ(review.windowTitle(), "BlankPDDX.DDX");
    EXPECT_EQ(review.OutputName(), "BlankPDDX.DDX");
    // Nothing is flagged in a blank document.
    EXPECT_FALSE(review.Grid()->IsYellow(program.GridRow(review, "Device Configuration", "LoadPlateRadius"), 2));

    program.prompts.inputAnswer = "3";
    program.Click("cmdAddSection", &review);
    EXPECT_EQ(program.prompts.inputTitles.value(0), "Input Number of Drops");
    EXPECT_EQ(program.prompts.inputPrompts.value(0), "How many drops are associated with Test Location 1");
    EXPECT_GT(program.GridRow(review, "Test Location 1", "DropData_3"), 0);
    EXPECT_EQ(program.GridRow(review, "Test Location 1", "DropData_4"), 0);

    // An answer that is no number adds the location with no drops.
    program.prompts.inputAnswer = "many";
    program.Click("cmdAddSection", &review);
    EXPECT_EQ(program.prompts.inputPrompts.value(1), "How many drops are associated with Test Location 2");
    EXPECT_EQ(program.GridRow(review, "Test Location 2", "DropData_1"), 0);

    const int drop = program.GridRow(review, "Test Location 1", "DropData_2");
    review.PDDXDataSet()->Element("Test Location 1", "DropData_2").SetValue("40, 300");
    EXPECT_EQ(review.Grid()->CellText(drop, 2), "40, 300");

    program.prompts.saveAnswer = Q((program.folder / "blank.DDX").string());
    QTest::mouseClick(review.findChild<QPushButton*>("cmdWrite"), Qt::LeftButton);
    EXPECT_EQ(program.prompts.saveSuggestions.value(0), "BlankPDDX.DDX");
    const std::string written = ReadBytes(program.folder / "blank.DDX");
    EXPECT_TRUE(Contains(written, "NumberOfTestLocations = 2\r\n"));
    EXPECT_TRUE(Contains(written, "[Test Location 1]\r\n"));
    EXPECT_TRUE(Contains(written, "NumberOfDrops = 3\r\n"));
    EXPECT_TRUE(Contains(written, "DropData_2 = 40, 300\r\n"));
    EXPECT_TRUE(Contains(written, "NumberOfDrops = 0\r\n"));
    EXPECT_FALSE(review.findChild<QLabel*>("lblStatus")->isVisible());
}

TEST(DesktopWorkflow, AddTestsReadsTheAnswerAsAWholeNumberOfDrops)
{
    Program program;
    program.main->OpenFile();
    program.Click("cmdBlank", &program.Dialog());
    frmReview& review = *program.LastReview();

    // A number with a fraction is rounded, as any 16-bit whole number is read.
    program.prompts.inputAnswer = " 2.6 ";
    program.Click("cmdAddSection", &review);
    EXPECT_GT(program.GridRow(review, "Test Location 1", "DropData_3"), 0);
    EXPECT_EQ(program.GridRow(review, "Test Location 1", "DropData_4"), 0);
    EXPECT_EQ(review.PDDXDataSet()->Element("Test Location 1", "NumberOfDrops").Value(), "3");

    // Too large for 16 bits, or below zero: the location comes with no drops.
    for (const char* answer : {"40000", "-2"}) {
        program.prompts.inputAnswer = answer;
        program.Click("cmdAddSection", &review);
    }
    EXPECT_EQ(review.PDDXDataSet()->Element("Test Location 2", "NumberOfDrops").Value(), "0");
    EXPECT_EQ(review.PDDXDataSet()->Element("Test Location 3", "NumberOfDrops").Value(), "0");
    EXPECT_EQ(program.GridRow(review, "Test Location 3", "DropData_1"), 0);
    EXPECT_EQ(review.PDDXDataSet()->Element("Deflection Data", "NumberOfTestLocations").Value(), "3");
}

TEST(DesktopWorkflow, UnsavedWindowAsksOnExitAndCancelKeepsTheProgramAndItsSettingsFile)
{
    Program program;
    program.main->OpenFile();
    program.Click("cmdBlank", &program.Dialog());
    ASSERT_TRUE(std::filesystem::exists(program.folder / "Config.bag"));
    EXPECT_EQ(ReadBytes(program.folder / "Config.bag"), "");

    program.prompts.answer = QMessageBox::Cancel;
    EXPECT_FALSE(program.main->close());
    EXPECT_TRUE(program.main->isVisible());
    EXPECT_EQ(program.prompts.askedTitles.value(0), "BlankPDDX.DDX");
    EXPECT_EQ(program.prompts.askedTexts.value(0), "PDDX file has not been saved.\nDo you want to save BlankPDDX.DDX?");
    EXPECT_EQ(program.main->Area()->subWindowList().size(), 1);
    EXPECT_EQ(ReadBytes(program.folder / "Config.bag"), "");

    // A file that cannot be created is told, and the window stays with its data.
    program.prompts.answer = QMessageBox::Yes;
    program.prompts.saveAnswer = Q((program.folder / "no-such-folder" / "x.DDX").string());
    EXPECT_FALSE(program.main->close());
    ASSERT_EQ(program.prompts.warned.size(), 1);
    EXPECT_TRUE(program.prompts.warned[0].startsWith("Unable to create file "));
    EXPECT_TRUE(program.prompts.informed.isEmpty()) << "a failure is a warning, not a plain message";
    EXPECT_TRUE(program.LastReview()->DataChanged());
    EXPECT_FALSE(std::filesystem::exists(program.folder / "no-such-folder"));

    program.prompts.answer = QMessageBox::No;
    EXPECT_TRUE(program.main->close());
    EXPECT_TRUE(Contains(ReadBytes(program.folder / "Config.bag"), "FileType"));
}

TEST(DesktopWorkflow, SavePromptAnsweredYesThenCancelledStillClosesTheWindow)
{
    Program program;
    program.main->OpenFile();
    program.Click("cmdBlank", &program.Dialog());
    program.prompts.answer = QMessageBox::Yes;
    program.prompts.saveAnswer.clear();
    EXPECT_TRUE(frmMain::FrameOf(program.LastReview())->close());
    EXPECT_EQ(program.prompts.saveSuggestions.value(0), "BlankPDDX.DDX");
    EXPECT_TRUE(program.main->Area()->subWindowList().isEmpty());
    EXPECT_TRUE(program.prompts.informed.isEmpty());
    EXPECT_TRUE(program.prompts.warned.isEmpty());
}

TEST(DesktopWorkflow, OpenDialogStartsAtTheStoredTypeAndTheHiddenChoicesChangeNothing)
{
    Program program;
    program.state.Settings.FileType = 8;
    program.main->OpenFile();
    frmDialog* dialog = &program.Dialog();
    EXPECT_TRUE(dialog->Option("optKUABFWD")->isChecked());
    EXPECT_EQ(program.state.CurrentFileType, 8);
    dialog->Option("optPDDXHistory")->click();
    EXPECT_EQ(program.state.CurrentFileType, 8);
    program.ChooseType("optJILSCFG");
    EXPECT_EQ(program.state.CurrentFileType, 10);

    // Cancel hides the dialog and keeps it as it was.
    program.Click("cmdCancel", dialog);
    EXPECT_FALSE(dialog->isVisible());
    program.main->OpenFile();
    EXPECT_EQ(&program.Dialog(), dialog);
    EXPECT_TRUE(dialog->Option("optJILSCFG")->isChecked());

    // Closing its window ends it; the next one starts from the settings again, and a stored type
    // with no option leaves F25 shown and the type in use alone.
    program.state.Settings.FileType = 5;
    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    program.main->OpenFile();
    EXPECT_TRUE(program.Dialog().Option("optF25")->isChecked());
    EXPECT_EQ(program.state.CurrentFileType, 10);
}

TEST(DesktopWorkflow, WindowMenuListsTheReviewWindows)
{
    Program program;
    program.main->OpenFile();
    program.Click("cmdBlank", &program.Dialog());
    auto* menu = program.main->findChild<QMenu*>("Window");
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    QStringList items;
    for (QAction* action : menu->actions())
        if (!action->isSeparator()) items << action->text();
    EXPECT_EQ(items, QStringList({"&Cascade", "&1 BlankPDDX.DDX"}));
}

TEST(DesktopWorkflow, BatchConvertsEveryFileEndingInTheExtensionBesideItsInput)
{
    Program program;
    const auto data = program.folder / "data";
    std::filesystem::create_directories(data);
    WritePddxInput(data / "A.FWD", "one");
    WritePddxInput(data / "b.fwd", "two");
    WritePddxInput(data / "FWDLIST.FWD", "three");
    WritePddxInput(data / "C.DAT", "four");

    program.main->OpenFile();
    program.ChooseType("optPDDX");
    program.prompts.openAnswer = Q((data / "A.FWD").string());
    program.prompts.answer = QMessageBox::No;
    program.Click("cmdBatch", &program.Dialog());
    EXPECT_EQ(program.prompts.openTitles.value(0), "Find PDDX File in Directory to be Processed");
    EXPECT_EQ(program.prompts.askedTitles.value(0), "Batch Processing of FWD Files");
    const QString message = program.prompts.askedTexts.value(0);
    EXPECT_TRUE(message.startsWith("The following files were found with the same extension. \n"));
    EXPECT_TRUE(message.contains(QString("\n     ") + QChar(0x2022) + " A.FWD\n") || message.contains(QString(" \n     ") + QChar(0x2022) + " A.FWD\n"));
    EXPECT_TRUE(message.contains(QString("     ") + QChar(0x2022) + " b.fwd\n"));
    EXPECT_FALSE(message.contains("FWDLIST"));
    EXPECT_TRUE(message.endsWith(" Do you wish to convert all of the files to PDDX Standard?\n\nClick <Yes> to continue or <No> to cancel..."));
    EXPECT_FALSE(std::filesystem::exists(data / "Acvt.DDX"));

    program.prompts.answer = QMessageBox::Yes;
    program.Click("cmdBatch", &program.Dialog());
    EXPECT_TRUE(Contains(ReadBytes(data / "Acvt.DDX"), "DeviceSerialNumber = one\r\n"));
    EXPECT_TRUE(Contains(ReadBytes(data / "bcvt.DDX"), "DeviceSerialNumber = two\r\n"));
    EXPECT_FALSE(std::filesystem::exists(data / "FWDLISTcvt.DDX"));
    EXPECT_FALSE(std::filesystem::exists(data / "Ccvt.DDX"));
    EXPECT_TRUE(program.main->ReviewWindows().isEmpty());
    EXPECT_EQ(program.state.WorkingInputPath, data.string());
    EXPECT_TRUE(program.prompts.informed.isEmpty());
    EXPECT_TRUE(program.prompts.warned.isEmpty());
}

TEST(DesktopWorkflow, UnreadableFileIsNamedInAMessageAndTheDialogStaysOpen)
{
    Program program;
    program.main->OpenFile();
    const auto missing = program.folder / "gone.F25";
    program.prompts.openAnswer = Q(missing.string());
    program.Click("cmdBrowse", &program.Dialog());
    ASSERT_EQ(program.prompts.warned.size(), 1);
    EXPECT_TRUE(program.prompts.warned[0].contains(Q(missing.string())));
    EXPECT_TRUE(program.Dialog().isVisible());
    EXPECT_TRUE(program.main->ReviewWindows().isEmpty());

    // A line the reader cannot take: file, line and reason.
    const auto bad = program.folder / "bad.F20";
    test::WriteBytes(bad, test::CrLf({"garbage line"}));
    program.ChooseType("optF20");
    program.prompts.openAnswer = Q(bad.string());
    program.Click("cmdBrowse", &program.Dialog());
    ASSERT_EQ(program.prompts.warned.size(), 2);
    EXPECT_TRUE(program.prompts.warned[1].startsWith("Could not convert " + Q(bad.string()) + "\nLine 1: "));
    EXPECT_TRUE(program.Dialog().isVisible());
    EXPECT_TRUE(program.main->ReviewWindows().isEmpty());

    // A type with no reader: the program's one message for it, and nothing else.
    program.state.CurrentFileType = 5;
    WritePddxInput(program.folder / "h.pdx", "x");
    program.Dialog().FilenameBox()->setText(Q((program.folder / "h.pdx").string()));
    EXPECT_FALSE(program.Dialog().GetDataNow());
    EXPECT_EQ(program.prompts.warned.value(2), "unknown file type");
    EXPECT_TRUE(program.main->ReviewWindows().isEmpty());
    // Every one of them a warning, none a plain message.
    EXPECT_EQ(program.prompts.warned.size(), 3);
    EXPECT_TRUE(program.prompts.informed.isEmpty());
}

TEST(DesktopWorkflow, MergeAddsTheSecondSourceToTheSameWindowAndDocument)
{
    Program program;
    WritePddxInput(program.folder / "first.pdx", "S1");
    PDDXFile second;
    second.Element("Device Configuration", "LoadPlateRadius").SetValue("150");
    WriteDocument(second, (program.folder / "second.pdx").string());

    program.main->OpenFile();
    program.ChooseType("optPDDX");
    program.prompts.openAnswer = Q((program.folder / "first.pdx").string());
    program.Click("cmdBrowse", &program.Dialog());
    frmReview& review = *program.LastReview();
    const std::shared_ptr<PDDXFile> document = review.PDDXDataSet();

    review.OnMerge(&review);
    EXPECT_EQ(program.Dialog().DialogMode(), 1);
    program.prompts.openAnswer = Q((program.folder / "second.pdx").string());
    program.Click("cmdBrowse", &program.Dialog());
    EXPECT_EQ(program.main->ReviewWindows().size(), 1);
    EXPECT_EQ(review.PDDXDataSet(), document);
    EXPECT_EQ(review.findChild<QPlainTextEdit*>("txtSource")->toPlainText(),
              Q((program.folder / "first.pdx").string()) + "\n" + Q((program.folder / "second.pdx").string()));
    EXPECT_EQ(review.OutputName(), Q((program.folder / "first.DDX").string()));
    EXPECT_EQ(review.Grid()->CellText(program.GridRow(review, "Device Configuration", "LoadPlateRadius"), 2), "150");
    EXPECT_EQ(review.Grid()->CellText(program.GridRow(review, "Device Information", "DeviceSerialNumber"), 2), "S1");
    EXPECT_TRUE(review.DataChanged());
}

TEST(DesktopWorkflow, MergeWithATypeThatHasNoReaderLeavesTheWindowAsItWas)
{
    Program program;
    WritePddxInput(program.folder / "first.pdx", "S1");
    WritePddxInput(program.folder / "second.pdx", "S2");
    program.main->OpenFile();
    program.ChooseType("optPDDX");
    program.prompts.openAnswer = Q((program.folder / "first.pdx").string());
    program.Click("cmdBrowse", &program.Dialog());
    frmReview& review = *program.LastReview();
    program.prompts.saveAnswer = Q((program.folder / "first.DDX").string());
    QTest::mouseClick(review.findChild<QPushButton*>("cmdWrite"), Qt::LeftButton);
    ASSERT_FALSE(review.DataChanged());

    review.OnMerge(&review);
    program.state.CurrentFileType = 5;
    program.Dialog().FilenameBox()->setText(Q((program.folder / "second.pdx").string()));
    EXPECT_FALSE(program.Dialog().GetDataNow());
    EXPECT_EQ(program.prompts.warned.value(0), "unknown file type");
    EXPECT_TRUE(program.prompts.informed.isEmpty());
    EXPECT_TRUE(program.Dialog().isVisible());
    // Nothing read, so nothing to save and no second source.
    EXPECT_FALSE(review.DataChanged());
    EXPECT_FALSE(review.findChild<QLabel*>("lblStatus")->isVisible());
    EXPECT_EQ(review.findChild<QPlainTextEdit*>("txtSource")->toPlainText(), Q((program.folder / "first.pdx").string()));
    EXPECT_EQ(program.main->ReviewWindows().size(), 1);
}

TEST(DesktopWorkflow, SettingsOkKeepsTheChoicesAndCancelRestoresTheStoredOnes)
{
    Program program;
    program.main->Configure();
    frmConfiguration& window = *program.main->Configuration();
    EXPECT_EQ(window.windowTitle(), "Configuration");
    auto* inputPath = window.findChild<QLineEdit*>("txtInputPath");
    EXPECT_EQ(inputPath->text(), Q(program.folder.Path().string()));
    EXPECT_TRUE(window.findChild<QRadioButton*>("optF25")->isChecked());
    EXPECT_FALSE(window.findChild<QGroupBox*>("fraJILSDefaults")->isVisible());

    program.prompts.folderAnswer = "/data/fwd";
    program.Click("cmdBrowseInput", &window);
    EXPECT_EQ(program.prompts.folderTitles.value(0), "Select folder where input data files are located.");
    EXPECT_EQ(inputPath->text(), "/data/fwd");
    program.prompts.folderAnswer.clear();
    program.Click("cmdBrowseHistory", &window);
    EXPECT_EQ(program.prompts.folderTitles.value(1), "Select folder where history files are located.");
    EXPECT_EQ(window.findChild<QLineEdit*>("txtHistoryPath")->text(), Q(program.folder.Path().string()));

    program.Click("optJils", &window);
    EXPECT_TRUE(window.findChild<QGroupBox*>("fraJILSDefaults")->isVisible());
    auto* count = window.findChild<QComboBox*>("cboJILSNumSensors");
    EXPECT_EQ(count->count(), 5);
    EXPECT_EQ(count->currentIndex(), -1);
    EXPECT_EQ(window.findChild<QLineEdit*>("txtJILSLoadPlateRadi")->text(), "6");
    count->setCurrentIndex(3);
    emit count->activated(3);
    EXPECT_EQ(window.findChild<QLineEdit*>("txtJILSXAxis")->text(), "0, 8, 12, 18, 24, 36, 48, 60,-12");
    EXPECT_EQ(window.findChild<QLineEdit*>("txtJILSYAxis")->text(), "0, 0, 0, 0, 0, 0, 0, 0,  0");
    program.Click("cmdOK", &window);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(program.state.Settings.InputPath, "/data/fwd");
    EXPECT_EQ(program.state.Settings.FileType, 6);
    EXPECT_EQ(program.state.Settings.NumSensors, 9);
    EXPECT_EQ(program.state.Settings.SensorXAxis, "0, 8, 12, 18, 24, 36, 48, 60,-12");
    // The open dialog keeps starting where the program started.
    EXPECT_EQ(program.state.WorkingInputPath, program.folder.Path().string());

    program.main->Configure();
    inputPath->setText("/elsewhere");
    window.findChild<QLineEdit*>("txtJILSXAxis")->setText("1, 2");
    program.Click("optKUABFWD", &window);
    program.Click("cmdCancel", &window);
    EXPECT_EQ(inputPath->text(), "/data/fwd");
    EXPECT_TRUE(window.findChild<QRadioButton*>("optJils")->isChecked());
    EXPECT_EQ(window.findChild<QLineEdit*>("txtJILSXAxis")->text(), "0, 8, 12, 18, 24, 36, 48, 60,-12");
    EXPECT_EQ(window.SelectedFileType(), 6);
    EXPECT_EQ(program.state.Settings.FileType, 6);

    // What the next start finds.
    ASSERT_TRUE(program.main->close());
    ProgramState next = NewProgramState(program.folder.Path());
    std::ostringstream warnings;
    LoadSettings(next, false, warnings);
    EXPECT_EQ(next.Settings.InputPath, "/data/fwd");
    EXPECT_EQ(next.Settings.FileType, 6);
    EXPECT_EQ(next.Settings.NumSensors, 9);
    EXPECT_EQ(next.Settings.SensorYAxis, "0, 0, 0, 0, 0, 0, 0, 0,  0");
}

TEST(DesktopWorkflow, JilsChosenWithoutACountStoresFive)
{
    Program program;
    program.main->Configure();
    frmConfiguration& window = *program.main->Configuration();
    program.Click("optJils", &window);
    program.Click("cmdOK", &window);
    EXPECT_EQ(program.state.Settings.NumSensors, 5);
    EXPECT_EQ(program.state.Settings.LoadPlateRadius, "6");
}

TEST(DesktopWorkflow, CascadePlacesWindowsFourHundredTwipsApartTheLastInFront)
{
    Program program;
    program.main->Cascade();  // nothing to arrange
    for (int i = 0; i < 3; ++i) {
        program.main->OpenFile();
        program.Click("cmdBlank", &program.Dialog());
    }
    for (const auto& review : program.main->ReviewWindows()) frmMain::FrameOf(review)->move(300, 200);
    program.main->Cascade();
    const auto at = [&](int twips) {
        return QPoint(TwipsToPixels(program.main.get(), twips), TwipsToPixels(program.main.get(), twips, true));
    };
    const auto& windows = program.main->ReviewWindows();
    EXPECT_EQ(frmMain::FrameOf(windows[0])->pos(), at(10));
    EXPECT_EQ(frmMain::FrameOf(windows[1])->pos(), at(410));
    EXPECT_EQ(frmMain::FrameOf(windows[2])->pos(), at(810));
    EXPECT_EQ(program.main->Area()->activeSubWindow(), frmMain::FrameOf(windows[2]));
    // 96 DPI: 410 twips are 27 pixels.
    if (program.main->logicalDpiX() == 96) {
        EXPECT_EQ(at(410).x(), 27);
    }

    // A closed window is passed over.
    program.prompts.answer = QMessageBox::No;
    frmMain::FrameOf(windows[1])->close();
    QApplication::processEvents();
    program.main->Cascade();
    EXPECT_EQ(frmMain::FrameOf(windows[2])->pos(), at(410));
}

TEST(DesktopWorkflow, HelpOpensAtTheTopicOfTheFocusedControlAndAboutShowsTheVersion)
{
    Program program;
    program.main->OpenFile();
    auto* batch = program.Dialog().findChild<QPushButton*>("cmdBatch");
    frmHelp* help = frmHelp::ShowFor(batch, program.main.get());
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->Browser()->source().toString(), "qrc:/help/open.html#batch");
    EXPECT_TRUE(help->Browser()->toPlainText().contains("cvt.DDX"));
    frmHelp::ShowFor(nullptr, program.main.get());
    EXPECT_TRUE(help->Browser()->toPlainText().contains("Vantrel converts"));

    // F1 in the review window's grid: the grid's topic.
    program.Click("cmdBlank", &program.Dialog());
    QWidget* table = program.LastReview()->Grid()->Table();
    program.main->activateWindow();
    table->setFocus();
    QTest::keyClick(table, Qt::Key_F1);
    EXPECT_EQ(help->Browser()->source().toString(), "qrc:/help/review.html#grid");

    frmAbout about;
    EXPECT_EQ(about.windowTitle(), "About Vantrel");
    EXPECT_EQ(about.findChild<QLabel*>("lblVersion")->text(), "Version 1.3.2");
    about.findChild<QPushButton*>("cmdAcknowledge")->click();
    auto* thanks = about.findChild<QWidget*>("frmAcknowledge");
    ASSERT_NE(thanks, nullptr);
    EXPECT_EQ(thanks->windowTitle(), "Vantrel Acknowledgements");
    EXPECT_EQ(thanks->findChild<QLabel*>("lblTitle")->text(), "Vantrel");
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

// With any argument the program takes the command-line road: it must run where no window can
// be opened at all.
TEST(DesktopProgram, AnyArgumentConvertsWithoutAWindowingSystem)
{
    TempDir folder;
    WritePddxInput(folder / "run1.pdx", "CL-1");
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", "no-such-platform");
    const test::RunResult version = test::RunVantrel({"--version"}, folder.Path());
    const test::RunResult run = test::RunVantrel({(folder / "run1.pdx").string() + ",0"}, folder.Path());
    qputenv("QT_QPA_PLATFORM", platform);
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Contains(ReadBytes(folder / "run1cvt.DDX"), "DeviceSerialNumber = CL-1\r\n"));
}

}  // namespace
}  // namespace vantrel
