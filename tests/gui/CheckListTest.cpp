// The findings below the grid: the lines `vantrel check` prints and their count, following the
// values as they are edited, and taking the user to a finding's row.

#include "gui/review/CheckList.h"
#include "gui/review/FindBar.h"
#include "support/GuiSupport.h"

namespace vantrel {
namespace {

using namespace test;

// Two sensors, a plate radius missing, a Y distance that is no number, a drop short of a
// deflection and an empty one in the second location; nothing a calibration rule would find.
std::shared_ptr<PDDXFile> Faulty()
{
    auto document = std::make_shared<PDDXFile>();
    document->Element("Device Configuration", "NumberOfDeflectionSensors").SetValue("2");
    document->Element("Device Configuration", "DeflectionSensorXAxisDistances").SetValue("0, 300");
    document->Element("Device Configuration", "DeflectionSensorYAxisDistances").SetValue("0, x");
    document->Element("Device Information", "SensorSerialNumbers").SetValue("A1, A2");
    PDDXSection& first = document->AddTestLocation();
    first.AddDropData().SetValue("50, 2, 1");
    first.AddDropData().SetValue("50, 1");
    document->AddTestLocation().AddDropData().SetValue("");
    return document;
}

const QStringList kFaults = {
    "[Device Configuration] LoadPlateRadius: empty; the calibration needs it",
    "[Device Configuration] DeflectionSensorYAxisDistances: item 2, \"x\", is not a number",
    "[Test Location 1] DropData_2: a load and 1 deflection, but NumberOfDeflectionSensors is 2",
    "[Test Location 2] DropData_1: empty"};

QStringList Lines(const QListWidget& list)
{
    QStringList lines;
    for (int i = 0; i < list.count(); ++i) lines << list.item(i)->text();
    return lines;
}

struct Checked {
    ReviewWindow& review;
    QListWidget& list;
    QLabel& count;
};

// The faulty document in a review window of the active main window, its first check done.
Checked Open(Program& program)
{
    ReviewWindow& review = program.Review(Faulty(), "faulty.pdx");
    auto& list = *review.findChild<QListWidget*>("lstCheck");
    auto& count = *review.findChild<QLabel*>("lblCheckCount");
    EXPECT_TRUE(QTest::qWaitFor([&] { return list.count() > 0; }));
    return {review, list, count};
}

TEST(CheckList, ShowsWhatCheckFindsAndFollowsEditsCheckingOnceAfterManyChanges)
{
    Program program;
    auto [review, list, count] = Open(program);
    EXPECT_EQ(Lines(list), kFaults);
    EXPECT_EQ(count.text(), "4 findings");
    EXPECT_TRUE(list.isVisible());

    // Edited as a user edits: each value typed into its cell, then Enter.
    ReviewGrid& grid = *review.Grid();
    const std::tuple<const char*, const char*, const char*, QStringList, const char*> edits[] = {
        {"Device Configuration", "DeflectionSensorYAxisDistances", "0, 0", {kFaults[0], kFaults[2], kFaults[3]}, "3 findings"},
        {"Test Location 1", "DropData_2", "50, 1, x",
         {kFaults[0], "[Test Location 1] DropData_2: item 3, \"x\", is not a number", kFaults[3]}, "3 findings"},
        {"Test Location 1", "DropData_2", "50, 2, 1", {kFaults[0], kFaults[3]}, "2 findings"},
        {"Device Configuration", "LoadPlateRadius", "150", {kFaults[3]}, "1 finding"},
        {"Test Location 2", "DropData_1", "40, 4, 3", {}, "No findings"}};
    for (const auto& [section, item, typed, lines, counted] : edits) {
        ASSERT_TRUE(ClickCell(grid, Row(grid, section, item))) << item;
        QTest::keyClicks(grid.Editor(), typed);
        QTest::keyClick(grid.Editor(), Qt::Key_Return);
        EXPECT_TRUE(QTest::qWaitFor([&] { return Lines(list) == lines; })) << Lines(list).join('\n').toStdString();
        EXPECT_EQ(count.text(), counted) << typed;
    }
    EXPECT_FALSE(list.isVisible()) << "an empty list takes no room from the grid";

    // A merge sets many values: the list is rebuilt once, after the last of them.
    int rebuilt = 0;
    QObject::connect(list.model(), &QAbstractItemModel::modelReset, [&] { ++rebuilt; });
    PDDXFile& document = *review.PDDXDataSet();
    for (int drop = 1; drop <= 20; ++drop) document.Section("Test Location 1").AddDropData().SetValue("1");
    document.Element("Test Location 1", "NumberOfDrops").SetValue("22");
    EXPECT_EQ(count.text(), "No findings") << "checked before the changes were done";
    EXPECT_TRUE(QTest::qWaitFor([&] { return count.text() == "20 findings"; })) << count.text().toStdString();
    QCoreApplication::processEvents();
    EXPECT_EQ(rebuilt, 1);
}

TEST(CheckList, ADocumentOfThousandsOfFindingsCountsThemAllAndListsTheFirstThousand)
{
    Program program;
    auto document = std::make_shared<PDDXFile>();
    PDDXSection& location = document->AddTestLocation();
    for (int drop = 1; drop <= 1500; ++drop) location.AddDropData();
    ReviewWindow& review = program.Blank();
    review.SetPDDXDataSet(document);
    auto& count = *review.findChild<QLabel*>("lblCheckCount");
    // The plate radius and both distances, then 1500 empty drops.
    EXPECT_TRUE(QTest::qWaitFor([&] { return count.text() == "1503 findings, the first 1000 listed"; })) << count.text().toStdString();
    const QListWidget& list = *review.findChild<QListWidget*>("lstCheck");
    ASSERT_EQ(list.count(), 1000);
    EXPECT_EQ(list.item(999)->text(), "[Test Location 1] DropData_997: empty");
}

TEST(CheckList, ChosenByKeyTheFindingsRowBecomesCurrentShownFirstWhenTheFindBarHidesIt)
{
    Program program;
    auto [review, list, count] = Open(program);
    ReviewGrid& grid = *review.Grid();
    // The find bar's text before the keys (empty: the bar stays closed), the keys pressed in the
    // list from its first line, the row that becomes current. Arrows move the grid along with
    // the list where it shows the row; Enter chooses, showing every row when the filter hides it,
    // and hands the grid the focus.
    const std::tuple<const char*, const char*, int> cases[] = {
        {"", "Return", Row(grid, "Device Configuration", "LoadPlateRadius")},
        {"", "Down", Row(grid, "Device Configuration", "DeflectionSensorYAxisDistances")},
        {"", "Down Down Return", Row(grid, "Test Location 1", "DropData_2")},
        {"", "End Up Up Return", Row(grid, "Device Configuration", "DeflectionSensorYAxisDistances")},
        {"Test Location 2", "Down Down Return", Row(grid, "Test Location 1", "DropData_2")},
        {"Test Location 2", "Down Down Down", Row(grid, "Test Location 2", "DropData_1")},
        {"Test Location 2", "Down Down Down Return", Row(grid, "Test Location 2", "DropData_1")}};
    for (const auto& [find, keys, row] : cases) {
        if (*find) {
            review.Find()->Open();
            review.Find()->FindBox()->setText(find);
            ASSERT_NE(grid.ShownRowCount(), grid.RowCount());
        }
        list.setCurrentRow(0);
        ASSERT_TRUE(Focus(list));
        PressKeys(keys);
        EXPECT_EQ(grid.CurrentRow(), row) << keys;
        const bool chosen = QString(keys).endsWith("Return");
        EXPECT_EQ(QApplication::focusWidget(), chosen ? static_cast<QWidget*>(grid.Table()) : &list) << keys;
        EXPECT_TRUE(grid.Table()->selectionModel()->isRowSelected(grid.Table()->currentIndex().row())) << keys;
        const bool hidden = *find && QString(find) != grid.CellText(row, 0);
        EXPECT_EQ(grid.ShownRowCount() == grid.RowCount(), !*find || hidden) << keys;
        EXPECT_EQ(review.Find()->FindBox()->text(), hidden ? "" : find) << keys;
        review.Find()->Close();
    }

    // A click chooses as Enter does.
    review.Find()->Open();
    review.Find()->FindBox()->setText("Test Location 2");
    list.scrollToItem(list.item(2));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(2)).center());
    EXPECT_EQ(grid.CurrentRow(), Row(grid, "Test Location 1", "DropData_2"));
    EXPECT_EQ(grid.ShownRowCount(), grid.RowCount());
}

// A large document is checked a few sections at a time between the window's other events; a
// change meanwhile starts the check again, so that the list shows the document as it now is.
TEST(CheckList, ALargeDocumentIsCheckedInStepsAndAChangeMeanwhileStartsItAgain)
{
    Program program;
    auto document = std::make_shared<PDDXFile>();
    document->Element("Device Configuration", "NumberOfDeflectionSensors").SetValue("1");
    document->Element("Device Configuration", "LoadPlateRadius").SetValue("150");
    document->Element("Device Configuration", "DeflectionSensorXAxisDistances").SetValue("0");
    document->Element("Device Configuration", "DeflectionSensorYAxisDistances").SetValue("0");
    document->Element("Device Information", "SensorSerialNumbers").SetValue("S1");
    for (int n = 1; n <= 1000; ++n) document->AddTestLocation().AddDropData().SetValue(n == 1000 ? "" : "50, 1");
    ReviewWindow& review = program.Blank();
    auto& checks = *review.findChild<CheckList*>("fraCheck");
    auto& count = *review.findChild<QLabel*>("lblCheckCount");
    checks.SetSliceMilliseconds(0);
    review.SetPDDXDataSet(document);
    // The check's first step, and no other event.
    QCoreApplication::sendPostedEvents(&checks, QEvent::MetaCall);
    ASSERT_TRUE(checks.Checking());
    EXPECT_EQ(count.text(), "Checking: no findings so far");
    document->Element("Test Location 2", "DropData_1").SetValue("50");
    EXPECT_TRUE(checks.Checking()) << "due again";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !checks.Checking(); }, 20000));
    EXPECT_EQ(count.text(), "2 findings");
    EXPECT_EQ(Lines(*review.findChild<QListWidget*>("lstCheck")),
              QStringList({"[Test Location 2] DropData_1: a load and 0 deflections, but NumberOfDeflectionSensors is 1",
                           "[Test Location 1000] DropData_1: empty"}));
}

}  // namespace
}  // namespace vantrel
