// The grid as the user sees it: rows, colours and in-place editing of the value column.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <cmath>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "document/PDDXFile.h"
#include "gui/Twips.h"
#include "gui/review/pdxGrid.h"

namespace vantrel {
namespace {

int RowOf(const pdxGrid& grid, std::string_view section, std::string_view item)
{
    for (int row = 1; row <= grid.RowCount(); ++row)
        if (grid.CellText(row, 0) == QString::fromLatin1(section.data(), static_cast<qsizetype>(section.size())) &&
            grid.CellText(row, 1) == QString::fromLatin1(item.data(), static_cast<qsizetype>(item.size())))
            return row;
    return 0;
}

int YellowRows(const pdxGrid& grid)
{
    int count = 0;
    for (int row = 1; row <= grid.RowCount(); ++row)
        for (int column = 0; column < 3; ++column) count += grid.IsYellow(row, column) ? 1 : 0;
    return count;
}

// Every element's value, in document order, to show what an edit changed and what it left alone.
std::vector<std::string> Values(const PDDXFile& document)
{
    std::vector<std::string> values;
    for (const PDDXSection& section : document.Sections())
        for (const PDDXElement& element : section.Elements()) values.emplace_back(element.Value());
    return values;
}

// A grid in a shown window, following its document as the review window makes it.
struct ShownGrid {
    PDDXFile document;
    pdxGrid grid;
    int notifications = 0;
    ShownGrid()
    {
        document.SubscribeElementChange([this](PDDXElement& element) {
            ++notifications;
            grid.ElementChange(element);
        });
        grid.resize(700, 400);
        grid.SetPDDXFile(&document);
        grid.show();
    }
    // Keys only go where the focus is in the active window, so a keyboard test starts here.
    [[nodiscard]] bool Activate()
    {
        grid.activateWindow();
        return QTest::qWaitForWindowActive(&grid);
    }
    QPoint CellCentre(int row, int column) const
    {
        return grid.Table()->visualRect(grid.Table()->model()->index(row - 1, column)).center();
    }
    void Click(int row, int column)
    {
        grid.Table()->scrollTo(grid.Table()->model()->index(row - 1, column));
        QTest::mouseClick(grid.Table()->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(row, column));
    }
    // Clicks the value cell; true when the editor came up and holds the keyboard focus.
    [[nodiscard]] bool OpenEditor(int row)
    {
        Click(row, 2);
        return grid.Editor()->isVisible() && QApplication::focusWidget() == grid.Editor();
    }
    // Types into the open editor key by key (the click selected its old text) and ends with `finalKey`.
    void Type(const QString& text, int finalKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClicks(grid.Editor(), text);
        QTest::keyClick(grid.Editor(), static_cast<Qt::Key>(finalKey), modifiers);
    }
};

TEST(PdxGrid, TemplateShowsEveryElementAndFlagsColourOnlyTheEmptyStandardThree)
{
    ShownGrid shown;
    EXPECT_EQ(shown.grid.RowCount(), 67);
    EXPECT_EQ(shown.grid.Table()->model()->headerData(0, Qt::Horizontal).toString(), "Section ");
    EXPECT_EQ(shown.grid.Table()->model()->headerData(2, Qt::Horizontal).toString(), "Value ");
    EXPECT_EQ(YellowRows(shown.grid), 0);

    shown.document.Element("Device Configuration", "DeflectionSensorYAxisDistances").SetValue("0, 0");
    shown.grid.ElementCheckFlags();
    const int radius = RowOf(shown.grid, "Device Configuration", "LoadPlateRadius");
    const int x = RowOf(shown.grid, "Device Configuration", "DeflectionSensorXAxisDistances");
    ASSERT_GT(radius, 0);
    EXPECT_TRUE(shown.grid.IsYellow(radius, 2));
    EXPECT_TRUE(shown.grid.IsYellow(x, 2));
    // Flagged but filled: white.
    EXPECT_EQ(YellowRows(shown.grid), 2);
    const QColor background =
        shown.grid.Table()->model()->index(radius - 1, 2).data(Qt::BackgroundRole).value<QColor>();
    EXPECT_EQ(background, QColor(255, 255, 0));
}

// The keys that end an edit and keep what was typed.
struct CommitKey {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    friend void PrintTo(const CommitKey& key, std::ostream* out) { *out << key.name; }
};

class PdxGridCommitKey : public ::testing::TestWithParam<CommitKey> {};

TEST_P(PdxGridCommitKey, StoresTheTypedTextInTheEditedElementAndColoursThatCellByItsFlag)
{
    const CommitKey& commit = GetParam();
    ShownGrid shown;
    shown.grid.ElementCheckFlags();
    ASSERT_TRUE(shown.Activate());

    struct Edit {
        const char* item;
        const char* text;
        bool yellow;  // flagged stays yellow, unflagged turns white
    };
    const Edit edits[] = {
        {"DeflectionSensorYAxisDistances", "0, 0, 0", true},
        {"TemperatureSensorUse", "Ann", false},
    };
    int notifications = 0;
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.item);
        const int row = RowOf(shown.grid, "Device Configuration", edit.item);
        ASSERT_GT(row, 0);
        const std::vector<std::string> before = Values(shown.document);
        const int yellowBefore = YellowRows(shown.grid) - (shown.grid.IsYellow(row, 2) ? 1 : 0);

        ASSERT_TRUE(shown.OpenEditor(row)) << "the editor must hold the focus before keys are sent";
        shown.Type(edit.text, commit.key, commit.modifiers);

        EXPECT_FALSE(shown.grid.Editor()->isVisible());
        EXPECT_FALSE(shown.grid.Editing());
        EXPECT_EQ(shown.document.Element("Device Configuration", edit.item).Value(), edit.text);
        const std::vector<std::string> after = Values(shown.document);
        ASSERT_EQ(after.size(), before.size());
        int changed = 0;
        for (std::size_t i = 0; i < before.size(); ++i) changed += before[i] != after[i] ? 1 : 0;
        EXPECT_EQ(changed, 1) << "only the edited element may change";
        ++notifications;
        EXPECT_EQ(shown.notifications, notifications);
        EXPECT_EQ(shown.grid.CellText(row, 2), QString::fromLatin1(edit.text));
        EXPECT_EQ(shown.grid.IsYellow(row, 2), edit.yellow);
        EXPECT_EQ(YellowRows(shown.grid), yellowBefore + (edit.yellow ? 1 : 0)) << "no other cell recoloured";
        // The table takes the focus back and stays on the cell just edited.
        EXPECT_EQ(QApplication::focusWidget(), shown.grid.Table());
        EXPECT_EQ(shown.grid.CurrentRow(), row);
        EXPECT_EQ(shown.grid.CurrentColumn(), 2);
    }
    // A filled flagged cell turns white only when the flags are checked again.
    const int y = RowOf(shown.grid, "Device Configuration", "DeflectionSensorYAxisDistances");
    shown.grid.ElementCheckFlags();
    EXPECT_FALSE(shown.grid.IsYellow(y, 2));
}

INSTANTIATE_TEST_SUITE_P(PdxGrid, PdxGridCommitKey,
                         ::testing::Values(CommitKey{"Return", Qt::Key_Return, Qt::NoModifier},
                                           CommitKey{"KeypadEnter", Qt::Key_Enter, Qt::KeypadModifier},
                                           CommitKey{"Tab", Qt::Key_Tab, Qt::NoModifier},
                                           CommitKey{"KeypadSeparator", Qt::Key_Comma, Qt::KeypadModifier}),
                         [](const ::testing::TestParamInfo<CommitKey>& info) { return std::string(info.param.name); });

TEST(PdxGrid, EscapeAndUnchangedTextReachNothingAndOnlyTheValueColumnOpensTheEditor)
{
    ShownGrid shown;
    shown.grid.ElementCheckFlags();
    ASSERT_TRUE(shown.Activate());
    const int y = RowOf(shown.grid, "Device Configuration", "DeflectionSensorYAxisDistances");
    const int version = RowOf(shown.grid, "Pavement Deflection Data Exchange File", "PDDXVersionNumber");
    const std::vector<std::string> before = Values(shown.document);

    ASSERT_TRUE(shown.OpenEditor(y));
    shown.Type("0, 0, 0", Qt::Key_Escape);
    EXPECT_FALSE(shown.grid.Editor()->isVisible());
    EXPECT_FALSE(shown.grid.Editing());
    EXPECT_EQ(shown.grid.CellText(y, 2), "");
    EXPECT_TRUE(shown.grid.IsYellow(y, 2));
    EXPECT_EQ(QApplication::focusWidget(), shown.grid.Table());
    EXPECT_EQ(shown.grid.CurrentRow(), y);

    // The editor opens with the cell's text; ending it with that text unchanged is no edit.
    struct Unchanged {
        int row;
        const char* shown;
    };
    for (const Unchanged& cell : {Unchanged{y, ""}, Unchanged{version, "1.0"}}) {
        ASSERT_TRUE(shown.OpenEditor(cell.row));
        EXPECT_EQ(shown.grid.Editor()->text(), QString::fromLatin1(cell.shown));
        shown.Type("", Qt::Key_Return);
        EXPECT_FALSE(shown.grid.Editor()->isVisible());
    }
    EXPECT_TRUE(shown.grid.IsYellow(y, 2));
    EXPECT_EQ(shown.notifications, 0);
    EXPECT_EQ(Values(shown.document), before);

    for (const int column : {0, 1}) {
        shown.Click(y, column);
        EXPECT_FALSE(shown.grid.Editor()->isVisible());
        EXPECT_FALSE(shown.grid.Editing());
    }
    EXPECT_EQ(shown.notifications, 0);
}

// Ways the user leaves an open edit other than with a key: each keeps what was typed.
struct LeaveBy {
    const char* name;
    std::function<void(ShownGrid&, int editedRow)> leave;
    bool editorReopened;  // on the value cell that was clicked
    friend void PrintTo(const LeaveBy& by, std::ostream* out) { *out << by.name; }
};

class PdxGridLeaveEdit : public ::testing::TestWithParam<LeaveBy> {};

TEST_P(PdxGridLeaveEdit, CommitsTheTypedTextToTheEditedElement)
{
    const LeaveBy& by = GetParam();
    ShownGrid shown;
    ASSERT_TRUE(shown.Activate());
    const int row = RowOf(shown.grid, "Device Configuration", "TemperatureSensorUse");
    ASSERT_TRUE(shown.OpenEditor(row));
    QTest::keyClicks(shown.grid.Editor(), "Cy");
    const std::vector<std::string> before = Values(shown.document);

    by.leave(shown, row);
    QApplication::processEvents();
    EXPECT_EQ(shown.document.Element("Device Configuration", "TemperatureSensorUse").Value(), "Cy");
    const std::vector<std::string> after = Values(shown.document);
    int changed = 0;
    for (std::size_t i = 0; i < before.size(); ++i) changed += before[i] != after[i] ? 1 : 0;
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(shown.notifications, 1);
    EXPECT_EQ(shown.grid.CellText(row, 2), "Cy");
    EXPECT_FALSE(shown.grid.IsYellow(row, 2));
    EXPECT_EQ(YellowRows(shown.grid), 0);
    EXPECT_EQ(shown.grid.Editor()->isVisible(), by.editorReopened);
}

INSTANTIATE_TEST_SUITE_P(
    PdxGrid, PdxGridLeaveEdit,
    ::testing::Values(
        LeaveBy{"ClickAnotherValueCell", [](ShownGrid& shown, int row) { shown.Click(row - 1, 2); }, true},
        LeaveBy{"ClickTheNameCell", [](ShownGrid& shown, int row) { shown.Click(row, 1); }, false},
        LeaveBy{"AnotherWindowTakesTheFocus",
                [](ShownGrid&, int) {
                    QWidget other;
                    other.resize(100, 100);
                    other.show();
                    other.activateWindow();
                    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
                },
                false}),
    [](const ::testing::TestParamInfo<LeaveBy>& info) { return std::string(info.param.name); });

TEST(PdxGrid, ChangesFromOutsideRefreshTheRowAndColourTheCurrentCellByTheFlagAlone)
{
    ShownGrid shown;
    shown.grid.ElementCheckFlags();
    // The current cell is the last row's value after the check.
    const int last = shown.grid.RowCount();
    EXPECT_EQ(shown.grid.CurrentRow(), last);
    PDDXElement& radius = shown.document.Element("Device Configuration", "LoadPlateRadius");
    radius.SetValue("5.9");
    EXPECT_EQ(shown.grid.CellText(RowOf(shown.grid, "Device Configuration", "LoadPlateRadius"), 2), "5.9");
    EXPECT_TRUE(shown.grid.IsYellow(last, 2));

    // Elements added after the rows were built are not shown and do not disturb the grid.
    PDDXSection& location = shown.document.AddTestLocation();
    location.AddDropData().SetValue("1, 2");
    EXPECT_EQ(shown.grid.RowCount(), 67);
    shown.grid.Attach(shown.document);
    EXPECT_GT(shown.grid.RowCount(), 67);
    EXPECT_EQ(shown.grid.CellText(shown.grid.RowCount(), 2), "1, 2");
}

TEST(PdxGrid, ResizingScalesTheNameColumnsAndGivesTheValueColumnTheRest)
{
    ShownGrid shown;
    QTableView& table = *shown.grid.Table();
    const int first = table.columnWidth(0);
    const int second = table.columnWidth(1);
    const int margin = TwipsToPixels(&shown.grid, 50);
    EXPECT_EQ(table.width(), 700 - margin);
    shown.grid.resize(1400 - margin, 300);
    QApplication::processEvents();
    const double ratio = (1400.0 - 2 * margin) / (700 - margin);
    EXPECT_EQ(table.width(), 1400 - 2 * margin);
    EXPECT_EQ(table.height(), 300);
    EXPECT_EQ(table.columnWidth(0), static_cast<int>(std::lround(first * ratio)));
    EXPECT_EQ(table.columnWidth(1), static_cast<int>(std::lround(second * ratio)));
    EXPECT_EQ(table.columnWidth(2),
              table.width() - table.columnWidth(0) - table.columnWidth(1) - TwipsToPixels(&shown.grid, 340));
}

TEST(PdxGrid, RowListGrowsPast150AndAMillionDropsShowAtOnce)
{
    PDDXFile document;
    document.AddTestLocation();
    document.AddDropData(84);  // 67 + 9 + 84 = 160 elements
    pdxGrid grid;
    grid.Attach(document);
    EXPECT_EQ(grid.RowCount(), 160);
    EXPECT_EQ(grid.RowElementsHighestIndex(), 161);

    PDDXFile big;
    for (int location = 0; location < 40; ++location) {
        big.AddTestLocation();
        big.AddDropData(25000);
    }
    pdxGrid bigGrid;
    bigGrid.resize(600, 400);
    bigGrid.show();
    QElapsedTimer timer;
    timer.start();
    bigGrid.Attach(big);
    bigGrid.ElementCheckFlags();
    QApplication::processEvents();
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_EQ(bigGrid.RowCount(), 67 + 40 * (9 + 25000));
    EXPECT_EQ(bigGrid.CellText(bigGrid.RowCount(), 0), "Test Location 40");
    EXPECT_EQ(bigGrid.CellText(bigGrid.RowCount(), 1), "DropData_25000");
}

}  // namespace
}  // namespace vantrel
