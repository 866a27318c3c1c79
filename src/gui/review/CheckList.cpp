#include "gui/review/CheckList.h"

#include <QElapsedTimer>
#include <QTimer>

#include "core/Check.h"
#include "gui/review/FindingsPanel.h"
#include "gui/review/ReviewGrid.h"

namespace vantrel {

CheckList::CheckList(ReviewGrid& grid, FindingsPanel& panel, QObject* parent)
    : QObject(parent), grid_(grid), panel_(panel)
{
    setObjectName("checks");
}

CheckList::~CheckList() = default;

void CheckList::RefreshLater()
{
    running_.reset();  // it reads the document, which is changing
    if (pending_) return;
    pending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            Start();
            if (Step(sliceMilliseconds_)) ContinueLater();
        },
        Qt::QueuedConnection);
}

void CheckList::ContinueLater()
{
    // After a pause of a millisecond, not at once: a window's repaint is due on a timer of its own,
    // which a slice due at once would run ahead of, slice after slice.
    QTimer::singleShot(1, this, [this] {
        if (running_ && Step(sliceMilliseconds_)) ContinueLater();
    });
}

void CheckList::Refresh()
{
    Start();
    Step(-1);
}

void CheckList::Start()
{
    pending_ = false;
    running_.reset();
    panel_.Begin();
    const PDDXFile* document = grid_.Document();
    if (!document) return;
    running_ = std::make_unique<SteppedCheck>(
        *document, [this](const Finding& finding) { panel_.Add(finding); }, limits_);
}

bool CheckList::Step(qint64 milliseconds)
{
    if (!running_) {
        panel_.Finish();
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    // A test location of a few hundred drops takes well under a millisecond.
    constexpr std::size_t kSections = 16;
    while (!running_->Continue(kSections)) {
        if (milliseconds >= 0 && clock.elapsed() >= milliseconds) {
            panel_.Checking();
            return true;
        }
    }
    running_.reset();
    panel_.Finish();
    return false;
}

}  // namespace vantrel
