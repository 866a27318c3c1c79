#pragma once
// Beside the grid: what the calibration rules find in the document (the dates and factors of its
// calibration, the description of the device, the drops), one line per finding with its rule,
// its place and what is wrong. Choosing a line selects the rows it is about in the grid.

#include <QWidget>
#include <string>
#include <vector>

#include "gui/review/ReviewGrid.h"

class QLabel;
class QTreeWidget;

namespace vantrel {

struct Finding;
class FindBar;

class QualityList : public QWidget {
    Q_OBJECT
public:
    QualityList(ReviewGrid& grid, FindBar& findBar, QWidget* parent = nullptr);

    // A check of the document begins: the list empties, the line the user was at remembered.
    void Begin();
    // A finding of a calibration rule, as the check makes it.
    void Add(const Finding& finding);
    // The check goes on (the count says so) or is done.
    void Checking();
    void Finish();

    long long Findings() const { return errors_ + warnings_ + notes_; }
    QTreeWidget* List() const { return lstQuality_; }

    // Makes the first row of a listed finding current in the grid and selects the others it is
    // about; rows the find bar hides are shown, with `showHidden`, by clearing it first. False
    // when no row is made current.
    bool GoToFinding(int line, bool showHidden);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QString CountText() const;
    void FitColumns();

    ReviewGrid& grid_;
    FindBar& findBar_;
    QLabel* lblCount_;
    QTreeWidget* lstQuality_;
    std::vector<std::vector<GridElement>> places_;  // per line: its own element, then the related ones
    long long errors_ = 0;
    long long warnings_ = 0;
    long long notes_ = 0;
    int widestWhere_ = 0;  // in pixels
    QString current_;      // the current line's text when the check began
};

}  // namespace vantrel
