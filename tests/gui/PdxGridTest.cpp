// The grid as the user sees it: rows, colours and in-place editing of the value column.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include "document/PDDXFile.h"
#include "review/Twips.h"
#include "review/pdxGrid.h"
#include <cmath>

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
        grid.activateWindow();
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
    void Type(const QString& text, int finalKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        grid.Editor()->setText(text);
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

TEST(PdxGrid, EnterCommitsToTheDocumentAndAFlaggedCellStaysYellowUntilRechecked)
{
    ShownGrid shown;
    shown.grid.ElementCheckFlags();
    const int radius = RowOf(shown.grid, "Device Configuration", "LoadPlateRadius");
    shown.Click(radius, 2);
    ASSERT_TRUE(shown.grid.Editor()->isVisible());
    EXPECT_EQ(shown.grid.Editor()->text(), "");
    shown.Type("150", Qt::Key_Return);
    EXPECT_FALSE(shown.grid.Editor()->isVisible());
    EXPECT_EQ(shown.document.Element("Device Configuration", "LoadPlateRadius").Value(), "150");
    EXPECT_EQ(shown.grid.CellText(radius, 2), "150");
    EXPECT_EQ(shown.notifications, 1);
    EXPECT_TRUE(shown.grid.IsYellow(radius, 2));
    shown.grid.ElementCheckFlags();
    EXPECT_FALSE(shown.grid.IsYellow(radius, 2));
}

TEST(PdxGrid, UnflaggedEditTurnsWhiteAndTabOrKeypadSeparatorAlsoCommit)
{
    ShownGrid shown;
    const int name = RowOf(shown.grid, "Device Configuration", "TemperatureSensorUse");
    ASSERT_GT(name, 0);
    shown.Click(name, 2);
    shown.Type("Ann", Qt::Key_Tab);
    EXPECT_EQ(shown.document.Element("Device Configuration", "TemperatureSensorUse").Value(), "Ann");
    EXPECT_FALSE(shown.grid.IsYellow(name, 2));

    shown.Click(name, 2);
    shown.Type("Bob", Qt::Key_Comma, Qt::KeypadModifier);
    EXPECT_EQ(shown.document.Element("Device Configuration", "TemperatureSensorUse").Value(), "Bob");
    EXPECT_EQ(shown.notifications, 2);
}

TEST(PdxGrid, EscapeAndUnchangedTextReachNothingAndOnlyTheValueColumnOpensTheEditor)
{
    ShownGrid shown;
    const int name = RowOf(shown.grid, "Device Configuration", "TemperatureSensorUse");
    shown.Click(name, 2);
    shown.Type("typed", Qt::Key_Escape);
    EXPECT_FALSE(shown.grid.Editor()->isVisible());
    EXPECT_EQ(shown.grid.CellText(name, 2), "");
    EXPECT_EQ(shown.document.Element("Device Configuration", "TemperatureSensorUse").Value(), "");

    shown.Click(name, 2);
    QTest::keyClick(shown.grid.Editor(), Qt::Key_Return);
    EXPECT_EQ(shown.notifications, 0);

    shown.Click(name, 0);
    EXPECT_FALSE(shown.grid.Editor()->isVisible());
    shown.Click(name, 1);
    EXPECT_FALSE(shown.grid.Editor()->isVisible());
    EXPECT_EQ(shown.notifications, 0);
}

TEST(PdxGrid, ClickingAnotherCellCommitsTheOpenEdit)
{
    ShownGrid shown;
    const int name = RowOf(shown.grid, "Device Configuration", "TemperatureSensorUse");
    shown.Click(name, 2);
    shown.grid.Editor()->setText("Cy");
    shown.Click(name - 1, 2);
    EXPECT_EQ(shown.document.Element("Device Configuration", "TemperatureSensorUse").Value(), "Cy");
    EXPECT_TRUE(shown.grid.Editor()->isVisible());
    EXPECT_EQ(shown.grid.CurrentRow(), name - 1);
}

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
