#include "gui/review/FindingsPanel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "core/Check.h"
#include "gui/review/FindBar.h"
#include "gui/review/ReviewGrid.h"

namespace vantrel {
namespace {

enum Column { kCode, kWhere, kWhat };
constexpr std::array<Severity, 3> kLevels = {Severity::Error, Severity::Warning, Severity::Note};
constexpr int kLevelRole = Qt::UserRole;

QString Counted(long long count, const char* one)
{
    return QString::number(count) + " " + one + (count == 1 ? "" : "s");
}

const char* LevelWord(Severity level)
{
    return level == Severity::Error ? "error" : level == Severity::Warning ? "warning" : "note";
}

// A line's whole text, by which it is found again after the list is rebuilt.
QString LineText(const QTreeWidgetItem& item) { return item.text(kCode) + item.text(kWhere) + item.text(kWhat); }

QStyle::StandardPixmap IconOf(Severity level)
{
    return level == Severity::Error     ? QStyle::SP_MessageBoxCritical
           : level == Severity::Warning ? QStyle::SP_MessageBoxWarning
                                        : QStyle::SP_MessageBoxInformation;
}

std::size_t IndexOf(Severity level) { return static_cast<std::size_t>(level); }

}  // namespace

FindingsPanel::FindingsPanel(ReviewGrid& grid, FindBar& findBar, QWidget* parent)
    : QWidget(parent), grid_(grid), findBar_(findBar)
{
    setObjectName("fraFindings");
    auto* title = new QLabel("Findings:", this);
    title->setObjectName("lblFindings");
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    lblCount_ = new QLabel(this);
    lblCount_->setObjectName("lblFindingsCount");
    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(4);
    titleRow->addWidget(title);
    titleRow->addWidget(lblCount_, 1);
    // A button per level, with its icon and count: unticked, the level's lines are hidden.
    auto* levelRow = new QHBoxLayout;
    levelRow->setSpacing(2);
    const char* names[] = {"cmdErrors", "cmdWarnings", "cmdNotes"};
    for (const Severity level : kLevels) {
        auto* button = new QToolButton(this);
        button->setObjectName(names[IndexOf(level)]);
        button->setIcon(style()->standardIcon(IconOf(level)));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setCheckable(true);
        button->setChecked(true);
        button->setAutoRaise(true);
        button->setToolTip(QString("Show or hide the ") + LevelWord(level) + "s");
        connect(button, &QToolButton::toggled, this, [this, level](bool shown) {
            for (int i = 0; i < lstFindings_->topLevelItemCount(); ++i) {
                QTreeWidgetItem* item = lstFindings_->topLevelItem(i);
                if (item->data(kCode, kLevelRole).toInt() == static_cast<int>(level)) item->setHidden(!shown);
            }
        });
        levels_[IndexOf(level)] = button;
        levelRow->addWidget(button);
    }
    levelRow->addStretch(1);
    lstFindings_ = new QTreeWidget(this);
    lstFindings_->setObjectName("lstFindings");
    lstFindings_->setHeaderLabels({"Code", "Where", "What"});
    lstFindings_->setRootIsDecorated(false);
    lstFindings_->setUniformRowHeights(true);
    lstFindings_->setToolTip("Choose a finding to select its rows");
    lstFindings_->header()->setStretchLastSection(true);
    lstFindings_->setColumnWidth(kCode, lstFindings_->fontMetrics().horizontalAdvance("Check") + 36);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(titleRow);
    layout->addLayout(levelRow);
    layout->addWidget(lstFindings_, 1);
    ShowCounts(false);

    // Going down the list follows in the grid where it shows the rows; a click or Enter chooses,
    // and Enter hands the grid the focus.
    const auto line = [this](QTreeWidgetItem* item) { return lstFindings_->indexOfTopLevelItem(item); };
    connect(lstFindings_, &QTreeWidget::currentItemChanged, this,
            [this, line](QTreeWidgetItem* item) { GoToFinding(line(item), false); });
    connect(lstFindings_, &QTreeWidget::itemClicked, this,
            [this, line](QTreeWidgetItem* item) { GoToFinding(line(item), true); });
    connect(lstFindings_, &QTreeWidget::itemActivated, this, [this, line](QTreeWidgetItem* item) {
        if (GoToFinding(line(item), true)) grid_.Table()->setFocus();
    });
}

QTreeWidgetItem* FindingsPanel::NewLine(Severity level, const QString& code, const QString& where, const QString& what)
{
    const QSignalBlocker quiet(lstFindings_);  // filling the list must not move the grid
    auto* item = new QTreeWidgetItem(lstFindings_);
    item->setText(kCode, code);
    item->setIcon(kCode, style()->standardIcon(IconOf(level)));
    item->setData(kCode, kLevelRole, static_cast<int>(level));
    item->setText(kWhere, where);
    item->setText(kWhat, what);
    item->setHidden(!levels_[IndexOf(level)]->isChecked());
    widestWhere_ = std::max(widestWhere_, lstFindings_->fontMetrics().horizontalAdvance(where));
    return item;
}

void FindingsPanel::AddReadingWarnings(const std::vector<std::string>& lines)
{
    // "path:12: what" or "path: what"; the place is shown by the file's name.
    static const QRegularExpression placed("^(.*?)(?::(\\d+))?: (.*)$");
    for (const std::string& line : lines) {
        const QString text = QString::fromLocal8Bit(line);
        const QRegularExpressionMatch match = placed.match(text);
        QString where, what = text;
        if (match.hasMatch()) {
            const QString file = match.captured(1).section('/', -1);
            where = match.captured(2).isEmpty() ? file : file + ":" + match.captured(2);
            what = match.captured(3);
        }
        QTreeWidgetItem* item = NewLine(Severity::Warning, "Read", where, what);
        item->setToolTip(kWhat, text);
        // Before the check's lines, which come and go with each check.
        lstFindings_->takeTopLevelItem(lstFindings_->indexOfTopLevelItem(item));
        lstFindings_->insertTopLevelItem(readingLines_, item);
        places_.insert(places_.begin() + readingLines_, std::vector<GridElement>());
        ++readingLines_;
        ++readingCounts_[IndexOf(Severity::Warning)];
        ++counts_[IndexOf(Severity::Warning)];
    }
    ShowCounts(false);
    FitColumns();
}

void FindingsPanel::ShowCounts(bool checking)
{
    long long total = 0;
    for (const Severity level : kLevels) {
        const long long count = Count(level);
        total += count;
        levels_[IndexOf(level)]->setText(Counted(count, LevelWord(level)));
    }
    QString text = total == 0 ? QString("none") : QString::number(total);
    if (lstFindings_->topLevelItemCount() - readingLines_ >= kMostListed)
        text += ", the first " + QString::number(kMostListed) + " listed";
    lblCount_->setText(checking ? "checking: " + text + " so far" : text);
}

void FindingsPanel::Begin()
{
    // The line the user was at, unless a check under way had already emptied the list.
    if (QTreeWidgetItem* item = lstFindings_->currentItem(); item && current_.isEmpty()) current_ = LineText(*item);
    const QSignalBlocker quiet(lstFindings_);  // emptying the list must not move the grid
    while (lstFindings_->topLevelItemCount() > readingLines_)
        delete lstFindings_->takeTopLevelItem(lstFindings_->topLevelItemCount() - 1);
    places_.resize(static_cast<std::size_t>(readingLines_));
    counts_ = readingCounts_;
}

void FindingsPanel::Add(const Finding& finding)
{
    ++counts_[IndexOf(finding.Level)];
    if (lstFindings_->topLevelItemCount() - readingLines_ >= kMostListed) return;
    // What the document lacks has no rule; a rule's finding names it.
    QTreeWidgetItem* item = NewLine(finding.Level,
                                    finding.Code.empty() ? QString("Check") : QString::fromStdString(finding.Code),
                                    QString::fromStdString("[" + finding.Section + "] " + finding.Key),
                                    QString::fromStdString(finding.Message));
    if (!finding.Code.empty()) {
        const CheckRule& rule = RuleOf(finding.Code);
        item->setToolTip(kCode,
                         QString::fromStdString(std::string(SeverityName(rule.Level)) + ": " + std::string(rule.What) +
                                                "\n(" + std::string(rule.Source) + ")"));
    }
    item->setToolTip(kWhat, QString::fromStdString(FindingLine(finding)));
    std::vector<GridElement>& places = places_.emplace_back();
    places.push_back({QString::fromStdString(finding.Section), QString::fromStdString(finding.Key)});
    for (const auto& [section, key] : finding.Related)
        places.push_back({QString::fromStdString(section), QString::fromStdString(key)});
}

void FindingsPanel::Checking() { ShowCounts(true); }

void FindingsPanel::Finish()
{
    // The line the user was at stays current while it is still found; else the first line is
    // current, unselected, so that the focus passing through does not move the grid.
    const QSignalBlocker quiet(lstFindings_);
    QTreeWidgetItem* same = nullptr;
    for (int i = 0; i < lstFindings_->topLevelItemCount() && !current_.isEmpty() && !same; ++i) {
        QTreeWidgetItem* item = lstFindings_->topLevelItem(i);
        if (LineText(*item) == current_) same = item;
    }
    if (lstFindings_->currentItem() && lstFindings_->currentItem()->isSelected()) {
        // chosen by the user while the check went on
    } else if (same) {
        lstFindings_->setCurrentItem(same);
    } else if (lstFindings_->topLevelItemCount() > 0) {
        lstFindings_->selectionModel()->setCurrentIndex(lstFindings_->model()->index(0, 0),
                                                        QItemSelectionModel::NoUpdate);
    }
    current_.clear();
    ShowCounts(false);
    FitColumns();
}

// The places as wide as the widest of them, but never more than a quarter of the list: what is
// wrong matters more, and each line's tooltip names its place whole.
void FindingsPanel::FitColumns()
{
    const int margin = 2 * lstFindings_->fontMetrics().averageCharWidth();
    lstFindings_->setColumnWidth(kWhere, std::min(widestWhere_ + margin, lstFindings_->viewport()->width() / 4));
}

void FindingsPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FitColumns();
}

bool FindingsPanel::GoToFinding(int line, bool showHidden)
{
    if (line < 0 || static_cast<std::size_t>(line) >= places_.size()) return false;
    const std::vector<GridElement>& places = places_[static_cast<std::size_t>(line)];
    return !places.empty() && findBar_.GoToElements(places, showHidden);
}

}  // namespace vantrel
