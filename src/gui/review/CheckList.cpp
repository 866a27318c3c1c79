#include "gui/review/CheckList.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTimer>
#include <QElapsedTimer>
#include <QTableView>
#include <algorithm>

#include "core/Check.h"
#include "gui/review/FindBar.h"
#include "gui/review/QualityList.h"
#include "gui/review/ReviewGrid.h"

namespace vantrel {
namespace {

QString CountText(long long findings)
{
    if (findings == 0) return "No findings";
    QString text = QString::number(findings) + (findings == 1 ? " finding" : " findings");
    if (findings > CheckList::kMostListed) text += ", the first " + QString::number(CheckList::kMostListed) + " listed";
    return text;
}

}  // namespace

CheckList::CheckList(ReviewGrid& grid, FindBar& findBar, QWidget* parent)
    : QWidget(parent), grid_(grid), findBar_(findBar)
{
    setObjectName("fraCheck");
    lblCount_ = new QLabel(CountText(0), this);
    lblCount_->setObjectName("lblCheckCount");
    lblCount_->setToolTip("What the document lacks for calibration");
    lstCheck_ = new QListWidget(this);
    lstCheck_->setObjectName("lstCheck");
    lstCheck_->setToolTip("Choose a finding to go to its row");
    lstCheck_->setUniformItemSizes(true);
    lstCheck_->hide();
    FitHeight();
    if (parent) parent->installEventFilter(this);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->addWidget(lblCount_, 0, Qt::AlignTop);
    layout->addWidget(lstCheck_, 1);

    // The grid follows the list's current line where it shows its row: going down the list does
    // not undo the user's filter. A click or Enter chooses the line, and Enter hands the grid the focus.
    connect(lstCheck_, &QListWidget::currentRowChanged, this, [this](int line) { GoToFinding(line, false); });
    connect(lstCheck_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { GoToFinding(lstCheck_->row(item), true); });
    connect(lstCheck_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (GoToFinding(lstCheck_->row(item), true)) grid_.Table()->setFocus();
    });
}

CheckList::~CheckList() = default;

// At most five lines, and no more than a quarter of the grid's place, so that a small window
// keeps its rows for the grid.
void CheckList::FitHeight()
{
    const int line = lstCheck_->fontMetrics().height();
    const int frame = 2 * lstCheck_->frameWidth();
    const int place = parentWidget() ? parentWidget()->height() / 4 : 5 * line;
    lstCheck_->setMaximumHeight(std::clamp(place, line, 5 * line) + frame);
}

bool CheckList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize) FitHeight();
    return QWidget::eventFilter(watched, event);
}

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
    if (!running_) current_ = lstCheck_->currentItem() ? lstCheck_->currentItem()->text() : QString();
    running_.reset();
    const QSignalBlocker quiet(lstCheck_);  // emptying the list must not move the grid either
    lstCheck_->clear();
    places_.clear();
    findings_ = 0;
    if (quality_) quality_->Begin();
    const PDDXFile* document = grid_.Document();
    if (!document) return;
    running_ = std::make_unique<SteppedCheck>(
        *document,
        [this](const Finding& finding) {
            if (quality_ && !finding.Code.empty()) {
                quality_->Add(finding);
                return;
            }
            // A document of a million empty drops is counted whole but not listed whole.
            if (findings_++ >= kMostListed) return;
            // Filling the list must not move the grid under the user.
            const QSignalBlocker quiet(lstCheck_);
            lstCheck_->addItem(QString::fromStdString(FindingLine(finding)));
            places_.push_back({QString::fromStdString(finding.Section), QString::fromStdString(finding.Key)});
        },
        limits_);
}

bool CheckList::Step(qint64 milliseconds)
{
    if (!running_) {
        Finish();
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    // A test location of a few hundred drops takes well under a millisecond.
    constexpr std::size_t kSections = 16;
    while (!running_->Continue(kSections)) {
        if (milliseconds >= 0 && clock.elapsed() >= milliseconds) {
            lblCount_->setText("Checking: " + CountText(findings_).toLower() + " so far");
            if (quality_) quality_->Checking();
            lstCheck_->setVisible(findings_ > 0);
            return true;
        }
    }
    running_.reset();
    Finish();
    return false;
}

void CheckList::Finish()
{
    // The line the user was at stays current while it is still found, else the first line is
    // current, unselected: the focus passing through the list would otherwise make it current,
    // and move the grid.
    const QSignalBlocker quiet(lstCheck_);
    const QList<QListWidgetItem*> same = current_.isEmpty() ? QList<QListWidgetItem*>()
                                                            : lstCheck_->findItems(current_, Qt::MatchExactly);
    if (lstCheck_->currentItem() && lstCheck_->currentItem()->isSelected()) {
        // chosen by the user while the check went on
    } else if (!same.isEmpty()) {
        lstCheck_->setCurrentItem(same.front());
    } else if (lstCheck_->count() > 0) {
        lstCheck_->selectionModel()->setCurrentIndex(lstCheck_->model()->index(0, 0), QItemSelectionModel::NoUpdate);
    }
    current_.clear();
    lblCount_->setText(CountText(findings_));
    lstCheck_->setVisible(findings_ > 0);
    if (quality_) quality_->Finish();
}

bool CheckList::GoToFinding(int line, bool showHidden)
{
    if (line < 0 || static_cast<std::size_t>(line) >= places_.size()) return false;
    return findBar_.GoToElements({places_[static_cast<std::size_t>(line)]}, showHidden);
}

}  // namespace vantrel
