// The review window at work, driven by keys sent to the control holding the focus in the active
// window: the find bar, undo and redo, the plots, the window's smallest size; and the keys of the
// small windows.
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QMimeData>
#include <QScreen>
#include <QValueAxis>

#include "gui/SettingsWindow.h"
#include "gui/review/FindBar.h"
#include "gui/review/PlotPanel.h"
#include "gui/review/FindingsPanel.h"
#include "import/FileFormats.h"
#include "support/GuiSupport.h"

namespace vantrel {
namespace {

using namespace test;

// Three test locations of two drops; the second also has a time history of its first drop.
std::shared_ptr<PDDXFile> Survey()
{
    auto document = std::make_shared<PDDXFile>();
    document->Element("Device Configuration", "DeflectionSensorXAxisDistances").SetValue("0, 300, 600");
    document->Element("Device Configuration", "TemperatureSensorUse").SetValue("air");
    for (int location = 1; location <= 3; ++location) {
        PDDXSection& section = document->AddTestLocation();
        for (int drop = 1; drop <= 2; ++drop)
            section.AddDropData().SetValue(std::to_string(40 + drop) + ", " + std::to_string(location * 100 + drop) + ", 80, 20");
    }
    for (int sample = 1; sample <= 4; ++sample) document->Section("Test Location 2").AddHistoryData(1, sample).SetValue("9, 1, 2");
    return document;
}

// A review window of the survey in the active main window, the table holding the focus on `item`.
ReviewWindow& Review(Program& program, const char* section = "Device Configuration", const char* item = "LoadPlateRadius")
{
    ReviewWindow& review = program.Review(Survey(), "survey.pdx");
    review.Grid()->ElementCheckFlags();
    QTableView& table = *review.Grid()->Table();
    table.setCurrentIndex(table.model()->index(Row(*review.Grid(), section, item) - 1, 2));
    EXPECT_TRUE(Focus(table));
    return review;
}

QString FocusName() { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); }

TEST(ReviewWindow, FindBarFiltersBySectionItemOrValueMissingDataAndGoesToATestLocation)
{
    Program program;
    ReviewWindow& review = Review(program);
    ReviewGrid& grid = *review.Grid();
    const int all = grid.RowCount();
    // Keys, then: the focus, the find box's text, the rows shown, the test location of the current row.
    const std::tuple<const char*, const char*, const char*, int, const char*> steps[] = {
        {"Ctrl+F", "txtFind", "", all, ""},
        {"'dropdata_2'", "txtFind", "dropdata_2", 3, "Test Location 1"},  // the first row found is current
        {"Backspace Backspace", "txtFind", "dropdata", 6, ""},
        {"Ctrl+A 'TEST location 2'", "txtFind", "TEST location 2", 9 + 2 + 4, "Test Location 2"},
        {"Ctrl+A 'air'", "txtFind", "air", 1, ""},  // a value (AirTemperature... names do not hold it)
        {"Ctrl+A Backspace Alt+M", "chkMissing", "", 2, ""},  // flagged and empty
        {"Alt+I 'Y'", "txtFind", "Y", 1, ""},
        {"Alt+G '3' Return", "grdItems", "", all, "Test Location 3"},  // the filter hid it: every row again
        {"Alt+G '9' Return", "txtTestLocation", "", all, "Test Location 3"},
        {"Escape Escape", "grdItems", "", all, "Test Location 3"}};
    for (const auto& [keys, focus, text, shown, location] : steps) {
        SCOPED_TRACE(keys);
        PressKeys(keys);
        EXPECT_EQ(FocusName(), focus);
        EXPECT_EQ(review.Find()->FindBox()->text(), text);
        EXPECT_EQ(grid.ShownRowCount(), shown);
        EXPECT_EQ(review.Find()->isVisible(), QString(keys) != "Escape Escape");
        EXPECT_TRUE(!*location || grid.CellText(grid.CurrentRow(), 0) == location) << grid.CurrentRow();
    }
    // Ctrl+A Ctrl+C under a filter copies the rows shown, nothing else.
    PressKeys("Ctrl+F 'dropdata_1' Return Ctrl+A Ctrl+C");
    EXPECT_EQ(QApplication::clipboard()->text().count("\tDropData_1\t"), 3);
    EXPECT_EQ(QApplication::clipboard()->text().count('\n'), 3);
}

TEST(ReviewWindow, UndoAndRedoRestoreTheValueTheColourAndTheUnsavedLabelWhichFollowsWhatWasWritten)
{
    Program program;
    ReviewWindow& review = Review(program);
    ReviewGrid& grid = *review.Grid();
    const auto unsaved = [&] { return review.findChild<QLabel*>("lblStatus")->isVisible(); };
    // Keys ("write": the Write button), then the two edited cells, the label, the yellow cells.
    const std::tuple<const char*, const char*, const char*, bool> steps[] = {
        {"write", "*", "0", false},
        {"'5.9' Return '1' Return", "5.9", "1", true},
        {"write", "5.9", "1", false},
        {"Ctrl+Z", "5.9", "0", true},
        {"Up Up Ctrl+Z", "*", "0", true},  // flagged and empty again: yellow, wherever the current cell is
        {"Ctrl+Z", "*", "0", true},        // nothing left to undo
        {"Ctrl+Y", "5.9", "0", true},
        {"Ctrl+Y", "5.9", "1", false},     // back to what was written
        {"Ctrl+Y", "5.9", "1", false}};
    for (const auto& [keys, radius, sensors, label] : steps) {
        SCOPED_TRACE(keys);
        if (QString(keys) == "write")
            program.Press(review, "cmdWrite", program.Path("survey.DDX"));
        else
            PressKeys(keys);
        EXPECT_EQ(Cell(grid, "Device Configuration", "LoadPlateRadius") + "|" + Cell(grid, "Device Configuration", "DeflectionSensorYAxisDistances") +
                      "|" + Cell(grid, "Device Configuration", "NumberOfDeflectionSensors"),
                  QString(radius) + "|*|" + sensors);
        EXPECT_EQ(unsaved(), label);
        EXPECT_EQ(review.isWindowModified(), label) << "the title's mark";
        EXPECT_EQ(YellowCells(grid), 1 + QString(radius).endsWith('*')) << "no other cell coloured";
        EXPECT_TRUE(QApplication::focusWidget() == grid.Table() && grid.Table()->selectionModel()->isRowSelected(grid.Table()->currentIndex().row()));
    }
}

TEST(ReviewWindow, PlotsShowTheBasinOfEachDropAndTheTimeHistoryOfTheCurrentTestLocation)
{
    Program program;
    ReviewWindow& review = Review(program, "Test Location 1", "DropData_2");
    PlotPanel& plots = *review.Plots();
    // Keys, then: the panel shown, the basin's lines, the points of its first line, the history's lines.
    const std::tuple<const char*, bool, int, QList<QPointF>, int> steps[] = {
        {"Alt+P", true, 2, {{0, 101}, {300, 80}, {600, 20}}, 0},
        {"Down", true, 2, {{0, 201}, {300, 80}, {600, 20}}, 3},  // load and two sensors
        {"Alt+P", false, 2, {{0, 201}, {300, 80}, {600, 20}}, 3}};
    for (const auto& [keys, shown, lines, points, history] : steps) {
        SCOPED_TRACE(keys);
        PressKeys(keys);
        EXPECT_TRUE(plots.isVisible() == shown && QApplication::focusWidget() == review.Grid()->Table());
        QList<QAbstractSeries*> basin = plots.Basin()->series();
        ASSERT_EQ(basin.size(), lines);
        EXPECT_EQ(static_cast<QLineSeries*>(basin[0])->points(), points);
        // The axes span every point (when the legend shows is PlotPanel's own test).
        const auto* x = static_cast<QValueAxis*>(plots.Basin()->axes(Qt::Horizontal).value(0));
        const auto* y = static_cast<QValueAxis*>(plots.Basin()->axes(Qt::Vertical).value(0));
        EXPECT_TRUE(x->min() <= 0 && x->max() >= 600 && y->min() <= 20 && y->max() >= points[0].y());
        EXPECT_EQ(plots.HistoryView()->isVisibleTo(&plots) ? plots.History()->series().size() : 0, history);
        EXPECT_TRUE(!history || static_cast<QLineSeries*>(plots.History()->series()[1])->count() == 4);
    }
}

TEST(ReviewWindow, AtItsSmallestSizeEveryControlShowsWhole)
{
    Program program;
    ReviewWindow& review = program.Blank();
    review.SetDataChanged(true);
    QMdiSubWindow& frame = *MainWindow::FrameOf(&review);
    frame.resize(1, 1);
    QApplication::processEvents();
    ASSERT_LT(review.width(), 720);
    for (const char* name : {"Label1", "txtSource", "Label2", "lblStatus", "cmdWrite", "cmdAddSection", "cmdFind", "cmdPlots", "cmdFindings", "fraGrid"}) {
        const QWidget& control = *review.findChild<QWidget*>(name);
        EXPECT_TRUE(control.isVisible() && review.rect().contains(control.geometry())) << name;
        EXPECT_GE(control.width(), control.sizeHint().width()) << name;
    }
    EXPECT_GE(review.Grid()->Table()->viewport()->height(), 3 * review.Grid()->Table()->rowHeight(0));
    // With the plots, the findings and the find bar shown, the smallest size keeps the grid and
    // the find bar whole; the panels beside the grid fold away rather than show cut off.
    review.ShowPlots(true);
    review.ShowFindings(true);
    review.Find()->Open();
    frame.resize(1, 1);
    QApplication::processEvents();
    EXPECT_TRUE(review.rect().contains(QRect(review.Find()->mapTo(&review, QPoint()), review.Find()->size())));
    EXPECT_GE(review.Grid()->width(), review.Grid()->minimumWidth());
    for (const QWidget* panel : {static_cast<QWidget*>(review.Plots()), static_cast<QWidget*>(review.Findings())}) {
        const bool folded = panel->width() == 0 || panel->visibleRegion().isEmpty();
        EXPECT_TRUE(folded || panel->width() >= panel->minimumSizeHint().width()) << panel->objectName().toStdString();
    }
    EXPECT_GE(review.Grid()->Table()->viewport()->height(), 3 * review.Grid()->Table()->rowHeight(0));
    // The main window's first size fits the screen.
    EXPECT_TRUE(program.main.screen()->availableGeometry().contains(QRect(QPoint(), program.main.frameSize())));
}

// Files dropped on the main window, read as the dialog's type unless the user takes the type the
// content shows; folders and remote files are not taken.
TEST(MainWindow, DroppedFilesOpenEachInAReviewWindowAfterTheQuestionWhenTheContentLooksLikeAnotherType)
{
    const QString ask = "Ask|Vantrel|This looks like a PDDX file. Read it as PDDX?";
    // The dialog's type, the answer, the names dropped; whether the drop is taken, the windows opened, what was asked.
    const std::tuple<FileType, QMessageBox::StandardButton, QStringList, bool, int, QString> cases[] = {
        {FileType::PDDX, QMessageBox::Yes, {"a.pdx", "b.pdx"}, true, 2, ""},
        {FileType::DynatestF25, QMessageBox::Yes, {"a.pdx"}, true, 1, ask},
        {FileType::DynatestF25, QMessageBox::Cancel, {"a.pdx", "b.pdx"}, true, 0, ask + ask},
        {FileType::PDDX, QMessageBox::Yes, {"folder", "http://example.org/a.pdx", "gone.pdx"}, false, 0, ""}};
    for (const auto& [type, answer, names, taken, opened, asked] : cases) {
        SCOPED_TRACE(names.join(' ').toStdString());
        Program program;
        program.WritePddx("a.pdx", "A");
        program.WritePddx("b.pdx", "B");
        std::filesystem::create_directory(program.folder / "folder");
        program.state.Settings.Type = type;  // what the dialog shows chosen
        program.prompts.answer = answer;
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& name : names) urls << (name.startsWith("http") ? QUrl(name) : QUrl::fromLocalFile(program.Path(name.toStdString())));
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&program.main, &enter);
        EXPECT_EQ(enter.isAccepted(), taken);
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        if (taken) QApplication::sendEvent(&program.main, &drop);
        EXPECT_EQ(program.main.ReviewWindows().size(), opened);
        EXPECT_EQ(program.prompts.log.join(""), asked);
        for (int i = 0; i < opened; ++i) {
            EXPECT_EQ(program.main.ReviewWindows()[i]->SourceFile(), program.Path(names[i].toStdString()));
            EXPECT_EQ(Cell(*program.main.ReviewWindows()[i]->Grid(), "Device Information", "DeviceSerialNumber"), QString(QChar('A' + i)));
        }
    }
}

// Ctrl+F4 and Close All with the save question are KeepEdits'.
TEST(MainWindow, RecentFilesReopenTileArrangesAndCloseAllClosesEveryWindow)
{
    Program program;
    for (const char* name : {"a.pdx", "b.pdx"}) program.Open(name, name);
    auto* menu = program.main.findChild<QMenu*>("FileMenu");
    emit menu->aboutToShow();
    EXPECT_EQ(program.main.findChild<QAction*>("RecentFile1")->text() + "|" + program.main.findChild<QAction*>("RecentFile2")->text(),
              "&1 " + program.Path("b.pdx") + "|&2 " + program.Path("a.pdx"));
    program.main.findChild<QAction*>("RecentFile2")->trigger();
    ASSERT_EQ(program.main.Area()->subWindowList().size(), 3);
    EXPECT_EQ(program.main.ReviewWindows().back()->SourceFile(), program.Path("a.pdx"));
    program.main.Tile();
    const QList<QMdiSubWindow*> frames = program.main.Area()->subWindowList();
    for (qsizetype i = 1; i < frames.size(); ++i)
        EXPECT_FALSE(frames[i]->geometry().intersects(frames[i - 1]->geometry())) << "tiled side by side";
    program.prompts.answer = QMessageBox::No;
    EXPECT_TRUE(program.main.CloseAll() && program.main.Area()->subWindowList().isEmpty());
}

// Escape and Enter in the small windows, each opened on its own: Escape closes it (as Cancel),
// Enter presses its default button.
TEST(SmallWindows, EscapeClosesEachAndEnterPressesItsDefaultButton)
{
    // The window's name, the key, the control given the focus ("": where the window puts it), what
    // the configuration's input path then holds ("": not asked), whether the window is deleted.
    const std::tuple<const char*, const char*, const char*, const char*, bool> cases[] = {
        {"OpenDialog", "Escape", "", "", false}, {"OpenDialog", "Return", "", "", false},
        {"SettingsWindow", "Escape", "", "before", false}, {"SettingsWindow", "Return", "", "typed", false},
        {"AboutWindow", "Escape", "", "", false}, {"AboutWindow", "Return", "", "", false},
        {"AcknowledgeWindow", "Escape", "", "", true}, {"AcknowledgeWindow", "Return", "", "", true},
        {"InstructionsWindow", "Escape", "txtInstructions", "", true}, {"HelpWindow", "Escape", "txtHelp", "", true}};
    for (const auto& [name, key, focus, path, gone] : cases) {
        SCOPED_TRACE(std::string(name) + " " + key);
        Program program;
        program.state.Settings.InputPath = "before";
        const QString opened = name;
        if (opened == "OpenDialog") program.main.OpenFile();
        if (opened == "SettingsWindow") {
            program.main.Configure();
            program.main.Configuration()->findChild<QLineEdit*>("txtInputPath")->setText("typed");
        }
        if (opened == "AboutWindow" || opened == "AcknowledgeWindow") program.main.ShowAbout();
        QWidget* about = program.main.findChild<QWidget*>("AboutWindow");
        if (opened == "AcknowledgeWindow") program.Press(*about, "cmdAcknowledge");
        if (opened == "InstructionsWindow") program.main.ShowInstructions();
        if (opened == "HelpWindow") program.main.ShowHelp();
        QPointer<QWidget> window = program.main.findChild<QWidget*>(name);
        ASSERT_TRUE(window && Activate(*window));
        if (*focus) window->findChild<QWidget*>(focus)->setFocus();
        // A window manager gives the focus a moment after the activation.
        ASSERT_TRUE(QTest::qWaitFor([&] {
            const QWidget* now = QApplication::focusWidget();
            return now && (*focus ? now->objectName() == focus : window->isAncestorOf(now));
        }));
        PressKeys(key);
        QApplication::processEvents();
        // Enter in the open dialog browses (the chooser cancelled, it stays); Escape asks nothing.
        const bool browsed = opened == "OpenDialog" && QString(key) == "Return";
        EXPECT_EQ(window && window->isVisible(), browsed);
        EXPECT_EQ(program.prompts.log.join(""), browsed ? "Open|Open Dynatest F25 File|" + program.Path() + "|" + QtFilter(OpenDialog::FileFilter()) : "");
        EXPECT_TRUE(!*path || program.main.Configuration()->findChild<QLineEdit*>("txtInputPath")->text() == path);
        // Enter in About closes it, no more; a closed acknowledgement is deleted.
        EXPECT_TRUE(program.main.findChildren<QWidget*>("AcknowledgeWindow").isEmpty());
        EXPECT_TRUE(!gone || QTest::qWaitFor([&] { return !window; })) << "closed but not deleted";
    }
}

}  // namespace
}  // namespace vantrel
