// The findings beside the grid: what the reading warned of, what the document lacks and what the
// calibration rules find, in one list counted by level; it follows the edits, filters by level,
// and choosing a finding selects every row it is about.

#include <QAbstractButton>
#include <QToolButton>
#include <QTreeWidget>

#include "gui/OpenDialog.h"
#include "gui/review/CheckList.h"
#include "gui/review/FindBar.h"
#include "gui/review/FindingsPanel.h"
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
    document->Element("Test Location 1", "TestTime").SetValue("08:00:05");
    for (const char* drop : {"50, 400, 200, 100", "50, 480, 200, 100", "50, 320, 200, 100"})
        first.AddDropData().SetValue(drop);
    PDDXSection& second = document->AddTestLocation();
    document->Element("Test Location 2", "TestTime").SetValue("08:00:05");
    second.AddDropData().SetValue("50, -5, 200, 100");
    return document;
}

QStringList Column(const QTreeWidget& list, int column, bool shownOnly = false)
{
    QStringList texts;
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        if (!shownOnly || !list.topLevelItem(i)->isHidden()) texts << list.topLevelItem(i)->text(column);
    return texts;
}

// Each line as `vantrel check` words what the document lacks: "[section] item: what".
QStringList Lines(const QTreeWidget& list)
{
    QStringList lines;
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        lines << list.topLevelItem(i)->text(1) + ": " + list.topLevelItem(i)->text(2);
    return lines;
}

// The level buttons' texts, errors first.
QString Counts(const FindingsPanel& panel)
{
    QStringList counts;
    for (const Severity level : {Severity::Error, Severity::Warning, Severity::Note})
        counts << panel.LevelButton(level)->text();
    return counts.join(", ");
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
    FindingsPanel& panel;
    QTreeWidget& list;
};

Opened Open(Program& program, std::shared_ptr<PDDXFile> document)
{
    ReviewWindow& review = program.Review(std::move(document), "ruled.pdx");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !review.Checks()->Checking(); }));
    return {review, *review.Findings(), *review.Findings()->List()};
}

TEST(FindingsPanel, ListsReadingWarningsWhatTheDocumentLacksAndWhatTheRulesFindCountedAndFilteredByLevel)
{
    Program program;
    auto [review, panel, list] = Open(program, Ruled());
    review.AddWarnings({program.Path("ruled.pdx").toStdString() + ":7: \"y\" is not a number; the rest of the line was skipped"});
    EXPECT_EQ(Column(list, 0), QStringList({"Read", "Check", "V102", "V135", "V131", "V134"}));
    EXPECT_EQ(Column(list, 1), QStringList({"ruled.pdx:7", "[Device Configuration] LoadPlateRadius",
                                            "[Device Calibration] SensorRelativeCalibrationDate", "[Test Location 1] DropData_1",
                                            "[Test Location 2] DropData_1", "[Test Location 2] TestTime"}));
    EXPECT_EQ(list.topLevelItem(1)->text(2), "empty; the calibration needs it");
    EXPECT_EQ(list.topLevelItem(5)->text(2), "08:00:05, as [Test Location 1]");
    EXPECT_EQ(Counts(panel), "2 errors, 4 warnings, 0 notes");
    // An edit checks again; the reading's line stays.
    PDDXFile& document = *review.PDDXDataSet();
    document.Element("Device Configuration", "LoadPlateRadius").SetValue("150");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !review.Checks()->Checking() && Counts(panel) == "1 error, 4 warnings, 0 notes"; }));
    EXPECT_EQ(Column(list, 0), QStringList({"Read", "V102", "V135", "V131", "V134"}));
    // Unticking a level hides its lines, through every later check.
    panel.LevelButton(Severity::Warning)->click();
    EXPECT_EQ(Column(list, 0, true), QStringList({"V131"}));
    document.Element("Device Configuration", "LoadPlateRadius").SetValue("");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !review.Checks()->Checking() && Column(list, 0, true) == QStringList({"Check", "V131"}); }));
    panel.LevelButton(Severity::Warning)->click();
    EXPECT_EQ(Column(list, 0, true).size(), 6);
    // Beside the grid from the top, the grid keeping the larger part of the place and its height.
    EXPECT_TRUE(panel.isVisible());
    EXPECT_TRUE(review.findChild<QAbstractButton*>("cmdFindings")->isChecked());
    EXPECT_GT(review.Grid()->width(), panel.width());
    EXPECT_EQ(panel.mapTo(&review, QPoint()).y(), review.Grid()->mapTo(&review, QPoint()).y());
    EXPECT_EQ(panel.height(), review.Grid()->height());
}

TEST(FindingsPanel, ABlankTemplateReadFromABlankDdxIsNoWarning)
{
    Program program;
    ASSERT_TRUE(program.main.Dialog().OpenNamed(Q((std::filesystem::path(VANTREL_EXAMPLES) / "pddx" / "blank.DDX").string()), FileType::PDDX));
    const FindingsPanel& panel = *program.main.ReviewWindows().back()->Findings();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !program.main.ReviewWindows().back()->Checks()->Checking(); }));
    EXPECT_FALSE(Column(*panel.List(), 0).contains("Read"));
    EXPECT_EQ(panel.Count(Severity::Warning), 0);
}

TEST(FindingsPanel, ChoosingAFindingSelectsEveryRowItIsAboutShowingThemWhenTheFindBarHidesThem)
{
    Program program;
    auto [review, panel, list] = Open(program, Ruled());
    ReviewGrid& grid = *review.Grid();
    const QStringList drops = {"[Test Location 1] DropData_1", "[Test Location 1] DropData_2", "[Test Location 1] DropData_3"};
    // The find bar's text (empty: closed), the keys pressed in the list from its first line, the
    // rows then selected in the grid (the first current), and whether the grid has the focus.
    const std::tuple<const char*, const char*, QStringList, bool> cases[] = {
        {"", "Return", {"[Device Configuration] LoadPlateRadius"}, true},
        {"", "Down Return", {"[Operations Information] StartDate", "[Device Calibration] SensorRelativeCalibrationDate"}, true},
        {"", "Down Down", drops, false},
        {"", "End", {"[Test Location 1] TestTime", "[Test Location 2] TestTime"}, false},
        {"", "End Up", {"[Test Location 2] DropData_1"}, false},
        {"Test Location 2", "Down Down Down", {"[Test Location 2] DropData_1"}, false},
        {"Test Location 2", "Down Down Return", drops, true},
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
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.topLevelItem(2)).center());
    EXPECT_EQ(Selected(grid), drops);
    EXPECT_EQ(grid.ShownRowCount(), grid.RowCount());
}

TEST(FindingsPanel, FollowsEditsTypedInTheGridCheckingOnceAfterManyChangesAndStaysHiddenWhenTheUserHidesIt)
{
    Program program;
    auto [review, panel, list] = Open(program, Ruled());
    ReviewGrid& grid = *review.Grid();
    auto& button = *review.findChild<QAbstractButton*>("cmdFindings");
    // Each edit, typed into its cell, then the codes listed and the counts. Drop 2 at 25 kN leaves
    // two drops at 50 kN, too few to judge their repeatability.
    const std::tuple<const char*, const char*, const char*, QStringList, const char*> edits[] = {
        {"Test Location 2", "DropData_1", "50, 500, 200, 100", {"Check", "V102", "V135", "V134"}, "1 error, 3 warnings, 0 notes"},
        {"Test Location 1", "DropData_2", "25, 480, 200, 100", {"Check", "V102", "V134"}, "1 error, 2 warnings, 0 notes"},
        {"Device Calibration", "SensorRelativeCalibrationDate", "01-Apr-2004", {"Check", "V134"}, "1 error, 1 warning, 0 notes"},
        {"Test Location 2", "TestTime", "08:01:00", {"Check"}, "1 error, 0 warnings, 0 notes"},
        {"Device Information", "SensorSerialNumbers", "", {"Check", "V121"}, "1 error, 0 warnings, 1 note"},
        {"Device Configuration", "LoadPlateRadius", "150", {"V121"}, "0 errors, 0 warnings, 1 note"}};
    for (const auto& [section, item, typed, codes, counted] : edits) {
        SCOPED_TRACE(typed);
        // The user hides the list half way; it stays hidden.
        if (QString(item) == "TestTime") {
            button.click();
            EXPECT_FALSE(panel.isVisible());
        }
        ASSERT_TRUE(ClickCell(grid, Row(grid, section, item)));
        QTest::keyClick(grid.Editor(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(grid.Editor(), Qt::Key_Backspace);
        QTest::keyClicks(grid.Editor(), typed);
        QTest::keyClick(grid.Editor(), Qt::Key_Return);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !review.Checks()->Checking() && Column(list, 0) == codes; }))
            << Column(list, 0).join(' ').toStdString();
        EXPECT_EQ(Counts(panel), counted);
    }
    EXPECT_FALSE(panel.isVisible());
    EXPECT_FALSE(button.isChecked());
    // Alt+Q shows it again from anywhere in the window.
    ASSERT_TRUE(Focus(*grid.Table()));
    PressKeys("Alt+Q");
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), grid.Table());

    // A merge sets many values: the list is rebuilt once, after the last of them.
    int rebuilt = 0;
    QObject::connect(list.model(), &QAbstractItemModel::rowsInserted, [&](const QModelIndex&, int first) { rebuilt += first == 0; });
    PDDXFile& document = *review.PDDXDataSet();
    for (int drop = 1; drop <= 20; ++drop) document.Section("Test Location 1").AddDropData().SetValue("1");
    document.Element("Test Location 1", "NumberOfDrops").SetValue("23");
    EXPECT_EQ(Counts(panel), "0 errors, 0 warnings, 1 note") << "checked before the changes were done";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !review.Checks()->Checking() && Counts(panel).startsWith("20 errors"); })) << Counts(panel).toStdString();
    EXPECT_EQ(rebuilt, 1);
}

TEST(FindingsPanel, ADocumentOfThousandsOfFindingsCountsThemAllAndListsTheFirstThousand)
{
    Program program;
    auto document = std::make_shared<PDDXFile>();
    PDDXSection& location = document->AddTestLocation();
    for (int drop = 1; drop <= 1500; ++drop) location.AddDropData();
    ReviewWindow& review = program.Blank();
    review.SetPDDXDataSet(document);
    const QLabel& count = *review.findChild<QLabel*>("lblFindingsCount");
    // The plate radius and both distances, then 1500 empty drops.
    EXPECT_TRUE(QTest::qWaitFor([&] { return count.text() == "1503, the first 1000 listed"; })) << count.text().toStdString();
    EXPECT_EQ(Counts(*review.Findings()), "1503 errors, 0 warnings, 0 notes");
    const QTreeWidget& list = *review.Findings()->List();
    ASSERT_EQ(list.topLevelItemCount(), 1000);
    EXPECT_EQ(Lines(list).back(), "[Test Location 1] DropData_997: empty");
}

// A large document is checked a few sections at a time between the window's other events; a
// change meanwhile starts the check again, so that the list shows the document as it now is.
TEST(FindingsPanel, ALargeDocumentIsCheckedInStepsAndAChangeMeanwhileStartsItAgain)
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
    CheckList& checks = *review.Checks();
    const QLabel& count = *review.findChild<QLabel*>("lblFindingsCount");
    checks.SetSliceMilliseconds(0);
    review.SetPDDXDataSet(document);
    // The check's first step, and no other event.
    QCoreApplication::sendPostedEvents(&checks, QEvent::MetaCall);
    ASSERT_TRUE(checks.Checking());
    EXPECT_EQ(count.text(), "checking: none so far");
    document->Element("Test Location 2", "DropData_1").SetValue("50");
    EXPECT_TRUE(checks.Checking()) << "due again";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !checks.Checking(); }, 20000));
    EXPECT_EQ(count.text(), "2");
    EXPECT_EQ(Lines(*review.Findings()->List()),
              QStringList({"[Test Location 2] DropData_1: a load and 0 deflections, but NumberOfDeflectionSensors is 1",
                           "[Test Location 1000] DropData_1: empty"}));
}

}  // namespace
}  // namespace vantrel
