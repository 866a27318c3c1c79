#pragma once
// Below the grid: what the document still lacks for calibration, one line per finding in the
// words `vantrel check` prints, and their count. Choosing a line goes to its row in the grid.
// What the calibration rules find goes, from the same check, to the quality list beside the grid.

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "core/CheckLimits.h"
#include "gui/review/ReviewGrid.h"

class QLabel;
class QListWidget;

namespace vantrel {

class FindBar;
class QualityList;
class SteppedCheck;

class CheckList : public QWidget {
    Q_OBJECT
public:
    CheckList(ReviewGrid& grid, FindBar& findBar, QWidget* parent = nullptr);
    ~CheckList() override;

    // Checks the grid's document again once the events at hand are handled: a merge that sets
    // many values checks it once. A large document is checked a part at a time between the
    // window's other events, so that it opens and scrolls at once; a check under way is dropped.
    void RefreshLater();
    // Checks the grid's document now, whole.
    void Refresh();
    // Whether a check is under way or due.
    bool Checking() const { return running_ || pending_; }
    // The limits of the calibration rules, as the settings give them; the document is checked again.
    void SetLimits(const CheckLimits& limits)
    {
        limits_ = limits;
        RefreshLater();
    }
    // Where the calibration rules' findings go; without one, they are listed here too.
    void SetQuality(QualityList* quality) { quality_ = quality; }
    // How long the check runs at a time between the window's other events; 0: a few sections.
    void SetSliceMilliseconds(qint64 milliseconds) { sliceMilliseconds_ = milliseconds; }

    // Every finding is counted; the list holds the first kMostListed of them.
    static constexpr int kMostListed = 1000;

    // Makes the row of a listed finding current in the grid; a row the find bar hides is shown,
    // with `showHidden`, by clearing the find bar first. False when the row is not made current.
    bool GoToFinding(int line, bool showHidden);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FitHeight();
    void Start();
    // Checks on for a slice of time; false once the check is done.
    bool Step(qint64 milliseconds);
    void Finish();
    void ContinueLater();

    ReviewGrid& grid_;
    FindBar& findBar_;
    QLabel* lblCount_;
    QListWidget* lstCheck_;
    std::vector<GridElement> places_;  // one per line of the list
    long long findings_ = 0;
    bool pending_ = false;
    std::unique_ptr<SteppedCheck> running_;
    QString current_;  // the list's current line when the check began
    qint64 sliceMilliseconds_ = 20;
    CheckLimits limits_;
    QualityList* quality_ = nullptr;
};

}  // namespace vantrel
