// What a user types is never lost on the way out, and the keys work on every platform: closing
// commits the open edit and asks, a cancelled save keeps the window, the written name is
// remembered, the desktop's keys reach their commands, and the keyboard can go everywhere.
#include <QMenuBar>
#include <set>
#include <vector>

#include "support/GuiSupport.h"

namespace vantrel {
namespace {

using namespace test;

// A written PDDX file opened in the active main window, its value editor open on the plate
// radius with `typed` in it and the focus.
ReviewWindow& EditingAfterWrite(Program& program, const QString& typed)
{
    ReviewWindow& review = program.Open("s.pdx");
    program.Press(review, "cmdWrite", program.Path("s.DDX"));
    EXPECT_TRUE(Activate(program.main));
    EXPECT_TRUE(ClickCell(*review.Grid(), Row(*review.Grid(), "Device Configuration", "LoadPlateRadius")));
    QTest::keyClicks(review.Grid()->Editor(), typed);
    EXPECT_EQ(QApplication::focusWidget(), review.Grid()->Editor());
    return review;
}

// Every way out of a review window, with the edit still open.
const std::pair<const char*, std::function<void(Program&)>> kWaysOut[] = {
    {"Ctrl+F4", [](Program&) { PressKeys("Ctrl+F4"); }},
    {"the platform's close key", [](Program&) { PressKeys(QKeySequence(QKeySequence::Close).toString()); }},
    {"the close box", [](Program& p) { p.main.Area()->activeSubWindow()->close(); }},
    {"Close All", [](Program& p) { p.main.CloseAll(); }},
    {"File > Exit", [](Program& p) { p.main.findChild<QAction*>("ProgramExit")->trigger(); }},
};

// Yes with a name chosen writes the edit there and closes; Yes with the chooser cancelled or a
// name that cannot be created, and Cancel, keep the window with its edit, and the program; No
// closes it unwritten. The settings are written only when the program does end.
TEST(KeepEdits, ClosingCommitsTheOpenEditThenAsksAndWritesItOrKeepsTheWindow)
{
    // The answer, the name chosen ("": the chooser cancelled), whether the window closes.
    const std::tuple<QMessageBox::StandardButton, const char*, bool> answers[] = {
        {QMessageBox::Yes, "s.DDX", true}, {QMessageBox::Yes, "", false}, {QMessageBox::Yes, "missing/x.DDX", false},
        {QMessageBox::Cancel, "", false}, {QMessageBox::No, "", true}};
    for (const auto& [name, close] : kWaysOut)
        for (const auto& [answer, chosen, closes] : answers) {
            SCOPED_TRACE(std::string(name) + ", " + std::to_string(answer) + " '" + chosen + "'");
            Program program;
            ReviewWindow& review = EditingAfterWrite(program, "7.5");
            program.prompts.log.clear();
            program.prompts.answer = answer;
            program.prompts.reply = *chosen ? program.Path(chosen) : "";
            close(program);
            const QString asked = program.prompts.log.join("\n");
            EXPECT_TRUE(asked.startsWith("Ask|" + program.Path("s.DDX") + "|PDDX file has not been saved."))
                << asked.toStdString();
            EXPECT_EQ(asked.contains("\nWarn|Vantrel|Unable to create file "), !closes && *chosen);
            EXPECT_EQ(ReadBytes(program.folder / "s.DDX").find("= 7.5\r\n") != std::string::npos, closes && *chosen);
            ASSERT_EQ(program.main.Area()->subWindowList().size(), closes ? 0 : 1);
            EXPECT_TRUE(closes || (program.main.isVisible() && review.DataChanged() &&
                                   Cell(*review.Grid(), "Device Configuration", "LoadPlateRadius") == "7.5"));
            const bool ended = closes && std::string(name) == "File > Exit";
            EXPECT_EQ(ReadBytes(program.folder / "Config.bag").find("FileType") != std::string::npos, ended);
        }
}

TEST(KeepEdits, TheNameLastWrittenToIsTheNextSavesAndTheQuestionsAndTheTitlesMark)
{
    Program program;
    ReviewWindow& review = EditingAfterWrite(program, "7.5");
    PressKeys("Return");
    EXPECT_EQ(review.windowTitle(), "s.pdx[*]");
    EXPECT_TRUE(review.isWindowModified());
    // Save As: asked, suggesting the name written last; the file gets the new name.
    program.prompts.log.clear();
    program.prompts.reply = program.Path("other.DDX");
    PressKeys("Ctrl+Shift+S");
    EXPECT_EQ(program.prompts.log.join("\n"), "Save|Save As|" + program.Path("s.DDX") + "|PDDX Data Files (*.DDX)");
    EXPECT_TRUE(review.OutputName() == program.Path("other.DDX") &&  !review.isWindowModified());
    // Ctrl+S writes there again without asking; the close question names it.
    ASSERT_TRUE(ClickCell(*review.Grid(), Row(*review.Grid(), "Device Configuration", "LoadPlateRadius")));
    PressKeys("'8' Return Ctrl+S");
    EXPECT_EQ(program.prompts.log.size(), 1);
    EXPECT_TRUE(ReadBytes(program.folder / "other.DDX").find("LoadPlateRadius = 8\r\n") != std::string::npos);
    ASSERT_TRUE(ClickCell(*review.Grid(), Row(*review.Grid(), "Device Configuration", "LoadPlateRadius")));
    PressKeys("'9' Return");
    program.prompts.answer = QMessageBox::Cancel;
    review.parentWidget()->close();
    EXPECT_TRUE(program.prompts.log.back().startsWith("Ask|" + program.Path("other.DDX") + "|PDDX file has not been saved.\nDo you want to save " +
                                                      program.Path("other.DDX")));
}

// Ctrl+S and Ctrl+Shift+S are the test above's; Ctrl+O opens the dialog, asking nothing.
TEST(Keys, OpenReachesItsCommandAndNoTwoControlsShareAnAccessKey)
{
    Program program;
    ReviewWindow& review = EditingAfterWrite(program, "7.5");
    PressKeys("Escape");
    ASSERT_EQ(QApplication::focusWidget(), review.Grid()->Table());
    program.prompts.log.clear();
    PressKeys("Ctrl+O");
    EXPECT_TRUE(program.main.Dialog().isVisible() && program.prompts.log.isEmpty())
        << program.prompts.log.join("\n").toStdString();
    // Access keys: the menu bar's, the review window's buttons' and labels', each letter once.
    std::multiset<int> keys;
    const auto add = [&keys](const QString& text) {
        if (!QKeySequence::mnemonic(text).isEmpty()) keys.insert(QKeySequence::mnemonic(text)[0].key());
    };
    for (const QAction* menu : program.main.menuBar()->actions()) add(menu->text());
    for (const QAbstractButton* button : review.findChildren<QAbstractButton*>()) add(button->text());
    for (const QLabel* label : review.findChildren<QLabel*>()) add(label->text());
    EXPECT_GE(keys.size(), 10u);
    for (const int key : keys) EXPECT_EQ(keys.count(key), 1u) << "Alt+" << QString(QChar(key)).toStdString();
}

TEST(Keys, TheKeypadSeparatorTypesItsCharacterAndOnlyEnterTabOrAClickCommit)
{
    Program program;
    ReviewWindow& review = EditingAfterWrite(program, "12");
    for (const Qt::Key separator : {Qt::Key_Comma, Qt::Key_Period}) QTest::keyClick(review.Grid()->Editor(), separator, Qt::KeypadModifier);
    PressKeys("'5'");
    EXPECT_TRUE(review.Grid()->Editing());
    PressKeys("Enter");
    EXPECT_EQ(Cell(*review.Grid(), "Device Configuration", "LoadPlateRadius"), "12,.5");
}

TEST(Keys, ANewDocumentHasTheFocusInItsGridAndCtrlTabLeavesIt)
{
    Program program;
    ReviewWindow& review = program.Open("s.pdx");
    ASSERT_TRUE(Activate(program.main));
    ASSERT_EQ(QApplication::focusWidget(), review.Grid()->Table()) << "focus after opening";
    const QModelIndex first = review.Grid()->Table()->currentIndex();
    // Each key, then the control that has the focus after it.
    const std::pair<const char*, const char*> steps[] = {
        {"Tab", "grdItems"}, {"Down", "grdItems"}, {"Ctrl+Tab", "cmdFind"}, {"Tab", "lstFindings"}, {"Tab", "cmdWrite"},
        {"Tab", "txtSource"}, {"Shift+Tab", "cmdWrite"}, {"Shift+Tab", "lstFindings"}, {"Shift+Tab", "cmdFind"},
        {"Shift+Tab", "grdItems"}, {"Ctrl+Shift+Tab", "(out of the grid)"}};
    for (const auto& [key, focus] : steps) {
        PressKeys(key);
        const QWidget* now = QApplication::focusWidget();
        if (QString(focus) == "(out of the grid)")
            EXPECT_TRUE(now && now != review.Grid()->Table() && !review.Grid()->isAncestorOf(now) && now->isVisible()) << key;
        else
            EXPECT_EQ(now ? now->objectName() : "", focus) << key;
    }
    EXPECT_NE(review.Grid()->Table()->currentIndex(), first) << "the grid's own keys still move in it";
}

TEST(Spreadsheet, PasteFillsTheSelectedValuesOrTheNamedRowsAndDeleteEmptiesThemEachOneUndoStep)
{
    Program program;
    ReviewWindow& review = EditingAfterWrite(program, "");
    ReviewGrid& grid = *review.Grid();
    PressKeys("Escape");
    const auto values = [&] {
        return Cell(grid, "Device Configuration", "LoadPlateRadius") + "|" + Cell(grid, "Device Information", "DeviceSerialNumber") + "|" +
               Cell(grid, "Device Information", "DeviceLoadType");
    };
    const QString before = values();
    const auto select = [&](const std::vector<const char*>& items) {
        grid.Table()->clearSelection();
        for (const char* item : items) {
            const int row = Row(grid, std::string(item) == "LoadPlateRadius" ? "Device Configuration" : "Device Information", item);
            grid.Table()->selectionModel()->select(grid.Table()->model()->index(row - 1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        ASSERT_TRUE(Focus(*grid.Table()));
    };
    // What is selected, the clipboard, the key; then the three values.
    const std::tuple<std::vector<const char*>, QString, const char*, QString> steps[] = {
        {{"LoadPlateRadius", "DeviceLoadType"}, "150", "Ctrl+V", "150|S1|150"},
        {{}, "", "Ctrl+Z", before},
        {{"DeviceSerialNumber"}, "Device Configuration\tLoadPlateRadius\t6\nDevice Information\tDeviceSerialNumber\tS2\nNo Such\tItem\tx\n", "Ctrl+V", "6|S2|Impulse"},
        {{"DeviceSerialNumber", "LoadPlateRadius"}, "", "Delete", "*||Impulse"},
        {{}, "", "Ctrl+Z", "6|S2|Impulse"},
        {{}, "", "Ctrl+Z", before}};
    for (const auto& [items, clipboard, key, expected] : steps) {
        SCOPED_TRACE(key);
        if (items.size()) select(items);
        if (!clipboard.isEmpty()) QApplication::clipboard()->setText(clipboard);
        PressKeys(key);
        EXPECT_EQ(values(), expected);
    }
}

// After an undo or redo the rows the step changed are chosen, the first of them current: Shift
// extends the choice from there, not from the row picked before the step.
TEST(Spreadsheet, UndoAndRedoChooseTheRowsTheyChangedSoThatShiftExtendsFromThem)
{
    Program program;
    ReviewWindow& review = EditingAfterWrite(program, "");
    ReviewGrid& grid = *review.Grid();
    PressKeys("Escape");
    const int first = Row(grid, "Device Information", "DeviceSerialNumber");
    for (int row = first; row < first + 4; ++row) grid.RowElement(row)->SetValue("V" + std::to_string(row - first));
    const auto values = [&] {
        QStringList four;
        for (int row = first; row < first + 4; ++row) four << grid.CellText(row, 2);
        return four;
    };
    const QStringList b = values();
    QString pasted;  // the three rows below the first, named as Copy names them
    for (int row = first + 1; row < first + 4; ++row)
        pasted += grid.CellText(row, 0) + "\t" + grid.CellText(row, 1) + "\tP" + QString::number(row - first) + "\n";
    QApplication::clipboard()->setText(pasted);
    ASSERT_TRUE(Focus(*grid.Table()));
    PressKeys("Ctrl+Home");  // the user's last pick: the grid's first row
    // The keys, then the four values.
    const std::tuple<const char*, QStringList> steps[] = {
        {"Ctrl+V", {b[0], "P1", "P2", "P3"}},
        {"Ctrl+Z", b},
        {"Shift+Down Delete", {b[0], "", "", b[3]}},
        {"Ctrl+Z", b},
        {"Ctrl+Y", {b[0], "", "", b[3]}},
        {"Shift+Up Delete", {"", "", "", b[3]}}};
    for (const auto& [keys, expected] : steps) {
        SCOPED_TRACE(keys);
        PressKeys(keys);
        EXPECT_EQ(values(), expected);
    }
}

TEST(Layouts, TheSizesWindowsWereLeftAtAreTheNextOnes)
{
    DesktopSettings kept;
    {
        Program program;
        program.Open("s.pdx");
        program.main.resize(1240, 900);
        QMdiSubWindow* frame = program.main.Area()->subWindowList().value(0);
        frame->resize(1000, 760);  // above the default size, below which no window opens
        program.prompts.answer = QMessageBox::No;
        program.main.close();
        EXPECT_TRUE(program.state.Desktop.MainWidth == 1240 && program.state.Desktop.MainHeight == 900);
        EXPECT_TRUE(program.state.Desktop.ReviewWidth == 1000 && program.state.Desktop.ReviewHeight == 760);
        kept = program.state.Desktop;
    }
    Program program;
    program.state.Desktop = kept;
    program.Open("s.pdx");
    EXPECT_EQ(program.main.Area()->subWindowList().value(0)->size(), QSize(1000, 760).boundedTo(program.main.Area()->viewport()->size()));
}

}  // namespace
}  // namespace vantrel
