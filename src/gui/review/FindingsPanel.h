#pragma once
// Beside the grid, every finding about the document in one list: the lines of the source files a
// reading skipped or took only in part (file:line), what the document lacks for calibration (the
// values flagged and empty, the numbers that are no numbers), and what the calibration rules find
// (with their codes). Each line has its level's icon; the title counts each level, and a button
// per level shows or hides its lines. Choosing a line selects the rows it is about in the grid.

#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "core/CheckLimits.h"
#include "gui/review/ReviewGrid.h"

class QLabel;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vantrel {

struct Finding;
class FindBar;

class FindingsPanel : public QWidget {
    Q_OBJECT
public:
    FindingsPanel(ReviewGrid& grid, FindBar& findBar, QWidget* parent = nullptr);

    // Lines "file:line: what" (or "file: what") a reading warned of, listed first as warnings and
    // kept while the document is checked again.
    void AddReadingWarnings(const std::vector<std::string>& lines);

    // A check of the document begins: its findings leave the list, the line the user was at
    // remembered.
    void Begin();
    // A finding of the check, as it is made.
    void Add(const Finding& finding);
    // The check goes on (the count says so) or is done.
    void Checking();
    void Finish();

    // Every finding is counted; the list holds the first kMostListed of the check's.
    static constexpr int kMostListed = 1000;

    long long Count(Severity level) const { return counts_[static_cast<std::size_t>(level)]; }
    QTreeWidget* List() const { return lstFindings_; }
    // The button that shows or hides the lines of a level.
    QToolButton* LevelButton(Severity level) const { return levels_[static_cast<std::size_t>(level)]; }

    // Makes the first row of a listed finding current in the grid and selects the others it is
    // about; rows the find bar hides are shown, with `showHidden`, by clearing it first. False
    // when no row is made current (a reading's line has none).
    bool GoToFinding(int line, bool showHidden);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QTreeWidgetItem* NewLine(Severity level, const QString& code, const QString& where, const QString& what);
    void ShowCounts(bool checking);
    void FitColumns();

    ReviewGrid& grid_;
    FindBar& findBar_;
    QLabel* lblCount_;
    std::array<QToolButton*, 3> levels_{};
    QTreeWidget* lstFindings_;
    // Per line: its own element, then the related ones; none for a reading's line.
    std::vector<std::vector<GridElement>> places_;
    int readingLines_ = 0;
    std::array<long long, 3> counts_{};
    std::array<long long, 3> readingCounts_{};
    int widestWhere_ = 0;  // in pixels
    QString current_;      // the current line's text when the check began
};

}  // namespace vantrel
