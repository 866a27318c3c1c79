// The review window's layout as the user sees it, measured on screen: the grid is the window. Its
// Value column shows at every size and after every rebuild, a new window shows a screenful of
// rows, and on a small screen the panels beside the grid fold away before the grid gives up room.

#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTableView>
#include <array>

#include "gui/OpenDialog.h"
#include "gui/review/FindBar.h"
#include "gui/review/FindingsPanel.h"
#include "gui/review/PlotPanel.h"
#include "support/GuiSupport.h"

namespace vantrel {
namespace {

using namespace test;

const std::filesystem::path kExamples = VANTREL_EXAMPLES;

// How much of each column the grid's viewport shows, in pixels.
std::array<int, 3> Rendered(const QTableView& table)
{
    std::array<int, 3> shown{};
    const int right = table.viewport()->width();
    for (int c = 0; c < 3; ++c) {
        const int left = table.columnViewportPosition(c);
        shown[static_cast<std::size_t>(c)] = std::max(0, std::min(left + table.columnWidth(c), right) - std::max(left, 0));
    }
    return shown;
}

// A main window of this size with full.F25 read into a review window.
ReviewWindow& Opened(Program& program, QSize size)
{
    program.main.resize(size);
    EXPECT_TRUE(QTest::qWaitFor([&] { return program.main.size() == size; }));
    EXPECT_TRUE(program.main.Dialog().OpenNamed(Q((kExamples / "f25" / "full.F25").string()), FileType::DynatestF25));
    ReviewWindow& review = *program.main.ReviewWindows().back();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&review));
    QApplication::processEvents();
    return review;
}

TEST(ReviewLayout, TheValueColumnTakesWhatSectionAndItemLeaveAfterOpeningResizingAndMerging)
{
    Program program;
    ReviewWindow& review = Opened(program, {1280, 900});
    const QTableView& table = *review.Grid()->Table();
    QMdiSubWindow& frame = *MainWindow::FrameOf(&review);
    // A new window shows a screenful of rows beside its findings.
    EXPECT_TRUE(review.Findings()->isVisible());
    EXPECT_GE(table.viewport()->height() / table.rowHeight(0), 20);
    const int date = Row(*review.Grid(), "Test Location 1", "TestTime");
    const auto measure = [&](const char* when) {
        SCOPED_TRACE(when);
        QApplication::processEvents();
        const std::array<int, 3> shown = Rendered(table);
        const int viewport = table.viewport()->width();
        EXPECT_EQ(shown[0] + shown[1] + shown[2], viewport) << "the three columns fill the grid";
        EXPECT_GE(shown[2] * 10, viewport * 4) << shown[0] << " " << shown[1] << " " << shown[2];
        // A short value reads whole, not as "…".
        EXPECT_LE(table.fontMetrics().horizontalAdvance(review.Grid()->CellText(date, 2)) + 8, shown[2]);
    };
    measure("opened");
    frame.resize(560, 420);
    measure("made small");
    frame.resize(1200, 820);
    measure("made large");
    // A merge rebuilds the grid.
    review.OnMerge(&review);
    OpenDialog& dialog = program.main.Dialog();
    dialog.FilenameBox()->setText(Q((kExamples / "f25" / "small.F25").string()));
    ASSERT_TRUE(dialog.ReadChosen());
    ASSERT_EQ(program.main.ReviewWindows().size(), 1);
    measure("merged");
    review.findChild<QAbstractButton*>("cmdFindings")->click();
    measure("findings hidden");
}

TEST(ReviewLayout, OnASmallScreenTheWindowFitsTheFrameAndThePanelsFoldBeforeTheGridShrinks)
{
    Program program;
    ReviewWindow& review = Opened(program, {1024, 600});
    review.ShowPlots(true);
    review.Find()->Open();
    QApplication::processEvents();
    QMdiSubWindow& frame = *MainWindow::FrameOf(&review);
    const QWidget& area = *program.main.Area()->viewport();
    EXPECT_TRUE(area.rect().contains(frame.geometry())) << frame.geometry().width() << "x" << frame.geometry().height();
    const QWidget& find = *review.Find();
    EXPECT_TRUE(review.rect().contains(QRect(find.mapTo(&review, QPoint()), find.size())));
    const ReviewGrid& grid = *review.Grid();
    EXPECT_GE(grid.width(), grid.minimumWidth());
    EXPECT_GE(grid.Table()->viewport()->height() / grid.Table()->rowHeight(0), 10);
    EXPECT_GE(Rendered(*grid.Table())[2] * 10, grid.Table()->viewport()->width() * 4);
    // Each panel shows whole or folds away; one at least shows.
    int whole = 0;
    for (const QWidget* panel : {static_cast<const QWidget*>(review.Plots()), static_cast<const QWidget*>(review.Findings())}) {
        const bool folded = panel->width() == 0 || panel->visibleRegion().isEmpty();
        EXPECT_TRUE(folded || panel->width() >= panel->minimumSizeHint().width()) << panel->objectName().toStdString();
        EXPECT_TRUE(folded || review.rect().contains(QRect(panel->mapTo(&review, QPoint()), panel->size())));
        whole += !folded;
    }
    EXPECT_GE(whole, 1);
    // The window made larger again brings the folded panel back.
    program.main.resize(1270, 900);
    EXPECT_TRUE(QTest::qWaitFor([&] { return program.main.width() == 1270; }));
    frame.resize(1200, 780);
    QApplication::processEvents();
    EXPECT_GT(review.Plots()->width(), 0);
    EXPECT_GT(review.Findings()->width(), 0);
}

}  // namespace
}  // namespace vantrel
