#pragma once
// Below the grid: what the document still lacks for calibration, one line per finding in the
// words `vantrel check` prints, and their count. Choosing a line goes to its row in the grid.

#include <QWidget>
#include <string>
#include <vector>

class QLabel;
class QListWidget;

namespace vantrel {

class FindBar;
class ReviewGrid;

class CheckList : public QWidget {
    Q_OBJECT
public:
    CheckList(ReviewGrid& grid, FindBar& findBar, QWidget* parent = nullptr);

    // Checks the grid's document again once the events at hand are handled: a merge that sets
    // many values checks it once.
    void RefreshLater();
    // Checks the grid's document now.
    void Refresh();

    // Every finding is counted; the list holds the first kMostListed of them.
    static constexpr int kMostListed = 1000;

    // Makes the row of a listed finding current in the grid; a row the find bar hides is shown,
    // with `showHidden`, by clearing the find bar first. False when the row is not made current.
    bool GoToFinding(int line, bool showHidden);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FitHeight();

    struct Place {
        QString Section;
        QString Key;
    };

    ReviewGrid& grid_;
    FindBar& findBar_;
    QLabel* lblCount_;
    QListWidget* lstCheck_;
    std::vector<Place> places_;  // one per line of the list
    long long findings_ = 0;
    bool pending_ = false;
};

}  // namespace vantrel
