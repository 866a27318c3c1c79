#pragma once
// Checks the review window's document as `vantrel check` does and hands every finding to the
// findings panel: again after each change, a large document a part at a time between the
// window's other events.

#include <QObject>
#include <memory>

#include "core/CheckLimits.h"

namespace vantrel {

class FindingsPanel;
class ReviewGrid;
class SteppedCheck;

class CheckList : public QObject {
    Q_OBJECT
public:
    CheckList(ReviewGrid& grid, FindingsPanel& panel, QObject* parent = nullptr);
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
    // How long the check runs at a time between the window's other events; 0: a few sections.
    void SetSliceMilliseconds(qint64 milliseconds) { sliceMilliseconds_ = milliseconds; }

private:
    void Start();
    // Checks on for a slice of time; false once the check is done.
    bool Step(qint64 milliseconds);
    void ContinueLater();

    ReviewGrid& grid_;
    FindingsPanel& panel_;
    bool pending_ = false;
    std::unique_ptr<SteppedCheck> running_;
    qint64 sliceMilliseconds_ = 20;
    CheckLimits limits_;
};

}  // namespace vantrel
