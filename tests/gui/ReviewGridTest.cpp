// The grid as the user sees it: rows, colours, column widths and in-place editing of the value
// column, ended every way a user ends an edit, with keys sent to the editor of an active window.
#include <QHeaderView>
#include <QSignalSpy>
#include <array>
#include <functional>

#include "gui/Twips.h"
#include "support/GuiSupport.h"

namespace vantrel {
namespace {

using namespace test;

// A grid in a shown window, following its document as the review window makes it.
struct ShownGrid {
    PDDXFile document;
    ReviewGrid grid;
    std::vector<std::string> changes;  // "item=value" for each element the document says changed
    ShownGrid()
    {
        document.SubscribeElementChange([this](PDDXElement& element) {
            changes.push_back(std::string(element.Handle()) + "=" + std::string(element.Value()));
            grid.ElementChange(element);
        });
        grid.resize(700, 400);
        grid.SetPDDXFile(&document);
        grid.show();
    }
    // Keys only go where the focus is in the active window, so a keyboard test starts here.
    [[nodiscard]] bool Activate() { return test::Activate(grid); }
    // The plate radius "150", the table holding the focus on its row in `column` (2: the value).
    [[nodiscard]] bool AtRadius(int column = 2)
    {
        document.Element("Device Configuration", "LoadPlateRadius").SetValue("150");
        grid.Table()->setCurrentIndex(grid.Table()->model()->index(RowOf("LoadPlateRadius") - 1, column));
        return Activate() && Focus(*grid.Table());
    }
    QString Cell(const char* item) const { return test::Cell(grid, "Device Configuration", item); }
    int RowOf(const char* item) const { return Row(grid, "Device Configuration", item); }
};

TEST(ReviewGrid, ShowsEveryElementColoursTheEmptyFlaggedOnesAndFollowsChangesFromOutside)
{
    ShownGrid shown;
    QAbstractItemModel& model = *shown.grid.Table()->model();
    EXPECT_TRUE(shown.grid.RowCount() == 67 && YellowCells(shown.grid) == 0);
    EXPECT_EQ(shown.grid.CellText(1, 0) + "|" + shown.grid.CellText(1, 2), "Pavement Deflection Data Exchange File|1.0");
    const int cap = shown.grid.Table()->viewport()->width() * 3 / 10;
    for (int row = 1; row <= 67; ++row)  // the name columns fit their widest text, up to 30 % of the grid each
        for (int column : {0, 1})
            EXPECT_LE(std::min(shown.grid.Table()->fontMetrics().horizontalAdvance(shown.grid.CellText(row, column)), cap), shown.grid.Table()->columnWidth(column));
    shown.document.Element("Device Configuration", "DeflectionSensorYAxisDistances").SetValue("0, 0");
    shown.grid.ElementCheckFlags();
    EXPECT_EQ(shown.Cell("LoadPlateRadius") + shown.Cell("DeflectionSensorXAxisDistances"), "**");
    EXPECT_EQ(YellowCells(shown.grid), 2) << "flagged but filled: white";
    EXPECT_EQ(model.index(shown.RowOf("LoadPlateRadius") - 1, 2).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 255, 0));

    // A change from outside shows in its row, coloured by what it now holds; the current cell
    // (the last row's value after the check, else the cell last clicked) keeps its colour.
    QSignalSpy shownAgain(&model, &QAbstractItemModel::dataChanged);
    shown.document.Element("Device Configuration", "LoadPlateRadius").SetValue("5.9");
    EXPECT_EQ(shownAgain.value(0).value(0).toModelIndex(), model.index(shown.RowOf("LoadPlateRadius") - 1, 2));
    EXPECT_TRUE(shown.Cell("LoadPlateRadius") == "5.9" && shown.grid.CurrentRow() == 67 && YellowCells(shown.grid) == 1);
    ClickCell(shown.grid, 1, 0);
    shown.document.Element("Device Configuration", "LoadPlateRadius").SetValue("");
    EXPECT_TRUE(shown.Cell("LoadPlateRadius") == "*" && !shown.grid.IsYellow(1, 0) && YellowCells(shown.grid) == 2);

    // Elements added later show once the rows are built again; the row list outgrows its 150.
    shown.document.AddTestLocation();
    shown.document.AddDropData(84);
    shown.document.Element("Test Location 1", "DropData_84").SetValue("1, 2");
    EXPECT_EQ(shown.grid.RowCount(), 67);
    shown.grid.Attach(shown.document);
    EXPECT_TRUE(shown.grid.RowCount() == 67 + 9 + 84 && shown.grid.RowElementsHighestIndex() == 161 && shown.grid.CellText(160, 2) == "1, 2");
}

// The ways a user ends an open edit: all but two keep what was typed, in the element edited.
struct EndEdit {
    const char* name;
    std::function<void(ShownGrid&, int editedRow)> end;
    bool keeps;
    int byKey;            // -1: not a key; else the table takes the focus back, this many rows below the edited cell
    bool editorReopened;  // on the value cell that was clicked
};

std::function<void(ShownGrid&, int)> Keys(QList<Qt::Key> keys, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return [=](ShownGrid& shown, int) { for (Qt::Key key : keys) QTest::keyClick(shown.grid.Editor(), key, modifiers); };
}

class ReviewGridEndEdit : public ::testing::TestWithParam<EndEdit> {};

TEST_P(ReviewGridEndEdit, KeepsTheTypedTextInTheEditedElementAndColoursThatCellByItsFlag)
{
    const EndEdit& way = GetParam();
    ShownGrid shown;
    // Flagged is yellow while empty only; unflagged is white.
    for (const auto& [item, kept, left] : {std::tuple{"DeflectionSensorYAxisDistances", "0, 9", "*"}, std::tuple{"TemperatureSensorUse", "0, 9", ""}}) {
        shown.grid.ElementCheckFlags();
        ASSERT_TRUE(shown.Activate());
        const int row = shown.RowOf(item), yellowElsewhere = YellowCells(shown.grid) - shown.grid.IsYellow(row, 2);
        shown.changes.clear();
        ASSERT_TRUE(ClickCell(shown.grid, row)) << "the editor must hold the focus before keys are sent";
        QTest::keyClicks(shown.grid.Editor(), "0, 9");
        way.end(shown, row);
        QApplication::processEvents();
        EXPECT_EQ(shown.Cell(item), way.keeps ? kept : left) << item;
        EXPECT_EQ(shown.changes, way.keeps ? std::vector<std::string>{item + std::string("=0, 9")} : std::vector<std::string>{});
        EXPECT_EQ(YellowCells(shown.grid), yellowElsewhere + shown.Cell(item).endsWith('*')) << "no other cell recoloured";
        EXPECT_EQ(shown.grid.Editor()->isVisible(), way.editorReopened);
        EXPECT_TRUE(way.byKey < 0 || (QApplication::focusWidget() == shown.grid.Table() && !shown.grid.Editing() &&
                                      shown.grid.Table()->currentIndex() == shown.grid.Table()->model()->index(row - 1 + way.byKey, 2)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    ReviewGrid, ReviewGridEndEdit,
    ::testing::Values(
        EndEdit{"Return", Keys({Qt::Key_Return}), true, 1, false},
        EndEdit{"KeypadEnter", Keys({Qt::Key_Enter}, Qt::KeypadModifier), true, 1, false},
        EndEdit{"Tab", Keys({Qt::Key_Tab}), true, 0, false},
        EndEdit{"Backtab", Keys({Qt::Key_Backtab}, Qt::ShiftModifier), true, 0, false},
        EndEdit{"Escape", Keys({Qt::Key_Escape}), false, 0, false},
        // The text typed back to what the cell held is no edit.
        EndEdit{"ReturnAfterTakingItBack", Keys({Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Backspace,
                                                 Qt::Key_Return}), false, 1, false},
        // Checking the flags moves the current cell to the last row; the edit keeps its own.
        EndEdit{"ReturnAfterTheFlagsWereChecked", [](ShownGrid& s, int) { s.grid.ElementCheckFlags(); Keys({Qt::Key_Return})(s, 0); }, true, 1, false},
        EndEdit{"ClickAnotherValueCell", [](ShownGrid& s, int row) { ClickCell(s.grid, row - 1); }, true, -1, true},
        EndEdit{"ClickTheNameCell", [](ShownGrid& s, int row) { ClickCell(s.grid, row, 1); }, true, -1, false},
        EndEdit{"AnotherWindowTakesTheFocus",
                [](ShownGrid&, int) {
                    QWidget other;
                    other.show();
                    ASSERT_TRUE(Activate(other));
                },
                true, -1, false}),
    [](const ::testing::TestParamInfo<EndEdit>& info) { return std::string(info.param.name); });

// Keys pressed on the table at the LoadPlateRadius value ("150"): the value then, the rows the
// current cell moved (kPage: at least a page down) and whether an edit is still open.
constexpr int kPage = 1000;
const std::tuple<const char*, const char*, int, bool> kKeyRuns[] = {
    {"F2 '9' Return", "1509", 1, false},  // F2 keeps the text, Enter commits and moves down
    {"'7' Return", "7", 1, false},        // typing replaces it
    {"'7' Escape", "150", 0, false},
    {"F2 Backspace Tab", "15", 0, false},
    {"F2 '9'", "150", 0, true},
    {"Left Left F2 '1' Return", "1501", 1, false},  // from a name column, the row's value
    {"Down Down Up", "150", 1, false},
    {"PgDown", "150", kPage, false},
    {"PgDown PgUp", "150", 0, false},
    {"Ctrl+7", "150", 0, false}};

TEST(ReviewGrid, KeysOnTheTableEditTheValueAndMove)
{
    for (const auto& [keys, value, moved, editing] : kKeyRuns) {
        SCOPED_TRACE(keys);
        ShownGrid shown;
        ASSERT_TRUE(shown.AtRadius());
        const int row = shown.RowOf("LoadPlateRadius");
        QTableView& table = *shown.grid.Table();
        PressKeys(keys);
        EXPECT_EQ(shown.grid.CellText(row, 2), value);
        const int now = table.currentIndex().row() + 1 - row;
        EXPECT_TRUE(moved == kPage ? now >= 5 : now == moved) << now;
        EXPECT_EQ(QApplication::focusWidget(), editing ? static_cast<QWidget*>(shown.grid.Editor()) : &table);
    }
}

TEST(ReviewGrid, EditsOfADocumentAreNotUndoneInTheNextOneShown)
{
    ShownGrid shown;
    ASSERT_TRUE(shown.AtRadius());
    PressKeys("'7' Return");
    PDDXFile other;
    shown.grid.SetPDDXFile(&other);
    PressKeys("Ctrl+Z");
    EXPECT_EQ(std::string(other.Element("Device Configuration", "LoadPlateRadius").Value()) + "|" +
                  std::string(shown.document.Element("Device Configuration", "LoadPlateRadius").Value()), "|7");
}

// Shift and Ctrl choose rows from the LoadPlateRadius row; Ctrl+C copies them, the current row
// alone when none is chosen.
TEST(ReviewGrid, ChosenRowsAreCopiedAsSectionItemAndValueSeparatedByTabs)
{
    const std::pair<const char*, std::vector<int>> cases[] = {
        {"", {0}}, {"Shift+Down Shift+Down", {0, 1, 2}}, {"Shift+Down Ctrl+Down Ctrl+Down Ctrl+Space", {0, 1, 3}}, {"Shift+Up", {-1, 0}}};
    for (const auto& [keys, rows] : cases) {
        SCOPED_TRACE(keys);
        ShownGrid shown;
        ASSERT_TRUE(shown.AtRadius(1));
        const int row = shown.RowOf("LoadPlateRadius");
        PressKeys(QString(keys) + " Ctrl+C");
        QString copied;
        for (const int r : rows) copied += shown.grid.CellText(row + r, 0) + "\t" + shown.grid.CellText(row + r, 1) + "\t" + shown.grid.CellText(row + r, 2) + "\n";
        EXPECT_EQ(QApplication::clipboard()->text(), copied);
        EXPECT_TRUE(copied.contains("\tLoadPlateRadius\t150\n") && !shown.grid.Editing());
    }
}

TEST(ReviewGrid, SectionAndItemFitTheirTextUpToACapTheValueColumnTakesTheRestAtEverySizeAndAMillionDropsAllShow)
{
    ShownGrid shown;
    QTableView& table = *shown.grid.Table();
    const int margin = TwipsToPixels(&shown.grid, 50);
    // The widths the columns show at (in the viewport's pixels), and whether the text of the name
    // columns fits them whole.
    const auto widths = [&] {
        QApplication::processEvents();
        std::array<int, 4> shownAt{};
        for (int c = 0; c < 3; ++c) shownAt[static_cast<std::size_t>(c)] = table.horizontalHeader()->sectionSize(c);
        shownAt[3] = table.viewport()->width();
        return shownAt;
    };
    const auto resize = [&](int width) {
        shown.grid.resize(width, 300);
        // A window manager applies the new size in its own time, later on a busy machine.
        (void)QTest::qWaitFor([&] { return table.width() == width - margin; }, 5000);
    };
    resize(1400);
    const std::array<int, 4> wide = widths();
    for (int row = 1; row <= 67; ++row)
        for (int column : {0, 1})
            EXPECT_LE(table.fontMetrics().horizontalAdvance(shown.grid.CellText(row, column)), wide[static_cast<std::size_t>(column)]);
    // The grid's width, each name column's then: its text's width, or 30 % of the grid.
    for (const int width : {1400, 700, 400, 1000}) {
        SCOPED_TRACE(width);
        resize(width);
        const std::array<int, 4> now = widths();
        EXPECT_EQ(now[0] + now[1] + now[2], now[3]) << "the value column takes the rest";
        EXPECT_GE(now[2] * 10, now[3] * 4);
        for (const std::size_t c : {0u, 1u}) EXPECT_EQ(now[c], std::min(wide[c], std::max(now[3] * 3 / 10, table.fontMetrics().averageCharWidth() * 6)));
    }

    PDDXFile big;
    for (int location = 0; location < 40; ++location) { big.AddTestLocation(); big.AddDropData(25000); }
    // How fast this goes is bench/gui.sh's business, not a test's.
    shown.grid.Attach(big);
    shown.grid.ElementCheckFlags();
    EXPECT_EQ(shown.grid.CellText(67 + 40 * (9 + 25000), 1), "DropData_25000");
    // Rebuilt rows keep the value column at the rest of the width; a long value reads whole as the tooltip.
    const std::array<int, 4> rebuilt = widths();
    EXPECT_EQ(rebuilt[0] + rebuilt[1] + rebuilt[2], rebuilt[3]);
    EXPECT_GE(rebuilt[2] * 10, rebuilt[3] * 4);
    const std::string value(400, '7');
    big.Element("Test Location 1", "DropData_1").SetValue(value);
    EXPECT_EQ(table.model()->index(67 + 9, 2).data(Qt::ToolTipRole).toString().toStdString() + "|" + table.model()->index(6, 2).data(Qt::ToolTipRole).toString().toStdString(), value + "|");
}

}  // namespace
}  // namespace vantrel
