#include "gui/review/QualityList.h"

#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/Check.h"
#include "gui/review/CheckList.h"
#include "gui/review/FindBar.h"
#include "gui/review/ReviewGrid.h"

namespace vantrel {
namespace {

enum Column { kRule, kWhere, kWhat };

QString Counted(long long count, const char* one)
{
    return QString::number(count) + " " + one + (count == 1 ? "" : "s");
}

// A line's whole text, by which it is found again after the list is rebuilt.
QString LineText(const QTreeWidgetItem& item) { return item.text(kRule) + item.text(kWhere) + item.text(kWhat); }

QStyle::StandardPixmap IconOf(Severity level)
{
    return level == Severity::Error     ? QStyle::SP_MessageBoxCritical
           : level == Severity::Warning ? QStyle::SP_MessageBoxWarning
                                        : QStyle::SP_MessageBoxInformation;
}

}  // namespace

QualityList::QualityList(ReviewGrid& grid, FindBar& findBar, QWidget* parent)
    : QWidget(parent), grid_(grid), findBar_(findBar)
{
    setObjectName("fraQuality");
    auto* title = new QLabel("Quality", this);
    title->setObjectName("lblQuality");
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    lblCount_ = new QLabel(CountText(), this);
    lblCount_->setObjectName("lblQualityCount");
    lblCount_->setWordWrap(true);
    lstQuality_ = new QTreeWidget(this);
    lstQuality_->setObjectName("lstQuality");
    lstQuality_->setHeaderLabels({"Rule", "Where", "What"});
    lstQuality_->setRootIsDecorated(false);
    lstQuality_->setUniformRowHeights(true);
    lstQuality_->setToolTip("What the calibration rules find; choose one to select its rows");
    lstQuality_->header()->setStretchLastSection(true);
    lstQuality_->setColumnWidth(kRule, lstQuality_->fontMetrics().horizontalAdvance("V000") + 36);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(title);
    layout->addWidget(lblCount_);
    layout->addWidget(lstQuality_, 1);
    setMinimumWidth(180);

    // As in the list below the grid: going down the list follows in the grid where it shows the
    // rows; a click or Enter chooses, and Enter hands the grid the focus.
    const auto line = [this](QTreeWidgetItem* item) { return lstQuality_->indexOfTopLevelItem(item); };
    connect(lstQuality_, &QTreeWidget::currentItemChanged, this,
            [this, line](QTreeWidgetItem* item) { GoToFinding(line(item), false); });
    connect(lstQuality_, &QTreeWidget::itemClicked, this,
            [this, line](QTreeWidgetItem* item) { GoToFinding(line(item), true); });
    connect(lstQuality_, &QTreeWidget::itemActivated, this, [this, line](QTreeWidgetItem* item) {
        if (GoToFinding(line(item), true)) grid_.Table()->setFocus();
    });
}

QString QualityList::CountText() const
{
    const long long findings = Findings();
    if (findings == 0) return "No findings";
    QStringList levels;
    if (errors_) levels << Counted(errors_, "error");
    if (warnings_) levels << Counted(warnings_, "warning");
    if (notes_) levels << Counted(notes_, "note");
    // One level says it all; several are summed up first.
    QString text = levels.size() == 1 ? levels.front() : Counted(findings, "finding") + ": " + levels.join(", ");
    if (findings > CheckList::kMostListed) text += "; the first " + QString::number(CheckList::kMostListed) + " listed";
    return text;
}

void QualityList::Begin()
{
    // The line the user was at, unless a check under way had already emptied the list.
    if (QTreeWidgetItem* item = lstQuality_->currentItem(); item && current_.isEmpty()) current_ = LineText(*item);
    const QSignalBlocker quiet(lstQuality_);  // emptying the list must not move the grid
    lstQuality_->clear();
    places_.clear();
    errors_ = warnings_ = notes_ = 0;
    widestWhere_ = 0;
}

void QualityList::Add(const Finding& finding)
{
    long long& counted = finding.Level == Severity::Error     ? errors_
                         : finding.Level == Severity::Warning ? warnings_
                                                              : notes_;
    ++counted;
    if (Findings() > CheckList::kMostListed) return;
    const QSignalBlocker quiet(lstQuality_);
    auto* item = new QTreeWidgetItem(lstQuality_);
    item->setText(kRule, QString::fromStdString(finding.Code));
    item->setIcon(kRule, style()->standardIcon(IconOf(finding.Level)));
    const CheckRule& rule = RuleOf(finding.Code);
    item->setToolTip(kRule, QString::fromStdString(std::string(SeverityName(rule.Level)) + ": " +
                                                   std::string(rule.What) + "\n(" + std::string(rule.Source) + ")"));
    item->setText(kWhere, QString::fromStdString("[" + finding.Section + "] " + finding.Key));
    widestWhere_ = std::max(widestWhere_, lstQuality_->fontMetrics().horizontalAdvance(item->text(kWhere)));
    item->setText(kWhat, QString::fromStdString(finding.Message));
    item->setToolTip(kWhat, QString::fromStdString(FindingLine(finding)));
    std::vector<GridElement>& places = places_.emplace_back();
    places.push_back({QString::fromStdString(finding.Section), QString::fromStdString(finding.Key)});
    for (const auto& [section, key] : finding.Related)
        places.push_back({QString::fromStdString(section), QString::fromStdString(key)});
}

void QualityList::Checking() { lblCount_->setText("Checking: " + CountText().toLower() + " so far"); }

void QualityList::Finish()
{
    // The line the user was at stays current while it is still found; else the first line is
    // current, unselected, so that the focus passing through does not move the grid.
    const QSignalBlocker quiet(lstQuality_);
    QTreeWidgetItem* same = nullptr;
    for (int i = 0; i < lstQuality_->topLevelItemCount() && !current_.isEmpty() && !same; ++i) {
        QTreeWidgetItem* item = lstQuality_->topLevelItem(i);
        if (LineText(*item) == current_) same = item;
    }
    if (lstQuality_->currentItem() && lstQuality_->currentItem()->isSelected()) {
        // chosen by the user while the check went on
    } else if (same) {
        lstQuality_->setCurrentItem(same);
    } else if (lstQuality_->topLevelItemCount() > 0) {
        lstQuality_->selectionModel()->setCurrentIndex(lstQuality_->model()->index(0, 0),
                                                       QItemSelectionModel::NoUpdate);
    }
    current_.clear();
    lblCount_->setText(CountText());
    FitColumns();
}

// The places as wide as the widest of them, but never more than half the list: what is wrong
// matters more.
void QualityList::FitColumns()
{
    const int margin = 2 * lstQuality_->fontMetrics().averageCharWidth();
    lstQuality_->setColumnWidth(kWhere, std::min(widestWhere_ + margin, lstQuality_->viewport()->width() / 2));
}

void QualityList::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FitColumns();
}

bool QualityList::GoToFinding(int line, bool showHidden)
{
    if (line < 0 || static_cast<std::size_t>(line) >= places_.size()) return false;
    return findBar_.GoToElements(places_[static_cast<std::size_t>(line)], showHidden);
}

}  // namespace vantrel
