// The quality list beside the grid: what the calibration rules find, apart from what the document
// lacks below the grid; choosing a finding selects every row it is about.

#include <QAbstractButton>
#include <QTreeWidget>

#include "gui/review/CheckList.h"
#include "gui/review/FindBar.h"
#include "gui/review/QualityList.h"
#include "support/GuiSupport.h"

namespace vantrel {
namespace {

using namespace test;

// Three sensors in good order and no plate radius (what the document lacks). The rules find: a
// relative calibration 97 days before the data; in location 1, D1 varying by 20 % over three drops
// of one height; in location 2, a negative deflection and location 1's test time again.
std::shared_ptr<PDDXFile> Ruled()
{
    auto document = std::make_shared<PDDXFile>();
    document->Element("Device Configuration", "NumberOfDeflectionSensors").SetValue("3");
    document->Element("Device Configuration", "DeflectionSensorXAxisDistances").SetValue("0, 300, 600");
    document->Element("Device Configuration", "DeflectionSensorYAxisDistances").SetValue("0, 0, 0");
    document->Element("Device Information", "SensorSerialNumbers").SetValue("A1, A2, A3");
    document->Element("Units", "SensorsLocationUnits").SetValue("mm");
    document->Element("Operations Information", "StartDate").SetValue("07-Apr-2004");
    document->Element("Device Calibration", "SensorRelativeCalibrationDate").SetValue("01-Jan-2004");
    PDDXSection& first = document->AddTestLocation();
    document->Element("Test Location 1", "TestTime").SetValue("08:00:00");
    for (const char* drop : {"50, 400, 200, 100", "50, 480, 200, 100", "50, 320, 200, 100"})
        first.AddDropData().SetValue(drop);
    PDDXSection& second = document->AddTestLocation();
    document->Element("Test Location 2", "TestTime").SetValue("08:00:00");
    second.AddDropData().SetValue("50, -5, 200, 100");
    return document;
}

QStringList Column(const QTreeWidget& list, int column)
{
    QStringList texts;
    for (int i = 0; i < list.topLevelItemCount(); ++i) texts << list.topLevelItem(i)->text(column);
    return texts;
}

// The selected rows of the grid as "[section] item", in order.
QStringList Selected(const ReviewGrid& grid)
{
    QStringList rows;
    for (const QString& line : grid.SelectedText().split('\n', Qt::SkipEmptyParts))
        rows << "[" + line.section('\t', 0, 0) + "] " + line.section('\t', 1, 1);
    return rows;
}

struct Opened {
    ReviewWindow& review;
    QTreeWidget& list;
    QLabel& count;
};

Opened Open(Program& program)
{
    ReviewWindow& review = program.Review(Ruled(), "ruled.pdx");
    auto& list = *review.Quality()->List();
    auto& count = *review.findChild<QLabel*>("lblQualityCount");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !review.Checks()->Checking(); }));
    return {review, list, count};
}

TEST(QualityList, ListsWhatTheRulesFindBesideTheGridAndWhatTheDocumentLacksBelowIt)
{
    Program program;
    auto [review, list, count] = Open(program);
    const auto& below = *review.findChild<QListWidget*>("lstCheck");
    ASSERT_EQ(below.count(), 1);
    EXPECT_EQ(below.item(0)->text(), "[Device Configuration] LoadPlateRadius: empty; the calibration needs it");
    EXPECT_EQ(Column(list, 0), QStringList({"V102", "V135", "V131", "V134"}));
    EXPECT_EQ(Column(list, 1), QStringList({"[Device Calibration] SensorRelativeCalibrationDate", "[Test Location 1] DropData_1",
                                            "[Test Location 2] DropData_1", "[Test Location 2] TestTime"}));
    EXPECT_EQ(list.topLevelItem(3)->text(2), "08:00:00, as [Test Location 1]");
    EXPECT_EQ(count.text(), "4 findings: 1 error, 3 warnings");
    // Beside the grid from the start, the grid keeping the larger part of the place.
    EXPECT_TRUE(review.Quality()->isVisible());
    EXPECT_TRUE(review.findChild<QAbstractButton*>("cmdQuality")->isChecked());
    EXPECT_GT(review.Grid()->width(), review.Quality()->width());
    EXPECT_EQ(review.Quality()->mapTo(&review, QPoint()).y(), review.Grid()->mapTo(&review, QPoint()).y());
}

TEST(QualityList, ChoosingAFindingSelectsEveryRowItIsAboutShowingThemWhenTheFindBarHidesThem)
{
    Program program;
    auto [review, list, count] = Open(program);
    ReviewGrid& grid = *review.Grid();
    const QStringList drops = {"[Test Location 1] DropData_1", "[Test Location 1] DropData_2", "[Test Location 1] DropData_3"};
    // The find bar's text (empty: closed), the keys pressed in the list from its first line, the
    // rows then selected in the grid (the first current), and whether the grid has the focus.
    const std::tuple<const char*, const char*, QStringList, bool> cases[] = {
        {"", "Return", {"[Operations Information] StartDate", "[Device Calibration] SensorRelativeCalibrationDate"}, true},
        {"", "Down", drops, false},
        {"", "Down Return", drops, true},
        {"", "End", {"[Test Location 1] TestTime", "[Test Location 2] TestTime"}, false},
        {"", "End Up", {"[Test Location 2] DropData_1"}, false},
        {"Test Location 2", "Down Down", {"[Test Location 2] DropData_1"}, false},
        {"Test Location 2", "Down Return", drops, true},
        {"Test Location 2", "End", {"[Test Location 2] TestTime"}, false}};
    for (const auto& [find, keys, rows, toGrid] : cases) {
        SCOPED_TRACE(std::string(find) + " | " + keys);
        grid.GoToRow(1);
        if (*find) {
            review.Find()->Open();
            review.Find()->FindBox()->setText(find);
        }
        {
            const QSignalBlocker quiet(&list);  // the first line current without choosing it
            list.setCurrentItem(list.topLevelItem(0));
        }
        ASSERT_TRUE(Focus(list));
        PressKeys(keys);
        EXPECT_EQ(Selected(grid), rows);
        const QString current = "[" + grid.CellText(grid.CurrentRow(), 0) + "] " + grid.CellText(grid.CurrentRow(), 1);
        EXPECT_TRUE(rows.contains(current)) << current.toStdString();
        EXPECT_EQ(QApplication::focusWidget(), toGrid ? static_cast<QWidget*>(grid.Table()) : &list);
        // Only a choice of hidden rows clears the find bar.
        const bool cleared = *find && QString(keys).endsWith("Return");
        EXPECT_EQ(review.Find()->FindBox()->text(), cleared ? "" : find);
        review.Find()->Close();
    }
    // A click chooses as Enter does.
    review.Find()->Open();
    review.Find()->FindBox()->setText("Test Location 2");
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.topLevelItem(1)).center());
    EXPECT_EQ(Selected(grid), drops);
    EXPECT_EQ(grid.ShownRowCount(), grid.RowCount());
}

TEST(QualityList, FollowsEditsAndStaysAsTheUserLeftIt)
{
    Program program;
    auto [review, list, count] = Open(program);
    ReviewGrid& grid = *review.Grid();
    auto& button = *review.findChild<QAbstractButton*>("cmdQuality");
    // Each edit, typed into its cell, then the codes listed and the count. Drop 2 at 25 kN leaves
    // two drops at 50 kN, too few to judge their repeatability.
    const std::tuple<const char*, const char*, const char*, QStringList, const char*> edits[] = {
        {"Test Location 2", "DropData_1", "50, 500, 200, 100", {"V102", "V135", "V134"}, "3 warnings"},
        {"Test Location 1", "DropData_2", "25, 480, 200, 100", {"V102", "V134"}, "2 warnings"},
        {"Device Calibration", "SensorRelativeCalibrationDate", "01-Apr-2004", {"V134"}, "1 warning"},
        {"Test Location 2", "TestTime", "08:01:00", {}, "No findings"},
        {"Device Information", "SensorSerialNumbers", "", {"V121"}, "1 note"}};
    for (const auto& [section, item, typed, codes, counted] : edits) {
        SCOPED_TRACE(typed);
        // The user hides the list half way; it stays hidden.
        if (QString(item) == "TestTime") {
            button.click();
            EXPECT_FALSE(review.Quality()->isVisible());
        }
        ASSERT_TRUE(ClickCell(grid, Row(grid, section, item)));
        QTest::keyClick(grid.Editor(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(grid.Editor(), Qt::Key_Backspace);
        QTest::keyClicks(grid.Editor(), typed);
        QTest::keyClick(grid.Editor(), Qt::Key_Return);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !review.Checks()->Checking() && Column(list, 0) == codes; }))
            << Column(list, 0).join(' ').toStdString();
        EXPECT_EQ(count.text(), counted);
    }
    EXPECT_FALSE(review.Quality()->isVisible());
    EXPECT_FALSE(button.isChecked());
    // Alt+Q shows it again from anywhere in the window.
    ASSERT_TRUE(Focus(*grid.Table()));
    PressKeys("Alt+Q");
    EXPECT_TRUE(review.Quality()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), grid.Table());
}

}  // namespace
}  // namespace vantrel
